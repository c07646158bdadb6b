#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace service {

// Writes the access log in batches: lines gather in memory and go out in one write when
// 64 KiB have gathered, and at least every quarter of a second, so a busy service spends
// one system call on many requests instead of one each. A line is never split or mixed
// with another.
class AccessLog {
public:
    // Writes to the descriptor, which the log does not own (standard error, say).
    explicit AccessLog(int descriptor);
    // Appends to the file, creating it when missing; throws std::runtime_error with the
    // system's reason when it cannot be opened.
    explicit AccessLog(const std::string& path);
    ~AccessLog();
    AccessLog(const AccessLog&) = delete;
    AccessLog& operator=(const AccessLog&) = delete;

    void Write(std::string_view line);
    // Writes out what has gathered, before the caller writes elsewhere to the same place.
    void Flush();

private:
    void WriteOut(std::unique_lock<std::mutex>& lock);

    int m_descriptor;
    bool m_owned;
    std::mutex m_mutex;
    std::mutex m_writing;
    std::condition_variable m_wake;
    std::string m_pending;
    bool m_stop = false;
    std::thread m_flusher;
};

}  // namespace service
