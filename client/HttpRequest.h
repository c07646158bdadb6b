#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <stdexcept>

namespace client {

// Every failure of a lookup step: no answer from the service, a body that cannot be
// decoded, a page that lacks its markers.
class LookupFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A blocking HTTP/1.1 request object with the operations the lookups rely on.
// open() only records the request; send() transmits it and returns when the whole
// answer is there, throwing LookupFailure when no HTTP answer can be had. Any status
// code is an answer, and so is an empty body.
class HttpRequest {
public:
    virtual ~HttpRequest() = default;
    virtual void open(const QByteArray& method, const QString& url) = 0;
    virtual void setRequestHeader(const QByteArray& name, const QByteArray& value) = 0;
    virtual void send(const QByteArray& body = QByteArray()) = 0;
    virtual QByteArray responseBody() const = 0;
    // Abandons a send() under way: it fails at once with LookupFailure. Safe from any thread
    // and from a handler that runs while send() waits; without a send under way it does nothing.
    virtual void abort() = 0;
};

// Makes a fresh, idle request object. The program uses CreateHttpRequest; tests hand
// in their own.
using HttpRequestFactory = std::function<std::unique_ptr<HttpRequest>()>;
std::unique_ptr<HttpRequest> CreateHttpRequest();

}  // namespace client
