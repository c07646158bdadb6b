#include "service/daemon/AccessLog.h"

#include "service/daemon/BoundedWrite.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace service {
namespace {

constexpr std::size_t kBatchBytes = 64 * 1024;
constexpr std::size_t kMostPending = 4 * 1024 * 1024;
constexpr auto kFlushInterval = std::chrono::milliseconds(250);
// How long a batch waits for a pipe whose reader is slow before its lines are dropped.
constexpr auto kWriteWait = std::chrono::milliseconds(1000);

// Non-blocking, so that neither opening a named pipe without a reader nor writing to one
// whose reader stalls can hold the service; -1 for a pipe without a reader (yet).
int OpenForAppending(const std::string& path) {
    const int descriptor =
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0640);
    if (descriptor < 0 && errno != ENXIO) {
        throw std::runtime_error("cannot open the access log " + path + ": " +
                                 std::strerror(errno));
    }
    return descriptor;
}

std::size_t LinesIn(std::string_view text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

AccessLog::AccessLog(int descriptor, std::string path, NoticeSink notice)
    : m_descriptor(descriptor),
      m_path(std::move(path)),
      m_notice(std::move(notice)),
      m_flusher([this] {
          std::unique_lock lock(m_mutex);
          while (!m_stop) {
              m_wake.wait_for(lock, kFlushInterval,
                              [this] { return m_stop || m_pending.size() >= kBatchBytes; });
              WriteOut(lock);
          }
      }) {}

AccessLog::AccessLog(int descriptor, NoticeSink notice)
    : AccessLog(descriptor, std::string(), std::move(notice)) {}

AccessLog::AccessLog(const std::string& path, NoticeSink notice)
    : AccessLog(OpenForAppending(path), path, std::move(notice)) {
    if (m_descriptor < 0) {
        std::lock_guard writing(m_writing);
        Report(ENXIO, 0);
    }
}

AccessLog::~AccessLog() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_flusher.join();
    Flush();
    if (!m_path.empty() && m_descriptor >= 0) ::close(m_descriptor);
}

void AccessLog::Write(std::string_view line) {
    std::lock_guard lock(m_mutex);
    if (m_pending.size() >= kMostPending) {
        ++m_linesLost;
        return;
    }
    m_pending.append(line);
    m_pending += '\n';
    if (m_pending.size() >= kBatchBytes) m_wake.notify_one();
}

void AccessLog::Reopen() {
    if (m_path.empty()) return;
    // Under m_writing alone: requests keep adding lines meanwhile, and no batch is half
    // written to the old file when the descriptor changes.
    std::lock_guard writing(m_writing);
    int fresh = -1;
    try {
        fresh = OpenForAppending(m_path);
    } catch (const std::runtime_error& error) {
        m_notice(std::string("access log: ") + error.what() +
                 "; still writing to the file opened before");
        return;
    }
    if (m_descriptor >= 0) ::close(m_descriptor);
    m_descriptor = fresh;
}

void AccessLog::Flush() {
    std::unique_lock lock(m_mutex);
    WriteOut(lock);
}

// Takes the gathered lines and writes them with the lock released, so requests keep
// adding lines meanwhile; m_writing keeps the batches in order.
void AccessLog::WriteOut(std::unique_lock<std::mutex>& lock) {
    std::string batch;
    batch.swap(m_pending);
    std::size_t linesLost = std::exchange(m_linesLost, 0);
    {
        std::lock_guard writing(m_writing);
        lock.unlock();
        if (m_descriptor < 0) m_descriptor = OpenForAppending(m_path);
        std::size_t written = 0;
        const int failure =
            m_descriptor < 0 ? ENXIO : WriteWithin(m_descriptor, batch, kWriteWait, written);
        linesLost += LinesIn(std::string_view(batch).substr(written));
        if (!batch.empty() || linesLost != 0) Report(failure, linesLost);
    }
    lock.lock();
}

// Called with m_writing held, after each batch: tells of a change between working and
// failing, and keeps counting the lines lost while failing.
void AccessLog::Report(int failure, std::size_t linesLost) {
    const std::string where = m_path.empty() ? "standard error" : m_path;
    if (failure != 0 && !m_failing) {
        m_failing = true;
        m_notice("access log: cannot write to " + where + ": " +
                 (failure == ENXIO    ? std::string("nobody reads the pipe")
                  : failure == EAGAIN ? std::string("its reader does not keep up")
                                      : std::string(std::strerror(failure))) +
                 "; its lines are dropped until it can be written again");
    }
    m_lostWhileFailing += linesLost;
    if (failure == 0 && (m_failing || m_lostWhileFailing != 0)) {
        m_failing = false;
        m_notice("access log: writing to " + where + " works again; " +
                 std::to_string(m_lostWhileFailing) + " lines were dropped");
        m_lostWhileFailing = 0;
    }
}

}  // namespace service
