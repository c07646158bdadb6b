// The windows as a Wayland compositor shows them: ctest runs these cases under weston's
// headless back end (tests/app/under_weston); on another platform they skip. The faces reach
// the screen pixel for pixel, and the About window is a dialog over the main window that
// offers nothing but Close.
#include "about/frmAbout.h"
#include "tests/app/Form1Fixture.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <optional>

namespace {

class WaylandTest : public Form1Fixture {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QStringLiteral("wayland"))
            GTEST_SKIP() << "not on Wayland (ctest runs these under weston)";
    }
    void ShowLoaded() {
        Form().Form_Load();
        Form().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form()));
    }
};

// The compositor's whole screen, through weston's screenshooter.
QImage Screenshot() {
    QTemporaryDir folder;
    QProcess shooter;
    shooter.setWorkingDirectory(folder.path());
    shooter.start(QStringLiteral("weston-screenshooter"), {});
    if (!shooter.waitForFinished(10000) || shooter.exitCode() != 0) return QImage();
    const QStringList shots = QDir(folder.path()).entryList({QStringLiteral("*.png")});
    if (shots.isEmpty()) return QImage();
    return QImage(folder.filePath(shots.front())).convertToFormat(QImage::Format_RGB32);
}

// Where `part` appears in `screen` pixel for pixel.
std::optional<QPoint> Locate(const QImage& screen, const QImage& part) {
    for (int y = 0; y + part.height() <= screen.height(); ++y) {
        for (int x = 0; x + part.width() <= screen.width(); ++x) {
            bool same = true;
            for (int py = 0; same && py < part.height(); ++py)
                for (int px = 0; same && px < part.width(); ++px)
                    same = screen.pixel(x + px, y + py) == part.pixel(px, py);
            if (same) return QPoint(x, y);
        }
    }
    return std::nullopt;
}

QImage Face(QWidget* button) {
    return button->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Where the face shows on the screen, once the compositor has shown the latest frame.
std::optional<QPoint> LocateOnScreen(QWidget* button) {
    std::optional<QPoint> found;
    const auto shown = [&] { return (found = Locate(Screenshot(), Face(button))).has_value(); };
    return QTest::qWaitFor(shown, 10000) ? found : std::nullopt;
}

TEST_F(WaylandTest, ButtonFacesReachTheScreenPixelForPixel) {
    ShowLoaded();
    for (const char* name : {"Command3", "Command1", "Command2"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(LocateOnScreen(Find<QWidget>(name)).has_value());
    }
}

TEST_F(WaylandTest, AboutIsADialogOverTheMainWindowOfferingOnlyClose) {
    ShowLoaded();
    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto* about = Form().findChild<frmAbout*>();
        ASSERT_NE(about, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(about));
        EXPECT_EQ(about->windowHandle()->transientParent(), Form().windowHandle());
        const Qt::WindowFlags flags = about->windowHandle()->flags();
        EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
        EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(LocateOnScreen(about->findChild<QWidget*>(QStringLiteral("Command1"))));
        checked = true;
        about->close();
    });
    Form().Command3_Click();
    EXPECT_TRUE(checked);
}

}  // namespace
