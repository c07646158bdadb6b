#pragma once

#include "client/HttpRequest.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <chrono>
#include <memory>

namespace client {

// What a request may take. The program always uses the defaults; tests shorten the
// time-outs so that a silent server fails them quickly.
struct TransferLimits {
    std::chrono::milliseconds connectTimeout{10'000};
    std::chrono::milliseconds totalTimeout{30'000};
    qsizetype maxBodyBytes = 16 * 1024 * 1024;
};

// HttpRequest on one libcurl easy handle: plain HTTP/1.1 only, no redirects followed,
// proxies from the usual environment variables. send() runs the transfer on a worker thread
// and waits with RunKeepingWindowsAlive, so the windows stay painted meanwhile. Exactly these
// headers go out: Host, User-Agent, Accept, the ones set with setRequestHeader and, for a POST or a
// request with a body, Content-Length. A larger body than maxBodyBytes fails the request.
class CurlHttpRequest final : public HttpRequest {
public:
    explicit CurlHttpRequest(const TransferLimits& limits = {});
    ~CurlHttpRequest() override;
    CurlHttpRequest(const CurlHttpRequest&) = delete;
    CurlHttpRequest& operator=(const CurlHttpRequest&) = delete;

    void open(const QByteArray& method, const QString& url) override;
    void setRequestHeader(const QByteArray& name, const QByteArray& value) override;
    void send(const QByteArray& body = QByteArray()) override;
    QByteArray responseBody() const override { return m_responseBody; }
    void abort() override;

private:
    struct Handle;
    static size_t receive(char* data, size_t size, size_t count, void* self);
    static size_t receiveHeader(char* data, size_t size, size_t count, void* self);
    void transfer(const QByteArray& body);

    TransferLimits m_limits;
    std::unique_ptr<Handle> m_handle;
    QByteArray m_method;
    QByteArray m_url;
    QList<QByteArray> m_headerLines;
    bool m_hasContentType = false;
    QByteArray m_received;
    bool m_headComplete = false;
    bool m_receivedTooMuch = false;
    std::atomic<bool> m_aborted = false;
    QByteArray m_responseBody;
};

}  // namespace client
