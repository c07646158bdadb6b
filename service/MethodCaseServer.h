#pragma once

#include <httplib.h>

namespace service {

// An httplib server that accepts the request method in any letter case ("post" as well as
// "POST"; HTTP methods are case-sensitive, but the program sends its query as "post").
// httplib 0.11 rejects such a request line with 400 before any handler or hook runs, so
// this server reads each connection through its own stream, which upper-cases the method
// token of every request as httplib reads it; everything after that token passes
// unchanged. A request httplib cannot read (answered 400) ends its connection, as the
// next request's start is unknown. Each answer leaves in one send with TCP_NODELAY set, so
// no answer waits for the client's delayed acknowledgement.
class MethodCaseServer : public httplib::Server {
public:
    // Closes the listening socket, as stop() does, but also when the accept loop has not
    // started yet, so a stop that comes early is not lost.
    void StopListening();

    // httplib listens with a backlog of 5, so a burst of clients connecting at once loses
    // SYNs and waits a second for each retransmission; this widens it to the system's
    // maximum once bound.
    void WidenBacklog();

private:
    bool process_and_close_socket(socket_t socket) override;
};

}  // namespace service
