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
    m_connections.erase(&connection);
}

void ConnectionDeadlines::Watch() {
    std::unique_lock lock(m_mutex);
    while (!m_stopping.wait_for(lock, m_interval, [this] { return m_stop; })) {
        const std::int64_t now = Clock::now().time_since_epoch().count();
        for (Watched* connection : m_connections) {
            if (connection->m_deadline.load(std::memory_order_relaxed) <= now) {
                connection->Disarm();
                ::shutdown(connection->m_socket, SHUT_RDWR);
            }
        }
    }
}

}  // namespace service
