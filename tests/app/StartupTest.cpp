#include "tests/app/Form1Fixture.h"
#include "tests/support/LoopbackHttpServer.h"

#include <QCloseEvent>
#include <QFile>
#include <QTimer>

#include <cstdlib>

namespace {

// The own-address page in code page 936:
// 您的IP是：[203.0.113.7] 来自：美国 加利福尼亚州<br/>
const QByteArray kOwnPage =
    "<html><body>\xc4\xfa\xb5\xc4IP\xca\xc7\xa3\xba[203.0.113.7] \xc0\xb4\xd7\xd4\xa3\xba"
    "\xc3\xc0\xb9\xfa \xbc\xd3\xc0\xfb\xb8\xa3\xc4\xe1\xd1\xc7\xd6\xdd<br/></body></html>";
const QString kOwnLocation = QStringLiteral(u"美国 加利福尼亚州");

class StartupTest : public Form1Fixture {
protected:
    void StoreOption(const char* value) {
        m_store.WriteSetting(QStringLiteral("DUZodiro"), QStringLiteral("Nomal"),
                             QStringLiteral("Install"), QStringLiteral("1"));
        m_store.WriteSetting(QStringLiteral("DUZodiro"), QStringLiteral("Nomal"),
                             QStringLiteral("IsShowLocal"), QString::fromLatin1(value));
    }
};

TEST_F(StartupTest, FirstStartWritesTheMarkerAndMakesNoRequest) {
    Form().Form_Load();
    EXPECT_FALSE(Check1()->isChecked());
    EXPECT_FALSE(Form().variables().isShowLocal);
    EXPECT_TRUE(m_http.calls.isEmpty());
    EXPECT_EQ(Text1()->text(), QStringLiteral("8.8.8.8"));
    EXPECT_TRUE(Text2()->toPlainText().isEmpty());
    QFile file(m_store.FilePath(QStringLiteral("DUZodiro")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[Nomal]\nInstall=1\nIsShowLocal=False\n"));
}

TEST_F(StartupTest, OptionOnShowsWaitTextInTheVisibleWindowThenAddressThenLocation) {
    StoreOption("1");
    m_http.answer = kOwnPage;
    bool visibleDuringSend = false;
    QString text1DuringSend = QStringLiteral("<unset>");
    QString text2DuringSend;
    m_http.duringSend = [&] {
        visibleDuringSend = Form().isVisible();
        text1DuringSend = Text1()->text();
        text2DuringSend = Text2()->toPlainText();
    };
    Form().Form_Load();

    EXPECT_TRUE(Check1()->isChecked());
    EXPECT_TRUE(visibleDuringSend);
    EXPECT_EQ(text1DuringSend, QString());
    EXPECT_EQ(text2DuringSend, Form1Texts::kWait);
    ASSERT_EQ(m_http.calls.size(), 1);
    EXPECT_EQ(m_http.calls[0].method, QByteArray("POST"));
    EXPECT_EQ(m_http.calls[0].url, QStringLiteral("http://127.0.0.1:9/ips.asp"));
    EXPECT_TRUE(m_http.calls[0].headers.isEmpty());
    EXPECT_TRUE(m_http.calls[0].body.isEmpty());
    EXPECT_EQ(m_http.alive, 0);  // the request object lived for the call alone
    EXPECT_EQ(Text1()->text(), QStringLiteral("203.0.113.7"));
    EXPECT_EQ(Text2()->toPlainText(), kOwnLocation);
}

TEST_F(StartupTest, PageWithoutLocationEndKeepsTheAddressAndReportsFailure) {
    StoreOption("True");
    m_http.answer =
        "\xa3\xba[198.51.100.1] \xc0\xb4\xd7\xd4\xa3\xba"
        "somewhere";
    Form().Form_Load();
    EXPECT_EQ(Text1()->text(), QStringLiteral("198.51.100.1"));
    EXPECT_EQ(Text2()->toPlainText(), Form1Texts::kNotConnected);
}

TEST_F(StartupTest, NoAnswerLeavesTheAddressBoxEmpty) {
    StoreOption("1");
    m_http.failSend = true;
    Form().Form_Load();
    EXPECT_EQ(Text1()->text(), QString());
    EXPECT_EQ(Text2()->toPlainText(), Form1Texts::kNotConnected);
}

TEST_F(StartupTest, QueryClickedWhileTheWindowIsFirstPaintedRunsBeforeTheStartupRequest) {
    StoreOption("1");
    m_http.answer = kOwnPage;
    QTimer::singleShot(0, &Form(), [&] {
        m_http.answer = SampleQueryPage();
        Text1()->setText(QStringLiteral("8.8.4.4"));
        Form().Command1_Click();
        m_http.answer = kOwnPage;
    });
    Form().Form_Load();
    ASSERT_EQ(m_http.calls.size(), 2);
    EXPECT_EQ(m_http.calls[0].url, QStringLiteral("http://127.0.0.1:9/ips8.asp"));
    EXPECT_EQ(m_http.calls[1].url, QStringLiteral("http://127.0.0.1:9/ips.asp"));
    EXPECT_EQ(Text1()->text(), QStringLiteral("203.0.113.7"));
}

struct CloseWay {
    const char* name;
    std::function<void(Form1&)> close;
};

class ClosingTest : public StartupTest, public ::testing::WithParamInterface<CloseWay> {};

TEST_P(ClosingTest, SavesTheCheckBoxAsTheUserLeftIt) {
    Form().Form_Load();
    ShowActive();
    QTest::mouseClick(Check1(), Qt::LeftButton, {}, QPoint(6, 6));
    ASSERT_TRUE(Check1()->isChecked());
    GetParam().close(Form());
    EXPECT_FALSE(Form().isVisible());
    EXPECT_EQ(SettingsText("IsShowLocal"), QStringLiteral("1"));

    // The next start reads the option and runs the start-up lookup.
    m_form.reset();
    m_http.answer = kOwnPage;
    Form().Form_Load();
    EXPECT_TRUE(Check1()->isChecked());
    EXPECT_EQ(m_http.calls.size(), 1);
    EXPECT_EQ(Text1()->text(), QStringLiteral("203.0.113.7"));

    QTest::mouseClick(Check1(), Qt::LeftButton, {}, QPoint(6, 6));
    GetParam().close(Form());
    EXPECT_EQ(SettingsText("IsShowLocal"), QStringLiteral("0"));
}

INSTANTIATE_TEST_SUITE_P(Ways, ClosingTest,
                         ::testing::Values(CloseWay{"CloseButton",
                                                    [](Form1& form) {
                                                        QTest::mouseClick(
                                                            form.findChild<QPushButton*>(
                                                                QStringLiteral("Command2")),
                                                            Qt::LeftButton);
                                                    }},
                                           CloseWay{"CloseBox",
                                                    [](Form1& form) {
                                                        // What the window system sends for the
                                                        // close box, Alt+F4 and the menu.
                                                        QCloseEvent close;
                                                        QApplication::sendEvent(form.windowHandle(),
                                                                                &close);
                                                    }}),
                         [](const auto& info) { return std::string(info.param.name); });

// The same start-up against a real HTTP server on the loopback interface.
class StartupOverHttpTest : public StartupTest {
protected:
    void SetUp() override {
        m_savedHost = qgetenv("LOKARO_SERVICE_HOST");
        qputenv("LOKARO_SERVICE_HOST", m_server.hostAndPort().toLatin1());
    }
    void TearDown() override { qputenv("LOKARO_SERVICE_HOST", m_savedHost); }

    Form1& RealForm() {
        if (!m_form) m_form = std::make_unique<Form1>(Form1Services{{}, &m_messages, &m_store});
        return *m_form;
    }

    LoopbackHttpServer m_server;
    QByteArray m_savedHost;
};

TEST_F(StartupOverHttpTest, ShowsTheOwnAddressAndLocationFromTheService) {
    StoreOption("1");
    m_server.setAnswer(200, kOwnPage);
    RealForm().Form_Load();
    EXPECT_EQ(Text1()->text(), QStringLiteral("203.0.113.7"));
    EXPECT_EQ(Text2()->toPlainText(), kOwnLocation);
    ASSERT_EQ(m_server.requestCount(), 1);
    EXPECT_TRUE(m_server.requests()[0].startsWith("POST /ips.asp HTTP/1.1\r\n"));
}

TEST_F(StartupOverHttpTest, PageWithoutLineBreakShowsAddressAndFailure) {
    StoreOption("1");
    m_server.setAnswer(200,
                       "\xa3\xba[203.0.113.7] \xc0\xb4\xd7\xd4\xa3\xba"
                       "X");
    RealForm().Form_Load();
    EXPECT_EQ(Text1()->text(), QStringLiteral("203.0.113.7"));
    EXPECT_EQ(Text2()->toPlainText(), Form1Texts::kNotConnected);
}

TEST_F(StartupOverHttpTest, OptionOffSendsNothing) {
    StoreOption("0");
    RealForm().Form_Load();
    EXPECT_EQ(m_server.requestCount(), 0);
    EXPECT_EQ(Text1()->text(), QStringLiteral("8.8.8.8"));
}

TEST_F(StartupOverHttpTest, ServerDownShowsFailureWithEmptyAddress) {
    StoreOption("1");
    qputenv("LOKARO_SERVICE_HOST", "127.0.0.1:9");
    RealForm().Form_Load();
    EXPECT_EQ(Text1()->text(), QString());
    EXPECT_EQ(Text2()->toPlainText(), Form1Texts::kNotConnected);
}

TEST_F(StartupOverHttpTest, EnterShowsTheThreeLinesOfTheServicesQueryPage) {
    m_server.setAnswer(200, SampleQueryPage());
    RealForm().Form_Load();
    ShowActive();
    Text1()->setText(QStringLiteral("8.8.8.8"));
    QTest::keyClick(Text1(), Qt::Key_Return);
    EXPECT_EQ(Text2()->toPlainText(), QString(SampleQueryResult()).replace(u'\r', QString()));
    ASSERT_EQ(m_server.requestCount(), 1);
    const QByteArray request = m_server.requests()[0];
    EXPECT_TRUE(request.startsWith("POST /ips8.asp HTTP/1.1\r\n"));
    EXPECT_TRUE(request.endsWith("\r\n\r\nip=8.8.8.8&action=2"));
}

}  // namespace
