// What a click on each link label asks the desktop to open.
#include "tests/about/AboutTestSupport.h"
#include "tests/about/RecordingUrlHandler.h"

#include <QAccessible>
#include <QLabel>
#include <QTest>

#include <functional>
#include <string>

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

// The ways of following a link: the mouse, the keyboard (reached with Tab) and a screen
// reader's press action.
struct FollowWay {
    const char* name;
    std::function<void(frmAbout&, QWidget*)> follow;
};

void TabTo(frmAbout& about, QWidget* label) {
    for (int tabs = 0; tabs < 8 && about.focusWidget() != label; ++tabs)
        QTest::keyClick(about.windowHandle(), Qt::Key_Tab);
    ASSERT_EQ(about.focusWidget(), label) << "the link is reached with Tab";
}

const FollowWay kWays[] = {
    {"click", [](frmAbout&, QWidget* label) { QTest::mouseClick(label, Qt::LeftButton); }},
    {"Enter",
     [](frmAbout& about, QWidget* label) {
         TabTo(about, label);
         QTest::keyClick(about.windowHandle(), Qt::Key_Return);
     }},
    {"Space",
     [](frmAbout& about, QWidget* label) {
         TabTo(about, label);
         QTest::keyClick(about.windowHandle(), Qt::Key_Space);
     }},
    {"press action",
     [](frmAbout&, QWidget* label) {
         QAccessibleInterface* link = QAccessible::queryAccessibleInterface(label);
         ASSERT_NE(link, nullptr);
         ASSERT_NE(link->actionInterface(), nullptr);
         link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
     }},
};

using AboutLinks = AboutTest;

TEST_F(AboutLinks, EachLabelOpensItsOwnTargetOnceAndTheWindowStaysOpen) {
    for (const FollowWay& way : kWays) {
        for (const LinkCase& link : kLinks) {
            SCOPED_TRACE(std::string(way.name) + " " + link.label);
            m_opener.requests.clear();
            WhileShown([&] {
                way.follow(m_about, Child<QWidget>(&m_about, link.label));
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
}

TEST_F(AboutLinks, ScreenReadersSeeLinksNamedByTheirTextAndADecorativePicture) {
    WhileShown([&] {
        for (const LinkCase& link : kLinks) {
            auto* label = Child<QLabel>(&m_about, link.label);
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(label);
            ASSERT_NE(accessible, nullptr);
            EXPECT_EQ(accessible->role(), QAccessible::Link) << link.label;
            EXPECT_EQ(accessible->text(QAccessible::Name), label->text());
            EXPECT_TRUE(accessible->state().focusable);
            EXPECT_EQ(accessible->actionInterface()->actionNames(),
                      QStringList({QAccessibleActionInterface::pressAction()}));
        }
        QAccessibleInterface* picture =
            QAccessible::queryAccessibleInterface(Child<QWidget>(&m_about, "Picture1"));
        EXPECT_EQ(picture->role(), QAccessible::Graphic);
        EXPECT_FALSE(picture->state().focusable);
        EXPECT_EQ(picture->text(QAccessible::Name), QString());
    });
    EXPECT_TRUE(m_opener.requests.isEmpty());
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
