#include "tests/support/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <string>

namespace {

[[noreturn]] void fail(const char* what) {
    throw std::runtime_error(std::string("LoopbackHttpServer: ") + what + ": " +
                             std::to_string(errno));
}

QByteArray reasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

// The value of the Content-Length line of a request head, 0 when there is none.
qsizetype contentLength(const QByteArray& head) {
    for (const QByteArray& line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0) continue;
        if (line.left(colon).trimmed().toLower() == "content-length") {
            return line.mid(colon + 1).trimmed().toLongLong();
        }
    }
    return 0;
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() {
    setAnswer(200, QByteArray());

    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listener < 0) fail("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        fail("bind");
    }
    if (listen(m_listener, 16) != 0) fail("listen");
    socklen_t length = sizeof address;
    if (getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        fail("getsockname");
    }
    m_port = ntohs(address.sin_port);

    int wake[2];
    if (pipe2(wake, O_CLOEXEC) != 0) fail("pipe2");
    m_wakeRead = wake[0];
    m_wakeWrite = wake[1];

    m_thread = std::thread([this] { serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    // The wake pipe is never drained, so every wait of the server thread ends from now on.
    const char stop = 's';
    while (write(m_wakeWrite, &stop, 1) < 0 && errno == EINTR) {
    }
    m_thread.join();
    for (int connection : m_heldConnections) close(connection);
    close(m_listener);
    close(m_wakeRead);
    close(m_wakeWrite);
}

QString LoopbackHttpServer::hostAndPort() const {
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

void LoopbackHttpServer::setAnswer(int status, const QByteArray& body) {
    setRawAnswer("HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) +
                 "\r\nContent-Type: text/html; charset=gbk\r\nContent-Length: " +
                 QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
}

void LoopbackHttpServer::setRawAnswer(const QByteArray& bytes) {
    std::lock_guard lock(m_mutex);
    m_answer = bytes;
}

void LoopbackHttpServer::setStalled(bool stalled) {
    std::lock_guard lock(m_mutex);
    m_stalled = stalled;
}

void LoopbackHttpServer::answerHeld() {
    std::lock_guard lock(m_mutex);
    m_stalled = false;
    for (int connection : m_heldConnections) {
        writeAll(connection, m_answer);
        shutdown(connection, SHUT_WR);
        close(connection);
    }
    m_heldConnections.clear();
}

QList<QByteArray> LoopbackHttpServer::requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

int LoopbackHttpServer::requestCount() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_requests.size());
}

void LoopbackHttpServer::serve() {
    while (waitFor(m_listener, POLLIN)) {
        const int connection = accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (connection >= 0) serveConnection(connection);
    }
}

void LoopbackHttpServer::serveConnection(int connection) {
    QByteArray request;
    if (!readRequest(connection, request)) {
        close(connection);
        return;
    }
    QByteArray answer;
    {
        std::lock_guard lock(m_mutex);
        m_requests.append(request);
        if (m_stalled) {
            m_heldConnections.push_back(connection);
            return;
        }
        answer = m_answer;
    }
    writeAll(connection, answer);
    shutdown(connection, SHUT_WR);
    close(connection);
}

// Waits until fd is ready for events; false once the server is being destroyed.
bool LoopbackHttpServer::waitFor(int fd, short events) const {
    pollfd fds[2] = {{fd, events, 0}, {m_wakeRead, POLLIN, 0}};
    for (;;) {
        const int ready = poll(fds, 2, -1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || fds[1].revents != 0) return false;
        if (fds[0].revents != 0) return true;
    }
}

bool LoopbackHttpServer::readRequest(int connection, QByteArray& request) const {
    qsizetype headEnd = -1;
    qsizetype wanted = -1;
    char buffer[16384];
    while (wanted < 0 || request.size() < wanted) {
        const ssize_t got = recv(connection, buffer, sizeof buffer, 0);
        if (got == 0) return false;
        if (got < 0) {
            if (errno == EINTR) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
            if (!waitFor(connection, POLLIN)) return false;
            continue;
        }
        request.append(buffer, got);
        if (headEnd < 0) {
            headEnd = request.indexOf("\r\n\r\n");
            if (headEnd >= 0) wanted = headEnd + 4 + contentLength(request.left(headEnd));
        }
    }
    request.truncate(wanted);
    return true;
}

void LoopbackHttpServer::writeAll(int connection, const QByteArray& bytes) const {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t sent =
            send(connection, bytes.constData() + written, bytes.size() - written, MSG_NOSIGNAL);
        if (sent >= 0) {
            written += sent;
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (!waitFor(connection, POLLOUT)) return;
        } else if (errno != EINTR) {
            return;  // the client went away
        }
    }
}
