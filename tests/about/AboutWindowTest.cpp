// The About window's layout: frame, controls, tab order, colours, fonts, picture, cursors.
#include "resources/ProgramArt.h"
#include "resources/ProgramFont.h"
#include "skin/SystemColors.h"
#include "tests/about/AboutTestSupport.h"

#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QTest>

namespace {

struct ExpectedControl {
    const char* name;
    const char* className;
    QString text;
    QRect pixels;  // left, top, width, height in the client area
};

// In tab order. Labels take the width of their texts: 12 px per Chinese character, 6 px
// per ASCII character, one 12-px line; the links have one more row for their underline.
const ExpectedControl kControls[] = {
    {"Label1", "QLabel", QStringLiteral("Wherix | Lokaro 1.1"), {72, 8, 114, 12}},
    {"Label2", "QLabel", QStringLiteral(u"作者:Lokaro 开发组"), {72, 32, 108, 12}},
    {"Command1", "OwnerDrawButton", QStringLiteral(u"确定"), {120, 128, 81, 22}},
    {"Label3", "QLabel", QStringLiteral(u"主页:"), {72, 48, 30, 12}},
    {"Label4", "LinkLabel", QStringLiteral("https://lokaro.example.org"), {104, 48, 156, 13}},
    {"Label5", "QLabel", QStringLiteral("Q  Q:"), {72, 64, 30, 12}},
    {"Label6", "LinkLabel", QStringLiteral("123456789"), {104, 64, 54, 13}},
    {"Label7", "QLabel", QStringLiteral(u"邮箱:"), {72, 80, 30, 12}},
    {"Label8", "LinkLabel", QStringLiteral("lokaro@example.org"), {104, 80, 108, 13}},
    {"Label9", "QLabel", QStringLiteral("2008-08-08"), {72, 104, 60, 12}},
    {"Picture1", "QLabel", QString(), {16, 8, 36, 36}},
};

const char* const kLinkLabels[] = {"Label4", "Label6", "Label8"};

bool IsLink(const char* name) {
    return std::any_of(std::begin(kLinkLabels), std::end(kLinkLabels),
                       [&](const char* link) { return qstrcmp(link, name) == 0; });
}

QString WidgetText(QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    return qobject_cast<QLabel*>(widget)->text();
}

// How many pixels of the widget's area in a grab of the window have exactly this colour,
// in all and in the fullest row.
struct ColourCount {
    int total = 0;
    int fullestRow = 0;
};

ColourCount CountColour(const QImage& window, const QRect& area, QColor colour) {
    ColourCount count;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        int row = 0;
        for (int x = area.left(); x <= area.right(); ++x)
            row += window.pixelColor(x, y).rgb() == colour.rgb();
        count.total += row;
        count.fullestRow = std::max(count.fullestRow, row);
    }
    return count;
}

using AboutWindow = AboutTest;

TEST_F(AboutWindow, IsAFixed326By160DialogWithCloseBoxOnly) {
    WhileShown([&] {
        EXPECT_EQ(m_about.objectName(), QStringLiteral("frmAbout"));
        EXPECT_EQ(m_about.windowTitle(), QStringLiteral(u"关于"));
        EXPECT_EQ(m_about.size(), QSize(326, 160));
        EXPECT_EQ(m_about.minimumSize(), QSize(326, 160));
        EXPECT_EQ(m_about.maximumSize(), QSize(326, 160));
        const Qt::WindowFlags flags = m_about.windowFlags();
        EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
        EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
        EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));
    });
}

TEST_F(AboutWindow, IsCentredOnTheMainWindowWhereverThatIs) {
    for (const QPoint mainAt : {QPoint(40, 30), QPoint(300, 200)}) {
        m_main.move(mainAt);
        WhileShown([&] { EXPECT_EQ(m_about.geometry().center(), m_main.geometry().center()); });
    }
}

TEST_F(AboutWindow, HasEveryControlWithItsTextAndPlace) {
    WhileShown([&] {
        for (const ExpectedControl& expected : kControls) {
            SCOPED_TRACE(expected.name);
            auto* widget = Child<QWidget>(&m_about, expected.name);
            ASSERT_NE(widget, nullptr);
            EXPECT_EQ(widget->parentWidget(), &m_about);
            EXPECT_STREQ(widget->metaObject()->className(), expected.className);
            EXPECT_EQ(WidgetText(widget), expected.text);
            EXPECT_EQ(widget->geometry(), expected.pixels);
        }
        EXPECT_EQ(m_about.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(),
                  std::size(kControls));
    });
}

TEST_F(AboutWindow, KeepsTheControlsInTabOrder) {
    WhileShown([&] {
        QStringList chain;
        for (QWidget* w = m_about.nextInFocusChain(); w != &m_about; w = w->nextInFocusChain())
            chain.append(w->objectName());
        QStringList expected;
        for (const ExpectedControl& control : kControls)
            expected.append(QLatin1StringView(control.name));
        EXPECT_EQ(chain, expected);
    });
}

TEST_F(AboutWindow, OpensWithTheFocusOnOkAndTabsThroughTheLinks) {
    WhileShown([&] {
        QList<QWidget*> stops;
        for (const char* name : {"Command1", "Label4", "Label6", "Label8"})
            stops.append(Child<QWidget>(&m_about, name));
        EXPECT_EQ(m_about.focusWidget(), stops[0]);
        for (qsizetype i = 1; i <= stops.size(); ++i) {
            QTest::keyClick(m_about.windowHandle(), Qt::Key_Tab);
            EXPECT_EQ(m_about.focusWidget(), stops[i % stops.size()]) << i;
        }
        QTest::keyClick(m_about.windowHandle(), Qt::Key_Backtab);
        EXPECT_EQ(m_about.focusWidget(), stops.back());
        for (const ExpectedControl& control : kControls) {
            auto* widget = Child<QWidget>(&m_about, control.name);
            EXPECT_EQ(widget->focusPolicy() != Qt::NoFocus, stops.contains(widget)) << control.name;
        }
    });
}

