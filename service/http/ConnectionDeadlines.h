#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <unordered_set>

namespace service {

// Watches the open connections and shuts down the ones the service wants gone. Shutting
// a socket down ends the connection through the HTTP library's ordinary path: it sees the
// peer gone and closes.
//
// Deadlines: the library's own time-out counts from the last byte received, so a client
// that sends one byte a second would keep a connection for ever; the watch gives each
// request a deadline and shuts the socket down once it has passed, whatever the client
// still sends.
//
// Room: when the connections are at their limit, a new one is admitted by closing the
// connection that has waited longest for a request (a keep-alive connection between
// requests, or one that has sent nothing yet), as nginx does; when every connection is in
// the middle of a request, the new one is refused.
class ConnectionDeadlines {
public:
    using Clock = std::chrono::steady_clock;

    // A connection as the watch knows it. Its methods may be called from the thread that
    // serves the connection while the watch runs.
    class Watched {
    public:
        explicit Watched(int socket) : m_socket(socket) {}
        void Arm(Clock::time_point deadline) { m_deadline.store(Ticks(deadline)); }
        void Disarm() { m_deadline.store(kNone); }
        // Waiting for a request since then (may be closed to make room), or not.
        void Idle(Clock::time_point since) { m_idleSince.store(Ticks(since)); }
        void Busy() { m_idleSince.store(kNone); }

    private:
        friend class ConnectionDeadlines;
        static constexpr std::int64_t kNone = INT64_MAX;
        static std::int64_t Ticks(Clock::time_point t) { return t.time_since_epoch().count(); }
        const int m_socket;
        std::atomic<std::int64_t> m_deadline{kNone};
        std::atomic<std::int64_t> m_idleSince{kNone};
        bool m_closing = false;  // shut down to make room; guarded by the watch's mutex
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

    // Whether one more connection may open with at most limit open, counting none that is
    // already being closed; makes room by closing the longest idle connection if need be.
    bool MakeRoom(std::size_t limit);

private:
    void Watch();

    const Clock::duration m_interval;
    std::mutex m_mutex;
    std::condition_variable m_stopping;
    bool m_stop = false;
    std::unordered_set<Watched*> m_connections;
    std::size_t m_closing = 0;
    std::thread m_thread;
};

}  // namespace service
