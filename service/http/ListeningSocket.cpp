#include "service/http/ListeningSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace service {
namespace {

void SetNonBlocking(int socket) {
    // Several serving threads accept from the one socket: a blocking accept would stall a
    // thread whose competitor took the connection.
    ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL) | O_NONBLOCK);
}

sockaddr_storage LocalAddress(int socket) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    return address;
}

}  // namespace

int OpenListeningSocket(const std::string& host, int port) {
    const std::string where = host + ":" + std::to_string(port);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const int lookup = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (lookup != 0) {
        throw ListenError("cannot listen on " + where + ": " + ::gai_strerror(lookup));
    }
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> addresses(found, ::freeaddrinfo);
    int reason = 0;
    for (const addrinfo* a = addresses.get(); a != nullptr; a = a->ai_next) {
        const int socket = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (socket < 0) {
            reason = errno;
            continue;
        }
        const int yes = 1;
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(socket, a->ai_addr, a->ai_addrlen) == 0 && ::listen(socket, SOMAXCONN) == 0) {
            SetNonBlocking(socket);
            return socket;
        }
        reason = errno;
        ::close(socket);
    }
    throw ListenError("cannot listen on " + where + ": " + std::strerror(reason));
}

void AdoptListeningSocket(int socket) {
    int listening = 0;
    socklen_t length = sizeof listening;
    int type = 0;
    socklen_t typeLength = sizeof type;
    if (::getsockopt(socket, SOL_SOCKET, SO_ACCEPTCONN, &listening, &length) != 0 ||
        ::getsockopt(socket, SOL_SOCKET, SO_TYPE, &type, &typeLength) != 0 || listening == 0 ||
        type != SOCK_STREAM) {
        throw ListenError("the socket passed by the service manager is no listening TCP socket");
    }
    // A Unix socket would leave every caller without an address, which is what the service
    // answers about.
    const sa_family_t family = LocalAddress(socket).ss_family;
    if (family != AF_INET && family != AF_INET6) {
        throw ListenError("the socket passed by the service manager is " +
                          (family == AF_UNIX ? std::string("a Unix socket")
                                             : "of address family " + std::to_string(family)) +
                          "; the service listens on TCP only");
    }
    SetNonBlocking(socket);
}

std::string LocalAddressText(int socket) {
    const sockaddr_storage address = LocalAddress(socket);
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
        ::inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        return std::string("[") + text + "]:" + std::to_string(ntohs(v6.sin6_port));
    }
    const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
    ::inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(ntohs(v4.sin_port));
}

int LocalPort(int socket) {
    const sockaddr_storage address = LocalAddress(socket);
    return address.ss_family == AF_INET6
               ? ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port)
               : ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
}

}  // namespace service
