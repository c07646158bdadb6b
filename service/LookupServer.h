#pragma once

#include "GeoData.h"
#include "MethodCaseServer.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace service {

class ListenError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The lookup service over HTTP:
//   /ips.asp   the caller's own address and its location (GET, HEAD, POST)
//   /ips8.asp  the query page for the form field ip (POST body, or the query string of a
//              GET or HEAD)
//   /healthz   "ok" (GET, HEAD)
// Pages go out in code page 936. Another method on these paths gets 405, any other path
// 404, a request body over 4 KiB 413. Every request is reported to the log sink as one
// line.
class LookupServer {
public:
    using LogSink = std::function<void(std::string_view line)>;

    LookupServer(const GeoData& data, bool trustProxy, LogSink log);

    // Binds the listening socket; port 0 takes a free one. Returns the port bound.
    // Throws ListenError, with the system's reason, when the address cannot be bound.
    int Bind(const std::string& host, int port);

    // Serves until Stop; returns false when listening failed.
    bool Run();

    // May be called from any thread; connections in progress finish their request.
    void Stop();

private:
    void Route(const httplib::Request& request, httplib::Response& response) const;
    void AnswerOwnAddress(const httplib::Request& request, httplib::Response& response) const;
    void AnswerQuery(const httplib::Request& request, httplib::Response& response) const;
    void Log(const httplib::Request& request, const httplib::Response& response) const;

    const GeoData& m_data;
    bool m_trustProxy;
    LogSink m_log;
    MethodCaseServer m_server;
};

}  // namespace service
