// The main window while its request waits on a service that does not answer yet. Input and
// window-system requests are fed in as the platform feeds them, queued for the event loop.
#include "tests/app/Form1Fixture.h"
#include "tests/support/LoopbackHttpServer.h"

#include <qpa/qwindowsysteminterface.h>
#include <QElapsedTimer>
#include <QTimer>

#include <chrono>

namespace {

using namespace std::chrono_literals;
using Async = QWindowSystemInterface::AsynchronousDelivery;

// Counts the paints a widget gets while a condition holds.
class PaintCounter : public QObject {
public:
    PaintCounter(QWidget& widget, std::function<bool()> counting)
        : m_counting(std::move(counting)) {
        widget.installEventFilter(this);
    }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_counting()) ++paints;
        return false;
    }

private:
    std::function<bool()> m_counting;
};

class WaitingTest : public Form1Fixture {
protected:
    void SetUp() override {
        m_savedHost = qgetenv("LOKARO_SERVICE_HOST");
        qputenv("LOKARO_SERVICE_HOST", m_server.hostAndPort().toLatin1());
        m_server.setAnswer(200, SampleQueryPage());
        m_server.setStalled(true);
        m_form = std::make_unique<Form1>(Form1Services{{}, &m_messages, &m_store});
        ShowActive();
    }
    void TearDown() override { qputenv("LOKARO_SERVICE_HOST", m_savedHost); }

    // Calls step every few milliseconds from the event loop once the query has reached the
    // service, with the number of calls before it, until it returns true.
    void WhileTheRequestWaits(std::function<bool(int)> step) {
        m_step = std::move(step);
        m_poll.setInterval(5ms);
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            if (m_server.requestCount() == 0) return;
            if (m_step(m_calls++)) m_poll.stop();
        });
        m_poll.start();
    }

    void ClickThroughTheWindowSystem(QWidget* widget, QPoint at) {
        QWindow* window = Form().windowHandle();
        const QPointF local = widget->mapTo(&Form(), at);
        const QPointF global = Form().mapToGlobal(local);
        QWindowSystemInterface::handleMouseEvent<Async>(window, local, global, Qt::LeftButton,
                                                        Qt::LeftButton, QEvent::MouseButtonPress);
        QWindowSystemInterface::handleMouseEvent<Async>(window, local, global, Qt::NoButton,
                                                        Qt::LeftButton, QEvent::MouseButtonRelease);
    }

    LoopbackHttpServer m_server;
    QByteArray m_savedHost;
    QTimer m_poll;
    std::function<bool(int)> m_step;
    int m_calls = 0;
};

TEST_F(WaitingTest, TheWindowIsRepaintedWhileTheServiceStalls) {
    PaintCounter counter(*Text2()->viewport(), [&] { return Form().isLookupRunning(); });
    QElapsedTimer sinceExpose;
    WhileTheRequestWaits([&](int calls) {
        if (calls == 0) {
            sinceExpose.start();
            // The box is redrawn, as when its contents change, and the window exposed again.
            Text2()->viewport()->update();
            QWindowSystemInterface::handleExposeEvent<Async>(Form().windowHandle(),
                                                             QRegion(Form().rect()));
            return false;
        }
        // The service answers once the window has been painted, or after ten seconds.
        if (counter.paints == 0 && !sinceExpose.hasExpired(10'000)) return false;
        m_server.answerHeld();
        return true;
    });
    Form().Command1_Click();
    EXPECT_GT(counter.paints, 0);
    EXPECT_EQ(Text2()->toPlainText(), QString(SampleQueryResult()).replace(u'\r', QString()));
}

TEST_F(WaitingTest, AClickDuringTheWaitRunsOnlyAfterTheResultIsShown) {
    QStringList order;
    QObject::connect(Check1(), &QCheckBox::toggled,
                     [&] { order << QStringLiteral("click: ") + Text2()->toPlainText(); });
    WhileTheRequestWaits([&](int calls) {
        // The click is queued; a few passes of the event loop go by before the answer.
        if (calls == 0) ClickThroughTheWindowSystem(Check1(), QPoint(6, 6));
        if (calls < 4) return false;
        m_server.answerHeld();
        return true;
    });
    Form().Command1_Click();
    order << QStringLiteral("query ends: ") + Text2()->toPlainText();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Check1()->isChecked(); }, 10'000));

    const QString result = QString(SampleQueryResult()).replace(u'\r', QString());
    EXPECT_EQ(order, QStringList({QStringLiteral("query ends: ") + result,
                                  QStringLiteral("click: ") + result}));
}

// What the window system sends for the close box, Alt+F4 and the window menu.
bool CloseFromTheWindowSystem(Form1& form, QElapsedTimer& sinceClose) {
    sinceClose.start();
    QWindowSystemInterface::handleCloseEvent<Async>(form.windowHandle());
    return true;
}

TEST_F(WaitingTest, ClosingDuringTheWaitAbandonsTheRequestAndClosesAtOnce) {
    Check1()->setChecked(true);
    QElapsedTimer sinceClose;
    WhileTheRequestWaits([&](int) { return CloseFromTheWindowSystem(Form(), sinceClose); });
    Form().Command1_Click();
    EXPECT_EQ(Text2()->toPlainText(), Form1Texts::kNotConnected);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Form().isVisible(); }, 10'000));
    // Far within the service's 30 seconds: the request was given up, not waited out.
    EXPECT_LT(sinceClose.elapsed(), 5'000);
    EXPECT_EQ(SettingsText("IsShowLocal"), QStringLiteral("1"));
    EXPECT_EQ(m_server.requestCount(), 1);
}

TEST_F(WaitingTest, ClosingDuringTheStartupLookupEndsItAtOnce) {
    m_store.WriteSetting(QStringLiteral("DUZodiro"), QStringLiteral("Nomal"),
                         QStringLiteral("Install"), QStringLiteral("1"));
    m_store.WriteSetting(QStringLiteral("DUZodiro"), QStringLiteral("Nomal"),
                         QStringLiteral("IsShowLocal"), QStringLiteral("1"));
    QElapsedTimer sinceClose;
    WhileTheRequestWaits([&](int) { return CloseFromTheWindowSystem(Form(), sinceClose); });
    Form().Form_Load();
    EXPECT_EQ(Text1()->text(), QString());
    EXPECT_EQ(Text2()->toPlainText(), Form1Texts::kNotConnected);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Form().isVisible(); }, 10'000));
    EXPECT_LT(sinceClose.elapsed(), 5'000);
    EXPECT_EQ(SettingsText("IsShowLocal"), QStringLiteral("1"));
}

}  // namespace
