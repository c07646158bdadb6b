#include "client/PageDecoding.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <unistd.h>

namespace client {
namespace {

using namespace Qt::StringLiterals;

// Counts the custom events it receives; posts itself another one from each when asked.
class EventCounter : public QObject {
public:
    int received = 0;
    bool repost = false;

protected:
    void customEvent(QEvent*) override {
        ++received;
        if (repost) QCoreApplication::postEvent(this, new QEvent(QEvent::User));
    }
};

class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

TEST(ProcessPendingEvents, DeliversAQueuedEvent) {
    EventCounter counter;
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
    EXPECT_EQ(counter.received, 0);
    ProcessPendingEvents();
    EXPECT_EQ(counter.received, 1);
}

TEST(ProcessPendingEvents, LeavesEventsPostedMeanwhileForTheNextPass) {
    EventCounter counter;
    counter.repost = true;
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
    ProcessPendingEvents();
    EXPECT_EQ(counter.received, 1);
    ProcessPendingEvents();
    EXPECT_EQ(counter.received, 2);
    counter.repost = false;
    QCoreApplication::removePostedEvents(&counter);
}

TEST(ProcessPendingEvents, RunsAQueuedKeyPress) {
    QLineEdit box;
    QCoreApplication::postEvent(&box,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, u"7"_s));
    ProcessPendingEvents();
    EXPECT_EQ(box.text(), u"7"_s);
}

TEST(ProcessPendingEvents, RunsAQueuedClick) {
    QPushButton button(u"Query"_s);
    button.resize(80, 24);
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&clicks] { ++clicks; });
    const QPointF centre(40, 12);
    const QPointF global = button.mapToGlobal(centre);
    QCoreApplication::postEvent(
        &button, new QMouseEvent(QEvent::MouseButtonPress, centre, global, Qt::LeftButton,
                                 Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(
        &button, new QMouseEvent(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton,
                                 Qt::NoButton, Qt::NoModifier));
    ProcessPendingEvents();
    EXPECT_EQ(clicks, 1);
}

TEST(ProcessPendingEvents, RunsAPendingRepaint) {
    PaintCounter widget;
    widget.resize(50, 50);
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    ASSERT_TRUE(QTest::qWaitFor([&widget] { return widget.paints > 0; }));
    const int paintsBefore = widget.paints;
    widget.update();
    ProcessPendingEvents();
    EXPECT_GT(widget.paints, paintsBefore);
}

TEST(ProcessPendingEvents, RunsADueTimer) {
    QTimer timer;
    timer.setSingleShot(true);
    timer.setInterval(0);
    int timeouts = 0;
    QObject::connect(&timer, &QTimer::timeout, [&timeouts] { ++timeouts; });
    timer.start();
    ProcessPendingEvents();
    EXPECT_EQ(timeouts, 1);
}

TEST(ProcessPendingEvents, HandlesInputWaitingOnADescriptor) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    QSocketNotifier notifier(fds[0], QSocketNotifier::Read);
    int activations = 0;
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        ++activations;
        char byte;
        EXPECT_EQ(read(fds[0], &byte, 1), 1);
    });
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    ProcessPendingEvents();
    EXPECT_EQ(activations, 1);
    close(fds[0]);
    close(fds[1]);
}

// A single-shot timer that is due at once, counting its time-outs.
class DueTimer {
public:
    DueTimer() {
        m_timer.setSingleShot(true);
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { ++timeouts; });
    }
    void start() { m_timer.start(); }
    int timeouts = 0;

private:
    QTimer m_timer;
};

TEST(DecodeResponseBytes, RunsDueTimersAndQueuedCallsWhileDecoding) {
    DueTimer timer;
    timer.start();
    QObject context;
    int queuedCalls = 0;
    QMetaObject::invokeMethod(
        &context, [&queuedCalls] { ++queuedCalls; }, Qt::QueuedConnection);
    EXPECT_EQ(DecodeResponseBytes("\xc4\xe3"), u"你"_s);
    EXPECT_EQ(timer.timeouts, 1);
    EXPECT_EQ(queuedCalls, 1);
}

}  // namespace
}  // namespace client
