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
// slow. A request head is checked before anything else (HeadRefusal: framing, size) and
// refused with its status and a closed connection. Request bodies are read in pieces up
// to the route's limit (413 beyond it, by Content-Length or while reading a chunked body);
// a body is always read or the connection closed, so a body never passes for a next
// request. At the connection limit the longest idle connection makes room for a new one;
// with none idle the new one is closed at once. No Range support: every answer is the
// whole page. Each answered request is reported to the log sink as one line.
class Server {
public:
    using LogSink = std::function<void(std::string_view line)>;

    // Connections closed to make room for new ones stay open a moment longer, until the
    // serving threads see them gone; at most this many more than the limit are open then.
    static constexpr unsigned kClosingHeadroom = 64;

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
