// The window hook: which notifications the skin paints, which it passes on, and
// skinned buttons in real windows.
#include "codepage/CodePage936.h"
#include "skin/ButtonCaption.h"
#include "skin/ButtonFaces.h"
#include "skin/DrawItemEvent.h"
#include "skin/OwnerDrawButton.h"
#include "skin/modCmdVista.h"
#include "tests/skin/SkinTestImages.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

constexpr QRgb kUntouched = qRgb(1, 2, 3);
const QRect kButtonRect(0, 0, 73, 22);

// A window that records the draw-item notifications that reach its own handling and
// answers them with a chosen result.
class RecordingWindow : public QWidget {
public:
    bool answer = false;
    std::vector<int> drawItemsSeen;

protected:
    bool event(QEvent* event) override {
        if (event->type() == DrawItemEvent::eventType()) {
            drawItemsSeen.push_back(static_cast<DrawItemEvent*>(event)->controlType());
            event->setAccepted(answer);
            return answer;
        }
        return QWidget::event(event);
    }
};

QFont ButtonFont() {
    QFont font(QStringLiteral("AR PL UMing CN"));
    font.setPointSize(9);
    return font;
}

// A hooked-window stand-in: a fixed-size window holding three owner-drawn buttons.
struct ButtonWindow {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    OwnerDrawButton* about = nullptr;
    OwnerDrawButton* query = nullptr;
    OwnerDrawButton* close = nullptr;

    ButtonWindow() {
        window->setFont(ButtonFont());
        window->setFixedSize(367, 193);
        about = place(QString::fromUtf16(u"关于"), 40);
        query = place(QString::fromUtf16(u"查询"), 176);
        close = place(QString::fromUtf16(u"关闭"), 256);
    }

    OwnerDrawButton* place(const QString& text, int left) {
        auto* button = new OwnerDrawButton(text, window.get());
        button->setGeometry(left, 152, 73, 22);
        return button;
    }

    QImage grabButton(QWidget* button) const {
        return window->grab()
            .toImage()
            .copy(button->geometry())
            .convertToFormat(QImage::Format_ARGB32);
    }
};

// The face a painter gives a button of this text, font and size.
QImage FaceOf(FacePainter paint, QWidget* button, const QString& text) {
    return Render(button->width(), button->height(), kUntouched, [&](QPainter& painter) {
        painter.setFont(button->font());
        paint(painter, button->rect(), CaptionBytes(text));
    });
}

// What a plain push button of the same text, font and place looks like in its window.
QImage PlainButtonLike(QPushButton* button) {
    QWidget window;
    window.setFont(button->window()->font());
    window.setFixedSize(button->window()->size());
    QPushButton plain(button->text(), &window);
    plain.setGeometry(button->geometry());
    return window.grab().toImage().copy(plain.geometry()).convertToFormat(QImage::Format_ARGB32);
}

struct StateCase {
    unsigned itemState;
    FacePainter expected;
    const char* face;
};

class FaceChoice : public testing::TestWithParam<StateCase> {};

TEST_P(FaceChoice, FollowsDisabledPressedFocusedOrder) {
    EXPECT_EQ(modCmdVista::ChooseFacePainter(GetParam().itemState), GetParam().expected)
        << "expected the " << GetParam().face << " face";
}

TEST_P(FaceChoice, DrawVistaButtonPaintsTheChosenFace) {
    OwnerDrawButton button(QString::fromUtf16(u"查询"));
    button.setFont(ButtonFont());
    button.resize(73, 22);
    const QImage drawn = Render(73, 22, kUntouched, [&](QPainter& painter) {
        painter.setFont(button.font());
        QRect rect = kButtonRect;
        modCmdVista::DrawVistaButton(&button, painter, rect, GetParam().itemState);
    });
    const QImage expected = FaceOf(GetParam().expected, &button, button.text());
    EXPECT_EQ(FirstDifference(drawn, expected), "") << GetParam().face;
}

INSTANTIATE_TEST_SUITE_P(States, FaceChoice,
                         testing::Values(StateCase{0x0000, PaintNormalFace, "normal"},
                                         StateCase{0x0001, PaintPressedFace, "pressed"},
                                         StateCase{0x0010, PaintFocusedFace, "focused"},
                                         StateCase{0x0011, PaintPressedFace, "pressed"},
                                         StateCase{0x0014, PaintDisabledFace, "disabled"},
                                         StateCase{0x0005, PaintDisabledFace, "disabled"},
                                         StateCase{0x0002, PaintNormalFace, "normal"},
                                         StateCase{0x0008, PaintNormalFace, "normal"}));

