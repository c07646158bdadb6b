#include "client/CurlHttpRequest.h"

#include "client/ResponsiveWait.h"

#include <curl/curl.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

namespace client {
namespace {

void EnsureCurlInitialised() {
    // A function-local static runs the global set-up exactly once, whichever thread is first.
    static const CURLcode result = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (result != CURLE_OK) {
        throw LookupFailure(std::string("cannot set up libcurl: ") + curl_easy_strerror(result));
    }
}

bool IsToken(const QByteArray& text) {
    static constexpr std::string_view kSeparators = "()<>@,;:\\\"/[]?={} \t";
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) {
        return c > 0x20 && c < 0x7f && kSeparators.find(c) == std::string_view::npos;
    });
}

bool IsHeaderValue(const QByteArray& text) {
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
}

// The URL in libcurl's normalised form when it is a well-formed http URL; empty otherwise.
QByteArray NormalisedHttpUrl(const QString& url) {
    CURLU* parsed = curl_url();
    if (parsed == nullptr) throw LookupFailure("out of memory");
    QByteArray result;
    char* scheme = nullptr;
    char* full = nullptr;
    if (curl_url_set(parsed, CURLUPART_URL, url.toUtf8().constData(), 0) == CURLUE_OK &&
        curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
        qstrcmp(scheme, "http") == 0 &&
        curl_url_get(parsed, CURLUPART_URL, &full, 0) == CURLUE_OK) {
        result = full;
    }
    curl_free(full);
    curl_free(scheme);
    curl_url_cleanup(parsed);
    return result;
}

struct HeaderList {
    curl_slist* head = nullptr;
    ~HeaderList() { curl_slist_free_all(head); }
    void append(const QByteArray& line) {
        curl_slist* grown = curl_slist_append(head, line.constData());
        if (grown == nullptr) throw LookupFailure("out of memory");
        head = grown;
    }
};

// The transfer as curl_easy_perform would make it, but given up as soon as aborted is set
// and the multi handle woken.
CURLcode Perform(CURL* curl, CURLM* multi, const std::atomic<bool>& aborted) {
    if (curl_multi_add_handle(multi, curl) != CURLM_OK) return CURLE_OUT_OF_MEMORY;
    CURLcode result = CURLE_OK;
    int running = 1;
    while (running > 0 && !aborted) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            result = CURLE_OUT_OF_MEMORY;
            break;
        }
        if (running > 0) curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
    int queued = 0;
    while (const CURLMsg* message = curl_multi_info_read(multi, &queued)) {
        if (message->msg == CURLMSG_DONE) result = message->data.result;
    }
    curl_multi_remove_handle(multi, curl);
    return result;
}

}  // namespace

// The easy handle runs inside a multi handle of its own: waiting in curl_multi_poll, a
// transfer can be woken from another thread when it is abandoned.
struct CurlHttpRequest::Handle {
    CURL* curl = nullptr;
    CURLM* multi = nullptr;
    char error[CURL_ERROR_SIZE] = {};
    ~Handle() {
        curl_multi_cleanup(multi);
        curl_easy_cleanup(curl);
    }
};

CurlHttpRequest::CurlHttpRequest(const TransferLimits& limits)
    : m_limits(limits), m_handle(std::make_unique<Handle>()) {
    EnsureCurlInitialised();
    m_handle->curl = curl_easy_init();
    m_handle->multi = curl_multi_init();
    if (m_handle->curl == nullptr || m_handle->multi == nullptr) {
        throw LookupFailure("cannot create an HTTP request");
    }
}

CurlHttpRequest::~CurlHttpRequest() = default;

void CurlHttpRequest::open(const QByteArray& method, const QString& url) {
    if (!IsToken(method)) throw LookupFailure("not an HTTP method: " + method.toStdString());
    QByteArray normalisedUrl = NormalisedHttpUrl(url);
    if (normalisedUrl.isEmpty()) throw LookupFailure("not an http URL: " + url.toStdString());
    m_method = method;
    m_url = normalisedUrl;
    m_headerLines.clear();
    m_hasContentType = false;
    m_responseBody.clear();
}

