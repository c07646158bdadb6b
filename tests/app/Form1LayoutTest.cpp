#include "skin/ReadableText.h"
#include "tests/app/Form1Fixture.h"

#include <QLabel>
#include <QScrollBar>

namespace {

struct ControlPlace {
    const char* name;
    const char* kind;
    QRect pixels;
    QString text;
};

const ControlPlace kControls[] = {
    {"Text1", "QLineEdit", {40, 13, 137, 18}, QStringLiteral("8.8.8.8")},
    {"Text2", "QPlainTextEdit", {40, 40, 289, 89}, QString()},
    {"Check1", "QCheckBox", {40, 136, 169, 12}, QStringLiteral(u"启动时显示本机IP相关信息")},
    {"Command3", "OwnerDrawButton", {40, 152, 73, 22}, QStringLiteral(u"关于")},
    {"Command1", "OwnerDrawButton", {176, 152, 73, 22}, QStringLiteral(u"查询")},
    {"Command2", "OwnerDrawButton", {256, 152, 73, 22}, QStringLiteral(u"关闭")},
    {"Label1", "QLabel", {20, 16, 18, 12}, QStringLiteral("IP:")},
    {"Label2", "QLabel", {8, 40, 30, 12}, QStringLiteral(u"结果:")},
};

QString TextOf(QWidget* widget) {
    if (auto* line = qobject_cast<QLineEdit*>(widget)) return line->text();
    if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) return box->toPlainText();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    return QStringLiteral("<unknown kind>");
}

using Form1LayoutTest = Form1Fixture;

TEST_F(Form1LayoutTest, WindowIsFixedWithCaptionAndTitleButtons) {
    EXPECT_EQ(Form().objectName(), QStringLiteral("Form1"));
    EXPECT_EQ(Form().windowTitle(), QStringLiteral("Lokaro"));
    EXPECT_EQ(Form().size(), QSize(367, 193));
    EXPECT_EQ(Form().minimumSize(), QSize(367, 193));
    EXPECT_EQ(Form().maximumSize(), QSize(367, 193));
    const Qt::WindowFlags flags = Form().windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(Form().windowIcon().isNull());
}

TEST_F(Form1LayoutTest, EveryControlHasItsKindPlaceAndText) {
    for (const ControlPlace& control : kControls) {
        SCOPED_TRACE(control.name);
        auto* widget = Find<QWidget>(control.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->inherits(control.kind));
        EXPECT_EQ(widget->geometry(), control.pixels);
        EXPECT_EQ(TextOf(widget), control.text);
        EXPECT_EQ(widget->font().family(), QStringLiteral(u"宋体"));
        EXPECT_EQ(widget->font().pointSize(), 9);
        EXPECT_EQ(widget->font().styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
    }
}

TEST_F(Form1LayoutTest, TabGoesRoundTheControlsAndShiftTabBack) {
    ShowActive();
    const QStringList order{QStringLiteral("Text1"),    QStringLiteral("Text2"),
                            QStringLiteral("Check1"),   QStringLiteral("Command3"),
                            QStringLiteral("Command1"), QStringLiteral("Command2")};
    ASSERT_EQ(QApplication::focusWidget(), Text1());
    for (int step = 1; step <= order.size(); ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), order[step % order.size()]);
    }
    for (int step = order.size() - 1; step >= 0; --step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), order[step]);
    }
}

TEST_F(Form1LayoutTest, OnlyTheAddressBoxHasAToolTip) {
    EXPECT_EQ(Text1()->toolTip(), QStringLiteral(u"在这里输入您要查询的IP地址，然后回车"));
    for (const ControlPlace& control : kControls) {
        if (QLatin1StringView(control.name) != QLatin1StringView("Text1")) {
            EXPECT_TRUE(Find<QWidget>(control.name)->toolTip().isEmpty()) << control.name;
        }
    }
}

TEST_F(Form1LayoutTest, ResultBoxIsWhiteReadOnlySelectableAndNeverScrolls) {
    ShowActive();
    QPlainTextEdit* box = Text2();
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ(box->palette().color(QPalette::Base), QColor(255, 255, 255));
    EXPECT_EQ(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    box->setPlainText(QStringLiteral("first\r\nsecond"));
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("typed"));
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(box->toPlainText(), QStringLiteral("first\nsecond"));
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(box->textCursor().selectedText(), QStringLiteral(u"first\u2029second"));

    box->setPlainText(QString(2000, u'x'));
    QApplication::processEvents();
    EXPECT_FALSE(box->verticalScrollBar()->isVisible());
}

