#include "service/daemon/AccessLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace service {
namespace {

constexpr std::size_t kBatchBytes = 64 * 1024;
constexpr auto kFlushInterval = std::chrono::milliseconds(250);

int OpenForAppending(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0640);
    if (descriptor < 0) {
        throw std::runtime_error("cannot open the access log " + path + ": " +
                                 std::strerror(errno));
    }
    return descriptor;
}

}  // namespace

AccessLog::AccessLog(int descriptor)
    : m_descriptor(descriptor), m_owned(false), m_flusher([this] {
          std::unique_lock lock(m_mutex);
          while (!m_stop) {
              m_wake.wait_for(lock, kFlushInterval);
              WriteOut(lock);
          }
      }) {}

AccessLog::AccessLog(const std::string& path) : AccessLog(OpenForAppending(path)) {
    m_owned = true;
}

AccessLog::~AccessLog() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_flusher.join();
    Flush();
    if (m_owned) ::close(m_descriptor);
}

void AccessLog::Write(std::string_view line) {
    std::unique_lock lock(m_mutex);
    m_pending.append(line);
    m_pending += '\n';
    if (m_pending.size() >= kBatchBytes) WriteOut(lock);
}

void AccessLog::Flush() {
    std::unique_lock lock(m_mutex);
    WriteOut(lock);
}

// Takes the gathered lines and writes them with the lock released, so requests keep
// adding lines meanwhile; m_writing keeps the batches in order.
void AccessLog::WriteOut(std::unique_lock<std::mutex>& lock) {
    if (m_pending.empty()) return;
    std::string batch;
    batch.swap(m_pending);
    {
        std::lock_guard writing(m_writing);
        lock.unlock();
        for (std::size_t written = 0; written < batch.size();) {
            const ssize_t n = ::write(m_descriptor, batch.data() + written, batch.size() - written);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;  // a log that cannot be written must not stop the service
            written += static_cast<std::size_t>(n);
        }
    }
    lock.lock();
}

}  // namespace service
