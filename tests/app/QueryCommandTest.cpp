#include "tests/app/Form1Fixture.h"

#include <QTimer>

namespace {

using namespace Qt::StringLiterals;
using QueryCommandTest = Form1Fixture;

const QString kWait = Form1Texts::kWait;
const QString kNotConnected = Form1Texts::kNotConnected;

QString Shown(const QString& result) {
    // The result box shows CR LF line breaks as line breaks.
    return QString(result).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

TEST_F(QueryCommandTest, SendsTheTrimmedAddressAndShowsTheThreeLines) {
    m_http.answer = SampleQueryPage();
    Text1()->setText(QStringLiteral(" 8.8.8.8 "));
    Form().Command1_Click();

    EXPECT_EQ(Text1()->text(), QStringLiteral("8.8.8.8"));
    ASSERT_EQ(m_http.calls.size(), 1);
    EXPECT_EQ(m_http.calls[0].method, QByteArray("POST"));
    EXPECT_EQ(m_http.calls[0].url, QStringLiteral("http://127.0.0.1:9/ips8.asp"));
    ASSERT_EQ(m_http.calls[0].headers.size(), 1);
    EXPECT_EQ(m_http.calls[0].headers[0].first, QByteArray("Content-Type"));
    EXPECT_EQ(m_http.calls[0].headers[0].second, QByteArray("application/x-www-form-urlencoded"));
    EXPECT_EQ(m_http.calls[0].body, QByteArray("ip=8.8.8.8&action=2"));
    EXPECT_EQ(Text2()->toPlainText(), Shown(SampleQueryResult()));
    EXPECT_EQ(Form().variables().scrape.strResult, SampleQueryResult());
    EXPECT_TRUE(m_messages.shown.isEmpty());
}

TEST_F(QueryCommandTest, WildcardIsLookedUpAsZero) {
    m_http.answer = SampleQueryPage();
    Text1()->setText(QStringLiteral("1.2.3.*"));
    Form().Command1_Click();
    EXPECT_EQ(Text1()->text(), QStringLiteral("1.2.3.0"));
    ASSERT_EQ(m_http.calls.size(), 1);
    EXPECT_EQ(m_http.calls[0].body, QByteArray("ip=1.2.3.0&action=2"));
}

TEST_F(QueryCommandTest, WaitTextIsUpAndQueuedEventsRanBeforeTheRequestGoesOut) {
    m_http.answer = SampleQueryPage();
    bool queuedEventRan = false;
    QTimer::singleShot(0, &Form(), [&] { queuedEventRan = true; });
    QString textDuringSend;
    bool ranBeforeSend = false;
    m_http.duringSend = [&] {
        textDuringSend = Text2()->toPlainText();
        ranBeforeSend = queuedEventRan;
    };
    Form().Command1_Click();
    EXPECT_EQ(textDuringSend, kWait);
    EXPECT_TRUE(ranBeforeSend);
}

struct RejectedAddress {
    const char* name;
    QString typed;
    QString left;  // what the box shows after the rules
};

class RejectedAddressTest : public Form1Fixture,
                            public ::testing::WithParamInterface<RejectedAddress> {};

TEST_P(RejectedAddressTest, WarnsPutsFocusBackAndTouchesNothingElse) {
    ShowActive();
    m_http.answer = SampleQueryPage();
    Form().Command1_Click();  // a first lookup leaves values behind
    const Form1Variables& vars = Form().variables();
    const auto* previousRequest = vars.objHttp.get();
    const QString previousHtml = vars.strHtml;
    const client::ScrapeState previousScrape = vars.scrape;
    Command1()->setFocus();

    Text1()->setText(GetParam().typed);
    Form().Command1_Click();

    ASSERT_EQ(m_messages.shown.size(), 1);
    EXPECT_EQ(m_messages.shown[0].title, QStringLiteral("Lokaro"));
    EXPECT_EQ(m_messages.shown[0].text, QStringLiteral(u"请输入正确的IP！"));
    EXPECT_EQ(Text1()->text(), GetParam().left);
    EXPECT_EQ(QApplication::focusWidget(), Text1());
    EXPECT_EQ(Text2()->toPlainText(), Shown(SampleQueryResult()));
    EXPECT_EQ(m_http.calls.size(), 1);
    EXPECT_EQ(vars.objHttp.get(), previousRequest);
    EXPECT_EQ(vars.strHtml, previousHtml);
    EXPECT_EQ(vars.scrape.strResult, previousScrape.strResult);
    EXPECT_EQ(vars.scrape.lngStart, previousScrape.lngStart);
    EXPECT_EQ(vars.scrape.lngEnd, previousScrape.lngEnd);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, RejectedAddressTest,
    ::testing::Values(
        RejectedAddress{"Group256", QStringLiteral("256.1.1.1"), QStringLiteral("256.1.1.1")},
        RejectedAddress{"LoneStar", QStringLiteral("*"), QStringLiteral("0")},
        RejectedAddress{"StarInside", QStringLiteral("1.2.*.*"), QStringLiteral("1.2.*.0")},
        RejectedAddress{"Empty", QString(), QString()},
        RejectedAddress{"InnerSpace", QStringLiteral(" 1.2. 3.4 "), QStringLiteral("1.2. 3.4")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QueryCommandTest, EnterAndKeypadEnterRunTheQueryOtherKeysAreTyped) {
    ShowActive();
    m_http.answer = SampleQueryPage();
    QTest::keyClick(Text1(), Qt::Key_Return);
    EXPECT_EQ(m_http.calls.size(), 1);
    QTest::keyClick(Text1(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(m_http.calls.size(), 2);

    Text1()->clear();
    QTest::keyClicks(Text1(), QStringLiteral("1.2.3.4 x*"));
    QTest::keyClick(Text1(), Qt::Key_Backspace);
    EXPECT_EQ(m_http.calls.size(), 2);
    EXPECT_EQ(Text1()->text(), QStringLiteral("1.2.3.4 x"));
}

TEST_F(QueryCommandTest, ClickOnQueryRunsTheCommand) {
    ShowActive();
    m_http.answer = SampleQueryPage();
    QTest::mouseClick(Command1(), Qt::LeftButton);
    EXPECT_EQ(m_http.calls.size(), 1);
    EXPECT_EQ(Text2()->toPlainText(), Shown(SampleQueryResult()));
}

struct FailingLookup {
    const char* name;
    std::function<void(FakeHttpScript&)> arrange;
};

class FailingLookupTest : public Form1Fixture,
                          public ::testing::WithParamInterface<FailingLookup> {};

TEST_P(FailingLookupTest, ShowsTheWaitTextThenNotConnected) {
    m_http.answer = SampleQueryPage();
    GetParam().arrange(m_http);
    QString textDuringSend;
    m_http.duringSend = [&] { textDuringSend = Text2()->toPlainText(); };
    Form().Command1_Click();
    if (!m_http.failOpen) {
        EXPECT_EQ(textDuringSend, kWait);
    }
    EXPECT_EQ(Text2()->toPlainText(), kNotConnected);
    EXPECT_EQ(Text1()->text(), QStringLiteral("8.8.8.8"));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailingLookupTest,
    ::testing::Values(
        FailingLookup{"NoAnswer", [](FakeHttpScript& s) { s.failSend = true; }},
        FailingLookup{"CannotPrepare", [](FakeHttpScript& s) { s.failOpen = true; }},
        FailingLookup{"PageWithoutMarkers",
                      [](FakeHttpScript& s) { s.answer = "<html>busy</html>"; }},
        FailingLookup{"EmptyPage", [](FakeHttpScript& s) { s.answer.clear(); }},
        FailingLookup{"TwoItemsOnly", [](FakeHttpScript& s) { s.answer = "<li>A</li><li>B</li>"; }},
        FailingLookup{"EndsInLeadByte",
                      [](FakeHttpScript& s) { s.answer = "<li>A</li><li>B</li><li>C</li>\xc4"; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QueryCommandTest, MarkupInAnItemIsShownAsText) {
    m_http.answer = "<li><b>A</b></li><li><img src=x></li><li>&amp;</li>";
    Form().Command1_Click();
    EXPECT_EQ(Text2()->toPlainText(), QStringLiteral("<b>A</b>\n<img src=x>\n&amp;"));
}

TEST_F(QueryCommandTest, EachQueryReplacesTheRequestObject) {
    m_http.answer = SampleQueryPage();
    Form().Command1_Click();
    const auto* first = Form().variables().objHttp.get();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(static_cast<const FakeHttpRequest*>(first)->index(), 0);
    Form().Command1_Click();
    const auto* second = Form().variables().objHttp.get();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(static_cast<const FakeHttpRequest*>(second)->index(), 1);
    EXPECT_EQ(m_http.alive, 1);  // the first one has been released
}

TEST_F(QueryCommandTest, AFailedQueryKeepsItsRequestObjectAndTheEarlierPage) {
    m_http.answer = SampleQueryPage();
    Form().Command1_Click();
    const QString firstHtml = Form().variables().strHtml;
    m_http.failSend = true;
    Form().Command1_Click();
    EXPECT_EQ(static_cast<const FakeHttpRequest*>(Form().variables().objHttp.get())->index(), 1);
    EXPECT_EQ(Form().variables().strHtml, firstHtml);
    EXPECT_EQ(Form().variables().scrape.strResult, SampleQueryResult());
}

TEST_F(QueryCommandTest, ASecondQueryStartedDuringTheDecodeRunsToItsEndInsideTheFirst) {
    const QByteArray outerPage = "<li>outer1</li><li>outer2</li><li>outer3</li>";
    const QByteArray innerPage = "<li>inner1</li><li>inner2</li><li>inner3</li>";
    QStringList order;
    m_http.answer = outerPage;
    m_http.duringSend = [&] {
        if (m_http.calls.size() > 1) return;
        // Queued now, so it runs from the first pass of the outer decode.
        QTimer::singleShot(0, &Form(), [&] {
            order << QStringLiteral("inner starts");
            m_http.answer = innerPage;
            Text1()->setText(QStringLiteral("1.1.1.1"));
            Form().Command1_Click();
            order << QStringLiteral("inner ends: ") + Text2()->toPlainText();
        });
    };
    Form().Command1_Click();
    order << QStringLiteral("outer ends: ") + Text2()->toPlainText();

    EXPECT_EQ(order, QStringList({QStringLiteral("inner starts"),
                                  QStringLiteral("inner ends: inner1\ninner2\ninner3"),
                                  QStringLiteral("outer ends: outer1\nouter2\nouter3")}));
    ASSERT_EQ(m_http.calls.size(), 2);
    EXPECT_EQ(m_http.calls[1].body, QByteArray("ip=1.1.1.1&action=2"));
    EXPECT_EQ(Form().variables().scrape.strResult, QStringLiteral("outer1\r\nouter2\r\nouter3"));
    EXPECT_EQ(static_cast<const FakeHttpRequest*>(Form().variables().objHttp.get())->index(), 1);
}

TEST_F(QueryCommandTest, CloseDuringTheTransferAbandonsItThenUnloadsOnce) {
    ShowActive();
    Form().Form_Load();
    Check1()->setChecked(true);
    m_http.answer = SampleQueryPage();
    bool visibleAfterClose = false;
    m_http.duringSend = [&] {
        Form().close();
        visibleAfterClose = Form().isVisible();
    };
    Form().Command1_Click();
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_EQ(m_http.aborts, 1);
    EXPECT_EQ(Text2()->toPlainText(), kNotConnected);
    EXPECT_EQ(SettingsText("IsShowLocal"), QStringLiteral("False"));  // not saved yet

    EXPECT_TRUE(QTest::qWaitFor([&] { return !Form().isVisible(); }));
    EXPECT_EQ(SettingsText("IsShowLocal"), QStringLiteral("1"));
    Form().close();  // a second close does not unload again
    Check1()->setChecked(false);
    Form().close();
    EXPECT_EQ(SettingsText("IsShowLocal"), QStringLiteral("1"));
}

TEST_F(QueryCommandTest, CloseBeforeTheRequestGoesOutSendsNothing) {
    m_http.answer = SampleQueryPage();
    QTimer::singleShot(0, &Form(), [&] { Form().close(); });  // runs in the pass before sending
    Form().Command1_Click();
    ASSERT_EQ(m_http.calls.size(), 1);
    EXPECT_FALSE(m_http.calls[0].sent);
    EXPECT_EQ(Text2()->toPlainText(), kNotConnected);
}

struct HugeItem {
    const char* name;
    QByteArray item;
};

class HugeItemTest : public Form1Fixture, public ::testing::WithParamInterface<HugeItem> {};

TEST_P(HugeItemTest, TheResultBoxShowsTheStartOfEachLineExactly) {
    const QByteArray& item = GetParam().item;
    m_http.answer = "<li>" + item + "</li><li>AS15169</li><li>" + item + "</li>";
    Form().Command1_Click();
    const QString start = QString::fromLatin1(item.left(1024));
    EXPECT_EQ(Text2()->toPlainText(), start + u"\nAS15169\n"_s + start);
    EXPECT_EQ(Form().variables().scrape.strResult.size(), 2 * item.size() + 11);
}

QByteArray TwoMebibytes(const QByteArray& piece) {
    return piece.repeated(2 * 1024 * 1024 / piece.size());
}

INSTANTIATE_TEST_SUITE_P(Items, HugeItemTest,
                         ::testing::Values(HugeItem{"WithoutSpaces",
                                                    TwoMebibytes("0123456789abcdef")},
                                           HugeItem{"WithSpaces", TwoMebibytes("word ")}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(QueryCommandTest, NoNewQueryStartsOnceACloseIsPending) {
    m_http.answer = SampleQueryPage();
    m_http.duringSend = [&] {
        if (m_http.calls.size() > 1) return;
        Form().close();
        QTimer::singleShot(0, &Form(), [&] { Form().Command1_Click(); });
    };
    Form().Command1_Click();
    EXPECT_EQ(m_http.calls.size(), 1);
}

}  // namespace
