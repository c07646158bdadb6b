#include "LookupServer.h"

#include "ClientAddress.h"
#include "FormFields.h"
#include "GbkEncoding.h"
#include "Ipv4Address.h"
#include "Pages.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace service {
namespace {

constexpr std::size_t kMaxRequestBody = 4096;
// Each open connection holds a worker while it lives, and a connection waiting for a free
// worker gets no answer meanwhile: with 16, a benchmark of 32 connections had time-outs.
// Idle workers cost little.
constexpr std::size_t kWorkerThreads = 64;
constexpr std::size_t kRequestsPerConnection = 10000;

constexpr char kPageType[] = "text/html; charset=gbk";
constexpr char kTextType[] = "text/plain; charset=utf-8";
constexpr std::string_view kOwnAddressPath = "/ips.asp";
constexpr std::string_view kQueryPath = "/ips8.asp";
constexpr std::string_view kHealthPath = "/healthz";

bool IsReading(const httplib::Request& request) {
    return request.method == "GET" || request.method == "HEAD";
}

// Whether httplib will read a body for the request; all other requests are routed before
// that, in the pre-routing hook. httplib 0.11 reads the body of a POST without
// Content-Length or Transfer-Encoding until the client closes, but such a request has no
// body (RFC 9112, 6.3): a bodyless POST of the own-address page would otherwise hang.
bool HasBodyToRead(const httplib::Request& request) {
    const bool methodWithBody = request.method == "POST" || request.method == "PUT" ||
                                request.method == "PATCH" || request.method == "DELETE";
    return methodWithBody &&
           (request.has_header("Content-Length") || request.has_header("Transfer-Encoding"));
}

std::string_view QueryString(const httplib::Request& request) {
    const std::size_t mark = request.target.find('?');
    return mark == std::string::npos ? std::string_view()
                                     : std::string_view(request.target).substr(mark + 1);
}

void Refuse(httplib::Response& response, int status, const char* allowed) {
    response.status = status;
    if (allowed != nullptr) response.set_header("Allow", allowed);
    response.set_content(status == 404 ? "not found\n" : "method not allowed\n", kTextType);
}

void SendPage(httplib::Response& response, std::string_view utf8Page) {
    response.status = 200;
    response.set_content(EncodeGbk(utf8Page), kPageType);
}

// Request text as it may stand in the log: no control characters, bounded length.
std::string Printable(std::string_view text) {
    constexpr std::size_t kLimit = 200;
    std::string printable;
    for (const char c : text.substr(0, kLimit)) {
        const auto byte = static_cast<unsigned char>(c);
        printable += (byte < 0x20 || byte >= 0x7f || c == '"') ? '?' : c;
    }
    if (text.size() > kLimit) printable += "...";
    return printable;
}

}  // namespace

LookupServer::LookupServer(const GeoData& data, bool trustProxy, LogSink log)
    : m_data(data), m_trustProxy(trustProxy), m_log(std::move(log)) {
    m_server.new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
    m_server.set_payload_max_length(kMaxRequestBody);
    m_server.set_keep_alive_max_count(kRequestsPerConnection);
    // SO_REUSEADDR only: httplib's default also sets SO_REUSEPORT, which would let a second
    // service bind a port that a running one holds.
    m_server.set_socket_options([](socket_t socket) {
        const int yes = 1;
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });

    const auto route = [this](const httplib::Request& request, httplib::Response& response) {
        Route(request, response);
    };
    m_server.set_pre_routing_handler(
        [route](const httplib::Request& request, httplib::Response& response) {
            if (HasBodyToRead(request)) return httplib::Server::HandlerResponse::Unhandled;
            route(request, response);
            return httplib::Server::HandlerResponse::Handled;
        });
    m_server.Post(".*", route);
    m_server.Put(".*", route);
    m_server.Patch(".*", route);
    m_server.Delete(".*", route);
    m_server.set_logger([this](const httplib::Request& request, const httplib::Response& response) {
        Log(request, response);
    });
}

int LookupServer::Bind(const std::string& host, int port) {
    errno = 0;
    const int bound = port == 0 ? m_server.bind_to_any_port(host)
                                : (m_server.bind_to_port(host, port) ? port : -1);
    if (bound < 0) {
        const int reason = errno;
        throw ListenError("cannot listen on " + host + ":" + std::to_string(port) +
                          (reason != 0 ? std::string(": ") + std::strerror(reason) : ""));
    }
    m_server.WidenBacklog();
    return bound;
}

bool LookupServer::Run() {
    return m_server.listen_after_bind();
}

void LookupServer::Stop() {
    m_server.StopListening();
}

void LookupServer::Route(const httplib::Request& request, httplib::Response& response) const {
    const std::string_view path = request.path;
    if (path == kOwnAddressPath || path == kQueryPath) {
        if (!IsReading(request) && request.method != "POST") {
            Refuse(response, 405, "GET, HEAD, POST");
        } else if (path == kOwnAddressPath) {
            AnswerOwnAddress(request, response);
        } else {
            AnswerQuery(request, response);
        }
    } else if (path == kHealthPath) {
        if (IsReading(request)) {
            response.set_content("ok", kTextType);
        } else {
            Refuse(response, 405, "GET, HEAD");
        }
    } else {
        Refuse(response, 404, nullptr);
    }
}

void LookupServer::AnswerOwnAddress(const httplib::Request& request,
                                    httplib::Response& response) const {
    // Of several X-Forwarded-For lines, the last is the one the nearest proxy wrote.
    const std::size_t forwardedLines = request.get_header_value_count("X-Forwarded-For");
    const std::string forwardedFor =
        forwardedLines == 0 ? std::string()
                            : request.get_header_value("X-Forwarded-For", forwardedLines - 1);
    const std::string caller = CallerAddress(request.remote_addr, forwardedFor, m_trustProxy);
    const auto address = ParseIpv4(caller);
    SendPage(response, OwnAddressPage(caller, address ? m_data.Answer(*address)
                                                      : UniformAnswer(kUnknownText)));
}

void LookupServer::AnswerQuery(const httplib::Request& request, httplib::Response& response) const {
    const std::string_view fields =
        request.method == "POST" ? std::string_view(request.body) : QueryString(request);
    const auto field = FormField(fields, "ip");
    if (!field || field->empty()) {
        SendPage(response, QueryPage("", MissingAddressAnswer()));
    } else if (const auto address = ParseIpv4(*field)) {
        SendPage(response, QueryPage(FormatIpv4(*address), m_data.Answer(*address)));
    } else {
        SendPage(response, QueryPage("", InvalidAddressAnswer()));
    }
}

void LookupServer::Log(const httplib::Request& request, const httplib::Response& response) const {
    if (!m_log) return;
    m_log(Printable(request.remote_addr) + " \"" + Printable(request.method) + " " +
          Printable(request.target) + "\" " + std::to_string(response.status) + " " +
          std::to_string(response.body.size()));
}

}  // namespace service
