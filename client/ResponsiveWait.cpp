#include "client/ResponsiveWait.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <exception>
#include <thread>

namespace client {

void RunKeepingWindowsAlive(const std::function<void()>& work) {
    const QCoreApplication* application = QCoreApplication::instance();
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (application == nullptr || dispatcher == nullptr ||
        QThread::currentThread() != application->thread()) {
        work();
        return;
    }

    std::atomic<bool> finished = false;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
        dispatcher->wakeUp();  // thread-safe; a wake-up before the wait begins is kept
    });
    while (!finished) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    worker.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace client
