#pragma once

#include "service/http/ConnectionDeadlines.h"
#include "service/http/Routes.h"
#include "service/http/ServerLimits.h"

#include <functional>
#include <string_view>

struct MHD_Daemon;

namespace service {

// Serves Routes over HTTP/1.1 on a listening socket, on a few threads that wait on
// every connection at once (epoll), so no connection holds a thread while its client is
// slow. Request bodies are read in pieces up to the route's limit (413 beyond it, by
// Content-Length or while reading a chunked body); a Transfer-Encoding other than chunked
// gets 501; a body is always read or the connection closed, so a body never passes for a
// next request. No Range support: every answer is the whole page. Each answered request
// is reported to the log sink as one line.
class Server {
public:
    using LogSink = std::function<void(std::string_view line)>;

    Server(const Routes& routes, const ServerLimits& limits, LogSink log);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Starts serving on the listening socket, which the server then owns, and returns.
    // Throws ListenError when the server cannot start.
    void Start(int listeningSocket);

    // Closes the listening socket and every connection, in whatever state; returns when no
    // request is being answered any more. Also called by the destructor.
    void Stop();

private:
    struct Connection;
    friend struct ServerCallbacks;

    const Routes& m_routes;
    const ServerLimits m_limits;
    const LogSink m_log;
    ConnectionDeadlines m_deadlines;
    MHD_Daemon* m_daemon = nullptr;
};

}  // namespace service
