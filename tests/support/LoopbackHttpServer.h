#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <mutex>
#include <thread>
#include <vector>

// A tiny HTTP server on 127.0.0.1 for tests. It listens from construction on a free port,
// serves one connection after another on its own thread, records the exact bytes of every
// complete request (head up to the blank line, then as many body bytes as its
// Content-Length says) and answers each with the same canned bytes, then closes the
// connection. Any method token is accepted. All members are thread-safe.
class LoopbackHttpServer {
public:
    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    quint16 port() const { return m_port; }
    // "127.0.0.1:PORT", the form the lookup service host takes.
    QString hostAndPort() const;

    // Answer with this status and body, as a GBK HTML page, closing the connection after it.
    // The default answer is status 200 with an empty body.
    void setAnswer(int status, const QByteArray& body);
    // Answer with exactly these bytes.
    void setRawAnswer(const QByteArray& bytes);
    // While stalled, connections are accepted and read but never answered; they stay open
    // until the client gives up or the server is destroyed.
    void setStalled(bool stalled);
    // Stops stalling and answers the connections held so far, with the current answer.
    void answerHeld();

    QList<QByteArray> requests() const;
    int requestCount() const;

private:
    void serve();
    void serveConnection(int connection);
    bool waitFor(int fd, short events) const;
    bool readRequest(int connection, QByteArray& request) const;
    void writeAll(int connection, const QByteArray& bytes) const;

    int m_listener = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    quint16 m_port = 0;

    mutable std::mutex m_mutex;
    QByteArray m_answer;
    bool m_stalled = false;
    QList<QByteArray> m_requests;
    std::vector<int> m_heldConnections;

    std::thread m_thread;
};