// Sends a draw-item notification to the window the way an owner-drawn control does,
// onto a painter over an untouched image.
struct SentDrawItem {
    bool result;
    bool accepted;
    QImage image;
};
SentDrawItem SendDrawItem(QWidget* window, int controlType, QWidget* item) {
    SentDrawItem sent{false, false, BlankImage(73, 22, kUntouched)};
    QPainter painter(&sent.image);
    DrawItemEvent event(controlType, item, &painter, kButtonRect, 0);
    sent.result = QCoreApplication::sendEvent(window, &event);
    sent.accepted = event.isAccepted();
    return sent;
}

TEST(VistaWindowProc, PaintsButtonsAndKeepsTheNotificationFromTheWindow) {
    RecordingWindow window;
    OwnerDrawButton button(QStringLiteral("OK"), &window);
    button.resize(73, 22);
    modCmdVista::HookWindow(&window);
    const SentDrawItem sent = SendDrawItem(&window, DrawItemEvent::Button, &button);
    EXPECT_TRUE(sent.result);
    EXPECT_TRUE(sent.accepted);
    EXPECT_TRUE(window.drawItemsSeen.empty());
    EXPECT_EQ(FirstDifference(sent.image, FaceOf(PaintNormalFace, &button, button.text())), "");
}

TEST(VistaWindowProc, PassesOtherDrawItemsOnWithTheWindowsResult) {
    for (int controlType : {DrawItemEvent::Menu, DrawItemEvent::ListBox, DrawItemEvent::ComboBox,
                            DrawItemEvent::Static}) {
        for (bool answer : {true, false}) {
            RecordingWindow window;
            window.answer = answer;
            OwnerDrawButton item(QStringLiteral("x"), &window);
            modCmdVista::HookWindow(&window);
            const SentDrawItem sent = SendDrawItem(&window, controlType, &item);
            EXPECT_EQ(sent.result, answer) << "control type " << controlType;
            EXPECT_EQ(sent.accepted, answer) << "control type " << controlType;
            EXPECT_EQ(window.drawItemsSeen, std::vector<int>{controlType});
            EXPECT_EQ(FirstDifference(sent.image, BlankImage(73, 22, kUntouched)), "")
                << "control type " << controlType << " was painted";
        }
    }
}