TEST_F(AboutWindow, OkIsNeitherTheDefaultNorTheCancelButton) {
    WhileShown([&] {
        auto* ok = Child<QPushButton>(&m_about, "Command1");
        EXPECT_FALSE(ok->isDefault());
        EXPECT_FALSE(ok->autoDefault());
    });
}

TEST_F(AboutWindow, UsesTheProgramFontAndUnderlinesTheLinks) {
    WhileShown([&] {
        const QString family = QFontInfo(ProgramFont()).family();
        for (const ExpectedControl& control : kControls) {
            SCOPED_TRACE(control.name);
            const QFont font = Child<QWidget>(&m_about, control.name)->font();
            EXPECT_EQ(QFontInfo(font).family(), family);
            EXPECT_EQ(font.pointSize(), 9);
            EXPECT_EQ(font.weight(), QFont::Normal);
            EXPECT_FALSE(font.italic());
            EXPECT_EQ(font.underline(), IsLink(control.name));
        }
    });
}

TEST_F(AboutWindow, PaintsTheWindowColourBehindBlueLinksAndPlainLabels) {
    WhileShown([&] {
        const QImage shot = m_about.grab().toImage();
        const QColor background = GetSysColor(SystemColor::Window);
        EXPECT_EQ(shot.pixelColor(300, 150).rgb(), background.rgb());
        EXPECT_EQ(shot.pixelColor(70, 20).rgb(), background.rgb());

        const QColor blue(0, 0, 255);
        for (const char* link : kLinkLabels) {
            SCOPED_TRACE(link);
            const QRect area = Child<QWidget>(&m_about, link)->geometry();
            const ColourCount count = CountColour(shot, area, blue);
            EXPECT_GT(count.total, area.width()) << "blue text";
            EXPECT_GE(count.fullestRow, area.width() - 1) << "an underline across the text";
        }
        for (const char* plain : {"Label1", "Label2", "Label3", "Label5", "Label7", "Label9"}) {
            SCOPED_TRACE(plain);
            auto* label = Child<QWidget>(&m_about, plain);
            const QRect area = label->geometry();
            EXPECT_EQ(CountColour(shot, area, blue).total, 0);
            const QColor text = label->palette().color(QPalette::WindowText);
            EXPECT_GT(CountColour(shot, area, text).total, 0);
            EXPECT_EQ(shot.pixelColor(area.topLeft()).rgb(), background.rgb()) << "transparent";
        }
    });
}

TEST_F(AboutWindow, TakesTheWindowColourOfTheSchemeInForceWhenItLoads) {
    const QPalette original = QApplication::palette();
    QPalette scheme = original;
    scheme.setColor(QPalette::Base, QColor(250, 240, 200));
    QApplication::setPalette(scheme);
    WhileShown(
        [&] { EXPECT_EQ(m_about.grab().toImage().pixelColor(300, 150), QColor(250, 240, 200)); });
    QApplication::setPalette(original);
    WhileShown([&] {
        EXPECT_EQ(m_about.grab().toImage().pixelColor(300, 150),
                  original.color(QPalette::Active, QPalette::Base));
    });
}

TEST_F(AboutWindow, ShowsThePictureInsideASunkenEdge) {
    WhileShown([&] {
        auto* picture = Child<QLabel>(&m_about, "Picture1");
        EXPECT_EQ(picture->frameShape(), QFrame::WinPanel);
        EXPECT_EQ(picture->frameShadow(), QFrame::Sunken);
        EXPECT_EQ(picture->frameWidth(), 2);
        EXPECT_EQ(picture->contentsRect(), QRect(2, 2, 32, 32));

        const QImage shot = picture->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage expected = AboutPicture().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shot.copy(2, 2, 32, 32), expected);
        const QPalette& palette = picture->palette();
        EXPECT_EQ(shot.pixelColor(0, 0).rgb(), palette.color(QPalette::Dark).rgb())
            << "a sunken edge is dark at its top left";
        EXPECT_EQ(shot.pixelColor(35, 35).rgb(), palette.color(QPalette::Light).rgb())
            << "and light at its bottom right";
    });
}

TEST_F(AboutWindow, ShowsTheHandOverTheThreeLinksAndNowhereElse) {
    WhileShown([&] {
        const QImage hand = HandCursor().pixmap().toImage();
        for (const ExpectedControl& control : kControls) {
            SCOPED_TRACE(control.name);
            auto* widget = Child<QWidget>(&m_about, control.name);
            if (IsLink(control.name)) {
                EXPECT_EQ(widget->cursor().shape(), Qt::BitmapCursor);
                EXPECT_EQ(widget->cursor().hotSpot(), QPoint(6, 0));
                EXPECT_EQ(widget->cursor().pixmap().toImage(), hand);
            } else {
                EXPECT_FALSE(widget->testAttribute(Qt::WA_SetCursor));
                EXPECT_EQ(widget->cursor().shape(), Qt::ArrowCursor);
            }
        }
        EXPECT_EQ(m_about.cursor().shape(), Qt::ArrowCursor);
    });
}

TEST_F(AboutWindow, TakesItsIconFromTheMainWindow) {
    WhileShown([&] {
        EXPECT_TRUE(m_about.testAttribute(Qt::WA_SetWindowIcon)) << "an icon of its own";
        EXPECT_EQ(m_about.windowIcon().pixmap(32).toImage(),
                  m_main.windowIcon().pixmap(32).toImage());
    });
}

}  // namespace