TEST_F(Form1LayoutTest, LabelsAreTransparentAndNeverTakeFocus) {
    for (const char* name : {"Label1", "Label2"}) {
        auto* label = Find<QLabel>(name);
        EXPECT_FALSE(label->autoFillBackground()) << name;
        EXPECT_EQ(label->focusPolicy(), Qt::NoFocus) << name;
    }
}

TEST_F(Form1LayoutTest, NoButtonIsDefaultOrAutoDefault) {
    for (const char* name : {"Command1", "Command2", "Command3"}) {
        auto* button = Find<QPushButton>(name);
        EXPECT_FALSE(button->isDefault()) << name;
        EXPECT_FALSE(button->autoDefault()) << name;
    }
}

TEST_F(Form1LayoutTest, EnterPressesTheFocusedButtonAndNothingElse) {
    Form().Form_Load();
    ShowActive();
    Text1()->setText(QStringLiteral("not an address"));
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } enters[] = {{Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier}};
    for (const auto& enter : enters) {
        m_messages.shown.clear();
        Command1()->setFocus();
        QTest::keyClick(Command1(), enter.key, enter.modifiers);
        EXPECT_EQ(m_messages.shown.size(), 1) << "Query ran and found the address bad";

        m_messages.shown.clear();
        Check1()->setFocus();
        QTest::keyClick(Check1(), enter.key, enter.modifiers);
        EXPECT_FALSE(Check1()->isChecked());
        EXPECT_TRUE(m_messages.shown.isEmpty());
    }
    auto* close = Find<QPushButton>("Command2");
    close->setFocus();
    QTest::keyClick(close, Qt::Key_Return);
    EXPECT_FALSE(Form().isVisible());
}

TEST_F(Form1LayoutTest, BackgroundsFollowTheColourScheme) {
    const QPalette original = QApplication::palette();
    QPalette scheme = original;
    scheme.setColor(QPalette::Base, QColor(10, 20, 30));
    scheme.setColor(QPalette::HighlightedText, QColor(40, 50, 60));
    Form();
    QApplication::setPalette(scheme);
    QApplication::processEvents();  // the change reaches windows as a posted event
    EXPECT_EQ(Form().palette().color(QPalette::Window), QColor(10, 20, 30));
    EXPECT_EQ(Check1()->palette().color(QPalette::Window), QColor(40, 50, 60));
    const QImage check = Check1()->grab().toImage();
    EXPECT_EQ(QColor(check.pixel(check.width() - 1, 0)), QColor(40, 50, 60));
    EXPECT_EQ(Text2()->palette().color(QPalette::Base), QColor(255, 255, 255));
    QApplication::setPalette(original);
}

// Whether some pixel of the area reads well on the background: the ink of a text.
bool HasReadableInk(const QImage& image, const QRect& area, const QColor& background) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (ContrastRatio(image.pixelColor(x, y), background) >= 4.5) return true;
        }
    }
    return false;
}

TEST_F(Form1LayoutTest, ResultAndOptionTextsReadWellInADarkScheme) {
    // qt6ct's "darker": white text, dark bases, near-white text of selected items.
    const QPalette original = QApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::WindowText, QColor(255, 255, 255));
    dark.setColor(QPalette::Text, QColor(255, 255, 255));
    dark.setColor(QPalette::Base, QColor(0x3d, 0x3d, 0x3d));
    dark.setColor(QPalette::Window, QColor(0x22, 0x20, 0x20));
    dark.setColor(QPalette::HighlightedText, QColor(0xf9, 0xf9, 0xf9));
    QApplication::setPalette(dark);

    Text2()->setPlainText(SampleQueryResult());
    const QImage result = Text2()->grab().toImage();
    const QImage check = Check1()->grab().toImage();
    QApplication::setPalette(original);

    EXPECT_EQ(result.pixelColor(2, 2), QColor(255, 255, 255)) << "the result box stays white";
    EXPECT_TRUE(HasReadableInk(result, result.rect().adjusted(1, 1, -1, -1), Qt::white));
    const QColor checkBackground = check.pixelColor(check.width() - 1, 0);
    EXPECT_EQ(checkBackground, QColor(0xf9, 0xf9, 0xf9));
    // The label, right of the indicator.
    EXPECT_TRUE(
        HasReadableInk(check, check.rect().adjusted(check.width() / 3, 0, 0, 0), checkBackground));
}

}  // namespace