TEST(VistaWindowProc, LetsEveryOtherEventThrough) {
    RecordingWindow window;
    modCmdVista::HookWindow(&window);
    window.resize(50, 40);
    EXPECT_EQ(window.size(), QSize(50, 40));
    QEvent hide(QEvent::Hide);
    EXPECT_FALSE(modCmdVista::VistaWindowProc(&hide));
    window.setWindowTitle(QStringLiteral("t"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("t"));
}

TEST(HookWindow, SkinsTheWindowsButtonsUntilUnhooked) {
    ButtonWindow w;
    const QImage plain = PlainButtonLike(w.query);
    ASSERT_NE(FirstDifference(plain, FaceOf(PaintNormalFace, w.query, w.query->text())), "");

    EXPECT_EQ(FirstDifference(w.grabButton(w.query), plain), "");
    modCmdVista::HookWindow(w.window.get());
    for (QPushButton* button : {w.about, w.query, w.close}) {
        EXPECT_EQ(
            FirstDifference(w.grabButton(button), FaceOf(PaintNormalFace, button, button->text())),
            "");
    }
    modCmdVista::UnhookWindow(w.window.get());
    EXPECT_EQ(FirstDifference(w.grabButton(w.query), plain), "");
    modCmdVista::UnhookWindow(w.window.get());
    EXPECT_EQ(FirstDifference(w.grabButton(w.query), plain), "");
}

TEST(HookWindow, HookingTwiceNeedsOneUnhook) {
    ButtonWindow w;
    modCmdVista::HookWindow(w.window.get());
    modCmdVista::HookWindow(w.window.get());
    modCmdVista::UnhookWindow(w.window.get());
    EXPECT_EQ(FirstDifference(w.grabButton(w.query), PlainButtonLike(w.query)), "");
}

TEST(HookWindow, ADisabledButtonGetsTheDisabledFace) {
    ButtonWindow w;
    modCmdVista::HookWindow(w.window.get());
    w.close->setEnabled(false);
    EXPECT_EQ(
        FirstDifference(w.grabButton(w.close), FaceOf(PaintDisabledFace, w.close, w.close->text())),
        "");
}

TEST(HookWindow, EmptyCaptionGivesTheFaceWithoutText) {
    ButtonWindow w;
    modCmdVista::HookWindow(w.window.get());
    w.query->setText({});
    const QImage grabbed = w.grabButton(w.query);
    EXPECT_EQ(FirstDifference(grabbed, FaceOf(PaintNormalFace, w.query, {})), "");
    for (int y = 0; y < grabbed.height(); ++y) {
        for (int x = 0; x < grabbed.width(); ++x) {
            ASSERT_NE(grabbed.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
        }
    }
}

TEST(HookWindow, LongCaptionIsDrawnAsItsFirst254Bytes) {
    ButtonWindow w;
    modCmdVista::HookWindow(w.window.get());
    QString text;
    for (int i = 0; i < 150; ++i) text += QChar(u'一' + i);  // 300 bytes in GBK
    w.query->setText(text);
    const QImage grabbed = w.grabButton(w.query);
    const QImage first254 = Render(73, 22, kUntouched, [&](QPainter& painter) {
        painter.setFont(w.query->font());
        PaintNormalFace(painter, kButtonRect, CaptionBytes(text));
    });
    const QImage all300 = Render(73, 22, kUntouched, [&](QPainter& painter) {
        painter.setFont(w.query->font());
        PaintNormalFace(painter, kButtonRect, ToCodePage936(text));
    });
    ASSERT_EQ(CaptionBytes(text).size(), 254);
    ASSERT_NE(FirstDifference(first254, all300), "");
    EXPECT_EQ(FirstDifference(grabbed, first254), "");
}

void ExpectSkinnedAndClickable(ButtonWindow& w) {
    EXPECT_EQ(
        FirstDifference(w.grabButton(w.query), FaceOf(PaintNormalFace, w.query, w.query->text())),
        "");
    QSignalSpy clicks(w.query, &QPushButton::clicked);
    w.window->show();
    QTest::mouseClick(w.query, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
}

// Closing and unhooking a second hooked window leaves the first one's hook alone.
TEST(HookWindow, EachWindowKeepsItsOwnHook) {
    ButtonWindow first;
    modCmdVista::HookWindow(first.window.get());
    ButtonWindow second;
    modCmdVista::HookWindow(second.window.get());
    second.window->show();
    EXPECT_EQ(FirstDifference(second.grabButton(second.about),
                              FaceOf(PaintNormalFace, second.about, second.about->text())),
              "");
    second.window->close();
    modCmdVista::UnhookWindow(second.window.get());
    EXPECT_EQ(FirstDifference(second.grabButton(second.about), PlainButtonLike(second.about)), "");
    ExpectSkinnedAndClickable(first);
}

TEST(HookWindow, DestroyingAHookedWindowLeavesTheOthersHooked) {
    ButtonWindow first;
    modCmdVista::HookWindow(first.window.get());
    {
        ButtonWindow second;
        modCmdVista::HookWindow(second.window.get());
        second.window->show();
    }
    ExpectSkinnedAndClickable(first);
}

// A skinned button still behaves as a push button, and its face follows its state.
TEST(HookWindow, ButtonsKeepClicksFocusSpaceAndThePressedLook) {
    ButtonWindow w;
    modCmdVista::HookWindow(w.window.get());
    w.window->show();
    w.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.window.get()));
    QSignalSpy clicks(w.query, &QPushButton::clicked);

    QTest::mouseClick(w.query, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);

    w.query->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(w.query->hasFocus());
    EXPECT_EQ(
        FirstDifference(w.grabButton(w.query), FaceOf(PaintFocusedFace, w.query, w.query->text())),
        "");
    QTest::keyPress(w.query, Qt::Key_Space);
    EXPECT_TRUE(w.query->isDown());
    EXPECT_EQ(
        FirstDifference(w.grabButton(w.query), FaceOf(PaintPressedFace, w.query, w.query->text())),
        "");
    QTest::keyRelease(w.query, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 2);

    QTest::keyClick(w.window.get(), Qt::Key_Tab);
    EXPECT_TRUE(w.close->hasFocus());
}

}  // namespace
