#include "service/http/ConnectionDeadlines.h"

#include <sys/socket.h>

namespace service {

ConnectionDeadlines::ConnectionDeadlines(Clock::duration interval)
    : m_interval(interval), m_thread([this] { Watch(); }) {}

ConnectionDeadlines::~ConnectionDeadlines() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_stopping.notify_all();
    m_thread.join();
}

void ConnectionDeadlines::Add(Watched& connection) {
    std::lock_guard lock(m_mutex);
    m_connections.insert(&connection);
}

void ConnectionDeadlines::Remove(Watched& connection) {
    std::lock_guard lock(m_mutex);
    if (m_connections.erase(&connection) != 0 && connection.m_closing) --m_closing;
}

bool ConnectionDeadlines::MakeRoom(std::size_t limit) {
    std::lock_guard lock(m_mutex);
    if (m_connections.size() - m_closing < limit) return true;
    Watched* longestIdle = nullptr;
    for (Watched* connection : m_connections) {
        const std::int64_t since = connection->m_idleSince.load();
        if (since != Watched::kNone && !connection->m_closing &&
            (longestIdle == nullptr || since < longestIdle->m_idleSince.load())) {
            longestIdle = connection;
        }
    }
    if (longestIdle == nullptr) return false;
    longestIdle->Busy();
    longestIdle->Disarm();
    longestIdle->m_closing = true;
    ++m_closing;
    ::shutdown(longestIdle->m_socket, SHUT_RDWR);
    return true;
}

void ConnectionDeadlines::Watch() {
    std::unique_lock lock(m_mutex);
    while (!m_stopping.wait_for(lock, m_interval, [this] { return m_stop; })) {
        const std::int64_t now = Watched::Ticks(Clock::now());
        for (Watched* connection : m_connections) {
            if (connection->m_deadline.load() <= now) {
                connection->Disarm();
                ::shutdown(connection->m_socket, SHUT_RDWR);
            }
        }
    }
}

}  // namespace service
