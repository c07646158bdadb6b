#pragma once

#include "ConnectionDeadlines.h"
#include "LookupRoutes.h"
#include "ServerLimits.h"

#include <functional>
#include <string_view>

struct MHD_Daemon;

namespace service {

// Serves LookupRoutes over HTTP/1.1 on a listening socket, on a few threads that wait on
// every connection at once (epoll), so no connection holds a thread while its client is
// slow. Request bodies are read in pieces up to the route's limit (413 beyond it, by
// Content-Length or while reading a chunked body); a Transfer-Encoding other than chunked
// gets 501; a body is always read or the connection closed, so a body never passes for a
// next request. No Range support: every answer is the whole page. Each answered request
// is reported to the log sink as one line.
class LookupServer {
public:
    using LogSink = std::function<void(std::string_view line)>;

    LookupServer(const LookupRoutes& routes, const ServerLimits& limits, LogSink log);
    ~LookupServer();
    LookupServer(const LookupServer&) = delete;
    LookupServer& operator=(const LookupServer&) = delete;

    // Starts serving on the listening socket, which the server then owns, and returns.
    // Throws ListenError when the server cannot start.
    void Start(int listeningSocket);

    // Closes the listening socket and every connection, in whatever state; returns when no
    // request is being answered any more. Also called by the destructor.
    void Stop();

private:
    struct Connection;
    friend struct LookupServerCallbacks;

    const LookupRoutes& m_routes;
    const ServerLimits m_limits;
    const LogSink m_log;
    ConnectionDeadlines m_deadlines;
    MHD_Daemon* m_daemon = nullptr;
};

}  // namespace service
