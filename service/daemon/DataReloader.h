#pragma once

#include "service/http/ReloadableData.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace service {

// Reloads the data on a thread of its own, at the lowest priority of ordinary scheduling
// (SCHED_BATCH, nice 19): loading and checking a set takes a fifth of a second of a
// processor, and a thread of ordinary priority takes it in time slices of a few
// milliseconds during which a serving thread on the same processor waits, with every
// request it has. This thread gives way whenever a serving thread wakes up, so a reload
// costs the clients next to nothing; on a machine busy to the last cycle it still gets its
// small share, so a reload is slow there but always done.
//
// Reloads asked for while one is under way come to one more after it. The thread waiting
// for signals stays free meanwhile, to reopen the log or stop at once.
class DataReloader {
public:
    using LogSink = std::function<void(std::string_view line)>;

    DataReloader(ReloadableData& data, std::vector<std::string> folders, LogSink log);
    // Waits for a reload under way; see Busy.
    ~DataReloader();
    DataReloader(const DataReloader&) = delete;
    DataReloader& operator=(const DataReloader&) = delete;

    void Request();
    // Whether a reload is under way or asked for. A stop need not wait for it: a set half
    // loaded is of no use, and on a busy machine it may take long.
    bool Busy() const;

private:
    void Run();

    ReloadableData& m_data;
    const std::vector<std::string> m_folders;
    const LogSink m_log;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_requested = false;
    bool m_reloading = false;
    bool m_stop = false;
    std::thread m_thread;  // last, so that it starts with everything above in place
};

}  // namespace service
