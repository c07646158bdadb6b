#include "client/ResponsiveWait.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

namespace client {
namespace {

TEST(RunKeepingWindowsAlive, HandlesEventsOnThisThreadWhileTheWorkRunsOnAnother) {
    QObject context;
    std::atomic<bool> queuedCallRan = false;
    QThread* workThread = nullptr;
    QMetaObject::invokeMethod(
        &context, [&] { queuedCallRan = true; }, Qt::QueuedConnection);
    RunKeepingWindowsAlive([&] {
        workThread = QThread::currentThread();
        // The work ends only once the calling thread has run the queued call.
        while (!queuedCallRan) QThread::msleep(1);
    });
    EXPECT_TRUE(queuedCallRan);
    EXPECT_NE(workThread, QThread::currentThread());
}

TEST(RunKeepingWindowsAlive, HandsOnWhatTheWorkThrows) {
    EXPECT_THROW(RunKeepingWindowsAlive([] { throw std::runtime_error("no answer"); }),
                 std::runtime_error);
}

}  // namespace
}  // namespace client
