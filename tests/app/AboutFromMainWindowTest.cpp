#include "tests/app/Form1Fixture.h"

#include <QDialog>
#include <QTimer>
#include <QWindow>

namespace {

// The normal face's second pixel of the top row; a plain push button has other colours.
const QColor kNormalFaceTopRow(144, 144, 144);

QColor SkinProbe(QWidget* button) {
    return QColor(button->grab().toImage().pixel(1, 0));
}

class AboutFromMainWindowTest : public Form1Fixture {
protected:
    // Clicks About and, once the modal About window is up, runs whileOpen and closes it
    // the way closeAbout says.
    void OpenAbout(const std::function<void(QDialog&)>& whileOpen,
                   const std::function<void(QDialog&)>& closeAbout) {
        bool sawAbout = false;
        QTimer::singleShot(0, &Form(), [&] {
            auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(about, nullptr);
            sawAbout = true;
            whileOpen(*about);
            closeAbout(*about);
        });
        QTest::mouseClick(Find<QPushButton>("Command3"), Qt::LeftButton);
        EXPECT_TRUE(sawAbout);
    }
};

TEST_F(AboutFromMainWindowTest, MainWindowIsSkinnedFromLoadAndStaysSkinnedAfterAbout) {
    Form().Form_Load();
    ShowActive();
    EXPECT_EQ(SkinProbe(Command1()), kNormalFaceTopRow);

    const auto close = [](QDialog& about) {
        QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
    };
    QDialog* firstShown = nullptr;
    OpenAbout(
        [&](QDialog& about) {
            firstShown = &about;
            EXPECT_EQ(about.objectName(), QStringLiteral("frmAbout"));
            EXPECT_EQ(SkinProbe(about.findChild<QPushButton*>(QStringLiteral("Command1"))),
                      kNormalFaceTopRow);
            EXPECT_EQ(about.windowIcon().cacheKey(), Form().windowIcon().cacheKey());
        },
        close);
    OpenAbout([&](QDialog& about) { EXPECT_EQ(&about, firstShown); }, close);

    EXPECT_EQ(SkinProbe(Command1()), kNormalFaceTopRow);
    m_http.answer = SampleQueryPage();
    QTest::mouseClick(Command1(), Qt::LeftButton);
    EXPECT_EQ(m_http.calls.size(), 1);
}

TEST_F(AboutFromMainWindowTest, MainWindowTakesNoInputWhileAboutIsOpen) {
    Form().Form_Load();
    ShowActive();
    m_http.answer = SampleQueryPage();
    // Input goes through the window system, where a modal window blocks it.
    QWindow* window = Form().windowHandle();
    const QPoint queryButton = Command1()->mapTo(&Form(), Command1()->rect().center());
    QTest::mouseClick(window, Qt::LeftButton, {}, queryButton);
    ASSERT_EQ(m_http.calls.size(), 1);

    OpenAbout(
        [&](QDialog&) {
            QTest::mouseClick(window, Qt::LeftButton, {}, queryButton);
            QTest::keyClick(window, Qt::Key_Return);
        },
        [](QDialog& about) { about.close(); });
    EXPECT_EQ(m_http.calls.size(), 1);
}

}  // namespace
