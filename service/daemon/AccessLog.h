#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace service {

// Writes the access log in batches on a thread of its own: lines gather in memory and go
// out in one write when 64 KiB have gathered, and at least every quarter of a second, so a
// busy service spends one system call on many requests instead of one each, and a request
// never waits for the log. A line is never split or mixed with another.
//
// A log that cannot be written never stops the service: its lines are dropped (so are
// lines beyond 4 MiB waiting to be written, and a batch that a pipe's reader has not taken
// within a second), and the notice sink is told once when writing starts failing and once
// when it works again, with the number of lines lost. Neither writing nor Flush ever waits
// longer than that second.
class AccessLog {
public:
    using NoticeSink = std::function<void(std::string_view line)>;

    // Writes to the descriptor, which the log does not own (standard error, say).
    AccessLog(int descriptor, NoticeSink notice);
    // Appends to the file, creating it when missing; throws std::runtime_error with the
    // system's reason when it cannot be opened. The file is opened without waiting: a
    // named pipe that nobody reads yet is opened again at each batch until someone does.
    AccessLog(const std::string& path, NoticeSink notice);
    ~AccessLog();
    AccessLog(const AccessLog&) = delete;
    AccessLog& operator=(const AccessLog&) = delete;

    void Write(std::string_view line);
    // Opens the file anew by its name, for log rotation: once the old file has been renamed,
    // the lines not yet written and all later ones go to a new file of the old name. When
    // it cannot be opened the log keeps writing to the file it had, and the notice sink
    // says why. Does nothing for a descriptor given, which its owner rotates.
    void Reopen();
    // Writes out what has gathered, before the caller writes elsewhere to the same place.
    void Flush();

private:
    AccessLog(int descriptor, std::string path, NoticeSink notice);
    void WriteOut(std::unique_lock<std::mutex>& lock);
    void Report(int failure, std::size_t linesLost);

    int m_descriptor;
    const std::string m_path;  // empty for a descriptor given
    const NoticeSink m_notice;
    std::mutex m_mutex;
    std::mutex m_writing;
    std::condition_variable m_wake;
    std::string m_pending;
    std::size_t m_linesLost = 0;  // over the most pending, since the last batch
    std::size_t m_lostWhileFailing = 0;
    bool m_failing = false;
    bool m_stop = false;
    std::thread m_flusher;
};

}  // namespace service
