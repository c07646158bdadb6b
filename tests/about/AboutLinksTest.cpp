// What a click on each link label asks the desktop to open.
#include "tests/about/AboutTestSupport.h"
#include "tests/about/RecordingUrlHandler.h"

#include <QLabel>
#include <QTest>

namespace {

struct LinkCase {
    const char* label;
    QString target;
    QString verb;
    bool ownedByTheWindow;
    ShowCommand show;
};

const LinkCase kLinks[] = {
    {"Label4", QStringLiteral("https://lokaro.example.org"), QStringLiteral("open"), true,
     ShowCommand::Normal},
    {"Label6", QStringLiteral(u"tencent://message?uin=123456789&Site=好人&Menu=yes"), QString(),
     false, ShowCommand::Show},
    {"Label8", QStringLiteral("mailto:lokaro@example.org"), QStringLiteral("open"), true,
     ShowCommand::Normal},
};

using AboutLinks = AboutTest;

TEST_F(AboutLinks, EachLabelOpensItsOwnTargetOnceAndTheWindowStaysOpen) {
    for (const LinkCase& link : kLinks) {
        SCOPED_TRACE(link.label);
        m_opener.requests.clear();
        WhileShown([&] {
            QTest::mouseClick(Child<QWidget>(&m_about, link.label), Qt::LeftButton);
            ASSERT_EQ(m_opener.requests.size(), 1);
            const LinkRequest& request = m_opener.requests.front();
            EXPECT_EQ(request.target, link.target);
            EXPECT_EQ(request.verb, link.verb);
            EXPECT_EQ(request.verb.isNull(), link.verb.isNull()) << "empty, not null";
            EXPECT_EQ(request.owner, link.ownedByTheWindow ? &m_about : nullptr);
            EXPECT_EQ(request.show, link.show);
            EXPECT_TRUE(m_about.isVisible());
            EXPECT_EQ(QApplication::activeModalWidget(), &m_about);
        });
    }
}

TEST_F(AboutLinks, APressThatEndsOutsideTheLabelOpensNothing) {
    WhileShown([&] {
        auto* label = Child<QWidget>(&m_about, "Label4");
        QTest::mousePress(label, Qt::LeftButton, {}, QPoint(3, 3));
        QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(3, 40));
        QTest::mouseClick(label, Qt::RightButton);
        QTest::mouseClick(Child<QWidget>(&m_about, "Label3"), Qt::LeftButton);
        QTest::mouseClick(Child<QWidget>(&m_about, "Picture1"), Qt::LeftButton);
        EXPECT_TRUE(m_opener.requests.isEmpty());
    });
}

// The desktop's own opener, with every scheme answered by a handler that opens nothing:
// the click reaches the desktop, and the About window shows nothing of its own.
TEST(AboutLinksThroughTheDesktop, ReachItOnceEachAndChangeNothing) {
    RecordingUrlHandler desktop(
        {QStringLiteral("https"), QStringLiteral("tencent"), QStringLiteral("mailto")});
    MainWindowStandIn main;
    frmAbout about(&main);
    WhileShown(about, [&] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (const LinkCase& link : kLinks) {
            auto* label = Child<QLabel>(&about, link.label);
            const QString text = label->text();
            desktop.urls.clear();
            QTest::mouseClick(label, Qt::LeftButton);
            ASSERT_EQ(desktop.urls.size(), 1) << link.label;
            EXPECT_EQ(desktop.urls.front().toString(), link.target);
            EXPECT_EQ(label->text(), text) << link.label;
        }
        EXPECT_EQ(QApplication::topLevelWidgets(), windows);
        EXPECT_TRUE(about.isVisible());
        EXPECT_EQ(QApplication::activeModalWidget(), &about);
    });
}

}  // namespace
