// Showing the About window: modal over the main window, hooked while open, loaded anew on
// every showing and unloaded whichever way it closes.
#include "resources/ProgramArt.h"
#include "tests/about/AboutTestSupport.h"

#include <QPointer>
#include <QTest>
#include <QWindow>

namespace {

using AboutModal = AboutTest;

TEST_F(AboutModal, BlocksAllInputToTheMainWindowWhileOpen) {
    QWindow* mainWindow = m_main.windowHandle();
    const QPoint onButton = m_main.button->geometry().center();
    WhileShown([&] {
        EXPECT_EQ(QApplication::activeModalWidget(), &m_about);
        EXPECT_EQ(m_about.windowModality(), Qt::ApplicationModal);
        QTest::mouseClick(mainWindow, Qt::LeftButton, {}, onButton);
        QTest::keyClick(mainWindow, Qt::Key_A);
        EXPECT_EQ(m_main.clicks, 0);
        EXPECT_TRUE(m_main.edit->text().isEmpty());
    });
    // The same input reaches the main window once the About window is gone.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    QTest::mouseClick(mainWindow, Qt::LeftButton, {}, onButton);
    EXPECT_EQ(m_main.clicks, 1);
}

TEST_F(AboutModal, IsHookedIntoTheSkinOnlyWhileOpen) {
    QWidget* probe = m_main.button;  // any button will do when the About window has none
    EXPECT_FALSE(SkinPaints(&m_about, probe)) << "before the first showing";
    WhileShown([&] { EXPECT_TRUE(SkinPaints(&m_about, Child<QWidget>(&m_about, "Command1"))); });
    EXPECT_FALSE(SkinPaints(&m_about, probe)) << "after closing";
}

// Every way the window can close, each from a fresh showing.
struct CloseCase {
    const char* name;
    std::function<void(frmAbout&)> close;
};

const CloseCase kCloses[] = {
    {"click on OK",
     [](frmAbout& about) {
         QTest::mouseClick(Child<QWidget>(&about, "Command1"), Qt::LeftButton);
     }},
    {"Space on OK", [](frmAbout& about) { QTest::keyClick(about.windowHandle(), Qt::Key_Space); }},
    {"Enter on OK", [](frmAbout& about) { QTest::keyClick(about.windowHandle(), Qt::Key_Return); }},
    {"close box or Alt+F4",
     // The platform window's close goes the way of the window system's close request.
     [](frmAbout& about) { about.windowHandle()->close(); }},
};

TEST_F(AboutModal, EveryWayOfClosingUnloadsTheWindow) {
    for (const CloseCase& way : kCloses) {
        SCOPED_TRACE(way.name);
        QPointer<QWidget> ok;
        bool closed = false;
        WhileShown([&] {
            ok = Child<QWidget>(&m_about, "Command1");
            ASSERT_EQ(m_about.focusWidget(), ok.data());
            way.close(m_about);
            closed = !m_about.isVisible();
        });
        EXPECT_TRUE(closed) << "closed by the input itself";
        EXPECT_TRUE(ok.isNull()) << "its controls are gone";
        EXPECT_FALSE(SkinPaints(&m_about, m_main.button)) << "unhooked";
    }
}

TEST_F(AboutModal, EscNeverClosesAndEnterOnALinkOnlyFollowsIt) {
    WhileShown([&] {
        QTest::keyClick(m_about.windowHandle(), Qt::Key_Escape);
        EXPECT_TRUE(m_about.isVisible());
        QTest::keyClick(m_about.windowHandle(), Qt::Key_Tab);
        ASSERT_EQ(m_about.focusWidget(), Child<QWidget>(&m_about, "Label4"));
        QTest::keyClick(m_about.windowHandle(), Qt::Key_Escape);
        QTest::keyClick(m_about.windowHandle(), Qt::Key_Return);
        EXPECT_TRUE(m_about.isVisible());
        EXPECT_EQ(QApplication::activeModalWidget(), &m_about);
    });
    EXPECT_EQ(m_opener.requests.size(), 1);
}

TEST_F(AboutModal, ReopensWithTheLayoutTheMainIconAndTheHandCursorsAgain) {
    QPointer<QWidget> firstLabel6;
    WhileShown([&] {
        firstLabel6 = Child<QWidget>(&m_about, "Label6");
        Child<QWidget>(&m_about, "Label4")->move(0, 0);
        Child<QWidget>(&m_about, "Label6")->unsetCursor();
    });
    EXPECT_TRUE(firstLabel6.isNull());

    m_main.setWindowIcon(PlainIcon(Qt::magenta));
    WhileShown([&] {
        EXPECT_EQ(Child<QWidget>(&m_about, "Label4")->geometry(), QRect(104, 48, 156, 13));
        for (const char* link : {"Label4", "Label6", "Label8"})
            EXPECT_EQ(Child<QWidget>(&m_about, link)->cursor().hotSpot(), QPoint(6, 0)) << link;
        EXPECT_EQ(m_about.windowIcon().pixmap(32).toImage(),
                  PlainIcon(Qt::magenta).pixmap(32).toImage());
        EXPECT_EQ(m_about.focusWidget(), Child<QWidget>(&m_about, "Command1"));
        EXPECT_TRUE(SkinPaints(&m_about, Child<QWidget>(&m_about, "Command1")));
    });
}

}  // namespace
