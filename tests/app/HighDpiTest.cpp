// The main window on screens of other resolutions: ctest runs these cases once for each
// screen and rounding policy (LOKARO_TEST_DPI names the screen's resolution; at 96 DPI the
// ordinary run is that case). Every text fits its control and the buttons' frames are exact.
#include "about/frmAbout.h"
#include "tests/app/Form1Fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include <cmath>

namespace {

class HighDpiTest : public Form1Fixture {
protected:
    // Shown and painted; without a window manager (Xvfb) no window becomes active.
    void ShowLoaded() {
        Form().Form_Load();
        Form().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form()));
    }
};

int ExpectedDpi() {
    const QByteArray dpi = qgetenv("LOKARO_TEST_DPI");
    return dpi.isEmpty() ? 96 : dpi.toInt();
}

TEST_F(HighDpiTest, ScreenHasTheResolutionOfTheRun) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_NEAR(screen->logicalDotsPerInchY() * screen->devicePixelRatio(), ExpectedDpi(), 0.5);
}

TEST_F(HighDpiTest, EveryTextFitsItsControl) {
    ShowLoaded();
    for (QLabel* label : Form().findChildren<QLabel*>()) {
        SCOPED_TRACE(label->objectName().toStdString());
        const QFontMetrics metrics(label->font());
        EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width());
        EXPECT_LE(metrics.height(), label->height());
        // A label stays beside the box it names, not under it.
        EXPECT_LE(label->geometry().right(), label->buddy()->geometry().left());
    }
    QCheckBox* check = Check1();
    EXPECT_LE(check->sizeHint().width(), check->width());
    EXPECT_LE(QFontMetrics(check->font()).height(), check->height());
    for (QPushButton* button : Form().findChildren<QPushButton*>()) {
        SCOPED_TRACE(button->objectName().toStdString());
        const QFontMetrics metrics(button->font());
        EXPECT_LE(metrics.horizontalAdvance(button->text()), button->width() - 4);
        EXPECT_LE(metrics.height(), button->height() - 4);
    }
    const QFontMetrics address(Text1()->font());
    EXPECT_LE(address.height(), Text1()->height() - 2);
    EXPECT_GE(Text1()->width(), address.horizontalAdvance(QStringLiteral("255.255.255.255")));
}

TEST_F(HighDpiTest, AboutTextsFitTheWindowWithoutOverlapping) {
    ShowLoaded();
    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto* about = Form().findChild<frmAbout*>();
        ASSERT_NE(about, nullptr);
        const QList<QLabel*> labels = about->findChildren<QLabel*>();
        ASSERT_EQ(labels.size(), 10);
        for (QLabel* label : labels) {
            SCOPED_TRACE(label->objectName().toStdString());
            EXPECT_TRUE(about->rect().contains(label->geometry()));
            if (!label->text().isEmpty()) {
                const QFontMetrics metrics(label->font());
                EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width());
                EXPECT_LE(metrics.height(), label->height());
            }
            for (QLabel* other : labels) {
                if (other != label) {
                    EXPECT_FALSE(label->geometry().intersects(other->geometry()));
                }
            }
        }
        checked = true;
        about->close();
    });
    Form().Command3_Click();
    EXPECT_TRUE(checked);
}

// How many device pixels of `colour` run in from an edge along a line through the middle.
int RunFromEdge(const QImage& image, QPoint start, QPoint step, QRgb colour) {
    int run = 0;
    for (QPoint p = start; image.valid(p) && image.pixel(p) == colour; p += step) ++run;
    return run;
}

TEST_F(HighDpiTest, ButtonFramesAreEquallyWideOnAllFourSides) {
    ShowLoaded();
    const qreal ratio = Form().devicePixelRatioF();
    const int line = std::max(1, int(std::lround(ratio)));
    for (QPushButton* button : Form().findChildren<QPushButton*>()) {
        SCOPED_TRACE(button->objectName().toStdString());
        const QImage face = button->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(face.width(), std::lround(button->width() * ratio));
        const int midX = face.width() / 2;
        const int midY = face.height() / 2;
        const QRgb frame = face.pixel(midX, 0);
        EXPECT_EQ(RunFromEdge(face, {midX, 0}, {0, 1}, frame), line) << "top";
        EXPECT_EQ(RunFromEdge(face, {midX, face.height() - 1}, {0, -1}, frame), line) << "bottom";
        EXPECT_EQ(RunFromEdge(face, {0, midY}, {1, 0}, frame), line) << "left";
        EXPECT_EQ(RunFromEdge(face, {face.width() - 1, midY}, {-1, 0}, frame), line) << "right";
    }
}

}  // namespace
