#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <unordered_set>

namespace service {

// Ends connections whose request does not arrive in time. The HTTP library's own time-out
// counts from the last byte received, so a client that sends one byte a second would keep
// a connection for ever; this watch gives each request a deadline and shuts the socket
// down once it has passed, whatever the client still sends. Shutting a socket down ends
// the connection through the library's ordinary path: it sees the peer gone and closes.
class ConnectionDeadlines {
public:
    using Clock = std::chrono::steady_clock;

    // A connection as the watch knows it. Arm and Disarm may be called from the thread
    // that serves the connection while the watch runs.
    class Watched {
    public:
        explicit Watched(int socket) : m_socket(socket) {}
        void Arm(Clock::time_point deadline) {
            m_deadline.store(deadline.time_since_epoch().count(), std::memory_order_relaxed);
        }
        void Disarm() { m_deadline.store(kNone, std::memory_order_relaxed); }

    private:
        friend class ConnectionDeadlines;
        static constexpr std::int64_t kNone = INT64_MAX;
        const int m_socket;
        std::atomic<std::int64_t> m_deadline{kNone};
    };

    // Looks for late connections every interval.
    explicit ConnectionDeadlines(Clock::duration interval);
    ~ConnectionDeadlines();
    ConnectionDeadlines(const ConnectionDeadlines&) = delete;
    ConnectionDeadlines& operator=(const ConnectionDeadlines&) = delete;

    // A connection must be removed before its socket is closed, so that the watch never
    // shuts down a socket number that another connection has taken over since.
    void Add(Watched& connection);
    void Remove(Watched& connection);

private:
    void Watch();

    const Clock::duration m_interval;
    std::mutex m_mutex;
    std::condition_variable m_stopping;
    bool m_stop = false;
    std::unordered_set<Watched*> m_connections;
    std::thread m_thread;
};

}  // namespace service
