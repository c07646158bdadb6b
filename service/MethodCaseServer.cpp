#include "MethodCaseServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string_view>

namespace service {
namespace {

constexpr int kStopCheckMilliseconds = 100;

int Milliseconds(time_t seconds, time_t microseconds) {
    return static_cast<int>(seconds * 1000 + microseconds / 1000);
}

bool WaitFor(int socket, short events, int timeoutMilliseconds) {
    pollfd entry{socket, events, 0};
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, timeoutMilliseconds);
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

void AddressText(const sockaddr_storage& address, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        port = ntohs(v4.sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
        inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        port = ntohs(v6.sin6_port);
    }
    ip = text;
}

// Calls a socket operation again while a signal interrupts it.
template <typename Operation>
ssize_t Retrying(Operation operation) {
    ssize_t result = 0;
    do {
        result = operation();
    } while (result < 0 && errno == EINTR);
    return result;
}

struct Endpoint {
    std::string ip;
    int port = -1;
};

template <typename Query>
Endpoint EndpointOf(int socket, Query query) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    Endpoint endpoint;
    if (query(socket, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        AddressText(address, endpoint.ip, endpoint.port);
    }
    return endpoint;
}

// A buffered socket stream whose reads upper-case the first token of each request. It
// sends each answer in one piece, and reads and sends try the socket first and wait only
// when it is not ready: a busy keep-alive connection costs few system calls per request.
class MethodUpcasingStream final : public httplib::Stream {
public:
    MethodUpcasingStream(int socket, int readTimeoutMilliseconds, int writeTimeoutMilliseconds)
        : m_socket(socket),
          m_readTimeout(readTimeoutMilliseconds),
          m_writeTimeout(writeTimeoutMilliseconds),
          m_peer(EndpointOf(socket, ::getpeername)),
          m_local(EndpointOf(socket, ::getsockname)) {
        // A blocking receive that gives up every stop-check interval lets WaitForRequest
        // take the request in the same system call that waits for it.
        timeval slice{0, kStopCheckMilliseconds * 1000};
        ::setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, &slice, sizeof slice);
    }

    // Waits until a next request begins to arrive, reading its first bytes; false when the
    // connection stays idle for idleSeconds, is closed, or the server stops listening.
    bool WaitForRequest(const std::atomic<socket_t>& listeningSocket, time_t idleSeconds) {
        if (m_begin < m_end) return true;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(idleSeconds);
        while (listeningSocket != INVALID_SOCKET) {
            const ssize_t received = Fill(0);
            if (received > 0) return true;
            if (received == 0 || errno != EAGAIN) return false;  // closed or failed
            if (std::chrono::steady_clock::now() >= deadline) return false;
        }
        return false;
    }

    void BeginRequest() {
        m_inMethodToken = true;
        m_responseStarting = true;
        m_requestUnreadable = false;
    }

    // Whether the last answer was 400: httplib could not read the request, so where the
    // next one would begin is unknown and the connection has to end.
    bool RequestUnreadable() const { return m_requestUnreadable; }

    bool is_readable() const override {
        return m_begin < m_end || WaitFor(m_socket, POLLIN, m_readTimeout);
    }

    bool is_writable() const override { return WaitFor(m_socket, POLLOUT, m_writeTimeout); }

    ssize_t read(char* destination, size_t size) override {
        if (m_begin == m_end) {
            // What was answered so far goes out before waiting for more, for the client
            // may wait for it ("100 Continue").
            if (!Flush()) return -1;
            ssize_t received = Fill();
            if (received < 0 && errno == EAGAIN) {
                if (!is_readable()) return -1;
                received = Fill();
            }
            if (received <= 0) return received;
        }
        const size_t count = std::min(size, m_end - m_begin);
        std::memcpy(destination, m_buffer.data() + m_begin, count);
        m_begin += count;
        UpcaseMethodToken(destination, count);
        return static_cast<ssize_t>(count);
    }

    // Collects the answer; Flush sends it, so head and body leave in one segment.
    ssize_t write(const char* source, size_t size) override {
        if (m_responseStarting) {
            m_responseStarting = false;
            const std::string_view statusLine(source, size);  // "HTTP/1.1 400 Bad Request"
            m_requestUnreadable = statusLine.size() > 13 && statusLine.substr(8, 5) == " 400 ";
        }
        m_pending.append(source, size);
        return static_cast<ssize_t>(size);
    }

    // Sends everything written so far; false when the connection failed.
    bool Flush() {
        size_t sent = 0;
        while (sent < m_pending.size()) {
            const ssize_t n = Retrying([&] {
                return ::send(m_socket, m_pending.data() + sent, m_pending.size() - sent,
                              MSG_NOSIGNAL | MSG_DONTWAIT);
            });
            if (n > 0) {
                sent += static_cast<size_t>(n);
            } else if (n < 0 && errno == EAGAIN && is_writable()) {
                continue;
            } else {
                return false;
            }
        }
        m_pending.clear();
        return true;
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        ip = m_peer.ip;
        port = m_peer.port;
    }

    void get_local_ip_and_port(std::string& ip, int& port) const override {
        ip = m_local.ip;
        port = m_local.port;
    }

    socket_t socket() const override { return m_socket; }

private:
    // Takes what the socket holds into the empty buffer; by default without waiting.
    ssize_t Fill(int flags = MSG_DONTWAIT) {
        const ssize_t received =
            Retrying([&] { return ::recv(m_socket, m_buffer.data(), m_buffer.size(), flags); });
        m_begin = 0;
        m_end = received > 0 ? static_cast<size_t>(received) : 0;
        return received;
    }

    void UpcaseMethodToken(char* bytes, size_t count) {
        for (size_t i = 0; i < count && m_inMethodToken; ++i) {
            if (bytes[i] == ' ' || bytes[i] == '\r' || bytes[i] == '\n') {
                m_inMethodToken = false;
            } else {
                bytes[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(bytes[i])));
            }
        }
    }

    int m_socket;
    int m_readTimeout;
    int m_writeTimeout;
    Endpoint m_peer;
    Endpoint m_local;
    std::array<char, 4096> m_buffer{};
    std::string m_pending;
    size_t m_begin = 0;
    size_t m_end = 0;
    bool m_inMethodToken = false;
    bool m_responseStarting = false;
    bool m_requestUnreadable = false;
};

}  // namespace

void MethodCaseServer::StopListening() {
    const socket_t listening = svr_sock_.exchange(INVALID_SOCKET);
    if (listening != INVALID_SOCKET) {
        ::shutdown(listening, SHUT_RDWR);
        ::close(listening);
    }
}

void MethodCaseServer::WidenBacklog() {
    const socket_t listening = svr_sock_;
    if (listening != INVALID_SOCKET) ::listen(listening, SOMAXCONN);
}

bool MethodCaseServer::process_and_close_socket(socket_t socket) {
    const int noDelay = 1;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);

    MethodUpcasingStream stream(socket, Milliseconds(read_timeout_sec_, read_timeout_usec_),
                                Milliseconds(write_timeout_sec_, write_timeout_usec_));
    bool served = false;
    for (size_t left = keep_alive_max_count_; left > 0; --left) {
        if (!stream.WaitForRequest(svr_sock_, keep_alive_timeout_sec_)) break;
        stream.BeginRequest();
        bool closedByRequest = false;
        const bool processed = process_request(stream, left == 1, closedByRequest, nullptr);
        served = stream.Flush() && processed;
        if (!served || closedByRequest || stream.RequestUnreadable()) break;
    }
    ::shutdown(socket, SHUT_RDWR);
    ::close(socket);
    return served;
}

}  // namespace service