void CurlHttpRequest::setRequestHeader(const QByteArray& name, const QByteArray& value) {
    if (m_url.isEmpty()) throw LookupFailure("setRequestHeader before open");
    if (!IsToken(name) || !IsHeaderValue(value)) {
        throw LookupFailure("not an HTTP header: " + name.toStdString());
    }
    // libcurl reads "Name:" as "drop this header"; "Name;" sends it with an empty value.
    m_headerLines.append(value.isEmpty() ? name + ';' : name + ": " + value);
    if (name.compare("Content-Type", Qt::CaseInsensitive) == 0) m_hasContentType = true;
}

void CurlHttpRequest::send(const QByteArray& body) {
    if (m_url.isEmpty()) throw LookupFailure("send before open");
    m_responseBody.clear();
    m_received.clear();
    m_receivedTooMuch = false;
    m_headComplete = false;
    transfer(body);
    m_responseBody = std::exchange(m_received, QByteArray());
}

void CurlHttpRequest::transfer(const QByteArray& body) {
    CURL* const curl = m_handle->curl;
    curl_easy_reset(curl);

    HeaderList headers;
    // libcurl would add "Expect: 100-continue" to larger bodies and a form Content-Type to
    // every POST of its own accord; only the headers asked for go out.
    headers.append("Expect:");
    if (!m_hasContentType) headers.append("Content-Type:");
    for (const QByteArray& line : m_headerLines) headers.append(line);

    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, m_handle->error);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http");
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(curl, CURLOPT_URL, m_url.constData());
    curl_easy_setopt(curl, CURLOPT_USERAGENT, LOKARO_USER_AGENT);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.head);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(m_limits.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(m_limits.totalTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                     static_cast<curl_off_t>(m_limits.maxBodyBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CurlHttpRequest::receive);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &CurlHttpRequest::receiveHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
    if (!body.isEmpty() || m_method == "POST") {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.constData());
    }
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, m_method.constData());

    m_handle->error[0] = '\0';
    m_aborted = false;
    CURLcode result = CURLE_OK;
    RunKeepingWindowsAlive([&] { result = Perform(curl, m_handle->multi, m_aborted); });
    if (m_aborted) throw LookupFailure("the request was abandoned");
    if (m_receivedTooMuch || result == CURLE_FILESIZE_EXCEEDED) {
        throw LookupFailure("the answer is larger than " + std::to_string(m_limits.maxBodyBytes) +
                            " bytes");
    }
    if (result != CURLE_OK) {
        throw LookupFailure(m_handle->error[0] != '\0' ? m_handle->error
                                                       : curl_easy_strerror(result));
    }
    // libcurl takes a connection closed in the middle of the head for an answer without body.
    if (!m_headComplete) throw LookupFailure("the answer breaks off in its head");
}

void CurlHttpRequest::abort() {
    m_aborted = true;
    curl_multi_wakeup(m_handle->multi);
}

size_t CurlHttpRequest::receive(char* data, size_t size, size_t count, void* self) {
    auto* request = static_cast<CurlHttpRequest*>(self);
    const size_t bytes = size * count;
    if (bytes > static_cast<size_t>(request->m_limits.maxBodyBytes - request->m_received.size())) {
        request->m_receivedTooMuch = true;
        return 0;  // anything short of bytes makes libcurl abort the transfer
    }
    request->m_received.append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

size_t CurlHttpRequest::receiveHeader(char* data, size_t size, size_t count, void* self) {
    auto* request = static_cast<CurlHttpRequest*>(self);
    const QByteArrayView line(data, static_cast<qsizetype>(size * count));
    // Each head (an interim 1xx one included) starts with a status line and ends with an
    // empty line.
    if (line.startsWith("HTTP/")) request->m_headComplete = false;
    if (line == "\r\n" || line == "\n") request->m_headComplete = true;
    return size * count;
}

}  // namespace client
