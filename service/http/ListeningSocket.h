#pragma once

#include <stdexcept>
#include <string>

namespace service {

class ListenError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A TCP socket listening on host:port (port 0 takes a free one), non-blocking, with the
// system's longest accept queue. SO_REUSEADDR only: a second service cannot bind a port a
// running one holds. Throws ListenError with the system's reason.
int OpenListeningSocket(const std::string& host, int port);

// Makes a listening socket handed over by the service manager fit for serving; throws
// ListenError when it is no listening TCP socket.
void AdoptListeningSocket(int socket);

// Where a socket listens: "ADDR:PORT", an IPv6 address in brackets.
std::string LocalAddressText(int socket);
int LocalPort(int socket);

}  // namespace service
