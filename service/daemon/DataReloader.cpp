#include "service/daemon/DataReloader.h"

#include "service/daemon/ServiceManager.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <utility>

namespace service {
namespace {

// The weakest claim on a processor a thread of ordinary scheduling can make.
constexpr int kLowestPriority = 19;

}  // namespace

DataReloader::DataReloader(ReloadableData& data, std::vector<std::string> folders, LogSink log)
    : m_data(data),
      m_folders(std::move(folders)),
      m_log(std::move(log)),
      m_thread([this] { Run(); }) {}

DataReloader::~DataReloader() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void DataReloader::Request() {
    {
        std::lock_guard lock(m_mutex);
        m_requested = true;
    }
    m_wake.notify_one();
}

bool DataReloader::Busy() const {
    std::lock_guard lock(m_mutex);
    return m_requested || m_reloading;
}

void DataReloader::Run() {
    // Allowed to any process; where it is not (a seccomp filter), the reloads just run at
    // ordinary priority. Not SCHED_IDLE: beside other processes that keep every processor
    // busy, an idle thread would never run, and a new set would never be taken.
    const sched_param parameters{};
    pthread_setschedparam(pthread_self(), SCHED_BATCH, &parameters);
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kLowestPriority);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || m_requested; });
        if (m_stop) return;
        m_requested = false;
        m_reloading = true;
        lock.unlock();
        NotifyServiceManager("RELOADING=1");
        ReloadData(m_data, m_folders, m_log);
        NotifyServiceManager("READY=1");
        lock.lock();
        m_reloading = false;
    }
}

}  // namespace service
