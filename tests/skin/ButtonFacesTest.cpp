// The four faces, pixel for pixel, and where their caption goes.
#include "skin/ButtonFaces.h"
#include "tests/skin/FaceExpectations.h"
#include "tests/skin/SkinTestImages.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include <set>

namespace {

constexpr QRgb kOutside = qRgb(1, 2, 3);
// "查询" in code page 936.
constexpr char kQueryCaption[] = "\xb2\xe9\xd1\xaf";

// Sets the palette's button colour for one test and puts the old palette back after.
class ButtonFaceColour {
public:
    explicit ButtonFaceColour(QRgb colour) : m_saved(QGuiApplication::palette()) { set(colour); }
    ~ButtonFaceColour() { QGuiApplication::setPalette(m_saved); }
    void set(QRgb colour) {
        QPalette palette = m_saved;
        palette.setColor(QPalette::Button, QColor(colour));
        QGuiApplication::setPalette(palette);
    }

private:
    QPalette m_saved;
};

QFont CaptionFont() {
    QFont font(QStringLiteral("AR PL UMing CN"));
    font.setPointSize(9);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QImage PaintFace(const ExpectedFace& face, int width, int height, QByteArrayView caption,
                 const QFont& font = CaptionFont()) {
    return Render(width, height, kOutside, [&](QPainter& painter) {
        painter.setFont(font);
        face.paint(painter, QRect(0, 0, width, height), caption);
    });
}

struct FaceAndSize {
    const ExpectedFace* face;
    QSize size;
};

void PrintTo(const FaceAndSize& c, std::ostream* os) {
    *os << c.face->name << " " << c.size.width() << "x" << c.size.height();
}

std::vector<FaceAndSize> AllFacesAtTableSizes() {
    std::vector<FaceAndSize> cases;
    for (const ExpectedFace& face : kExpectedFaces) {
        for (QSize size : {QSize(73, 22), QSize(81, 22), QSize(73, 25), QSize(73, 30)}) {
            cases.push_back({&face, size});
        }
    }
    return cases;
}

std::string CaseName(const testing::TestParamInfo<FaceAndSize>& info) {
    return std::string(info.param.face->name) + "_" + std::to_string(info.param.size.width()) +
           "x" + std::to_string(info.param.size.height());
}

class FaceAtSize : public testing::TestWithParam<FaceAndSize> {};

TEST_P(FaceAtSize, EveryPixelIsTheTablesColour) {
    const auto [face, size] = GetParam();
    const QRgb buttonFace = qRgb(12, 34, 56);
    ButtonFaceColour palette(buttonFace);
    const QImage image = PaintFace(*face, size.width(), size.height(), {});
    const ExpectedPixels expected =
        ExpectedFacePixels(*face, size.width(), size.height(), buttonFace);
    int mismatches = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            ASSERT_FALSE(expected.partAt(x, y).isEmpty()) << "no expectation for " << x << "," << y;
            if (image.pixel(x, y) != expected.image.pixel(x, y) && ++mismatches <= 10) {
                ADD_FAILURE() << expected.partAt(x, y).toStdString() << " at (" << x << ", " << y
                              << ") is " << DescribeColour(image.pixel(x, y)).toStdString()
                              << ", expected "
                              << DescribeColour(expected.image.pixel(x, y)).toStdString();
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_P(FaceAtSize, OutermostCornersFollowTheButtonFaceColour) {
    const auto [face, size] = GetParam();
    const int w = size.width();
    const int h = size.height();
    ButtonFaceColour palette(qRgb(10, 20, 30));
    for (QRgb colour : {qRgb(10, 20, 30), qRgb(200, 100, 50)}) {
        palette.set(colour);
        const QImage image = PaintFace(*face, w, h, kQueryCaption);
        for (QPoint corner :
             {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)}) {
            EXPECT_EQ(image.pixel(corner), colour)
                << "corner " << corner.x() << "," << corner.y() << " is "
                << DescribeColour(image.pixel(corner)).toStdString();
        }
    }
}

// The caption only ever adds pixels of the text colour, inside its box.
TEST_P(FaceAtSize, CaptionPixelsAreTextColourInsideTheTextBox) {
    const auto [face, size] = GetParam();
    const QImage bare = PaintFace(*face, size.width(), size.height(), {});
    const QImage captioned = PaintFace(*face, size.width(), size.height(), kQueryCaption);
    const QRect textBox(0, face->textTop, size.width(), size.height() - 2 * face->textTop);
    int inked = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            if (captioned.pixel(x, y) == bare.pixel(x, y)) continue;
            ++inked;
            EXPECT_EQ(captioned.pixel(x, y), face->textColour) << "at " << x << "," << y;
            EXPECT_TRUE(textBox.contains(x, y)) << "ink outside the text box at " << x << "," << y;
        }
    }
    EXPECT_GT(inked, 20);
}

INSTANTIATE_TEST_SUITE_P(Faces, FaceAtSize, testing::ValuesIn(AllFacesAtTableSizes()), CaseName);

// Pixels of `image` that are not in `background`, as a bounding box.
QRect InkBox(const QImage& image, const QImage& background) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background.pixel(x, y)) box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// The window system centres single-line text by dropping the odd half pixel on both
// axes, where Qt's own centring would round the vertical half up.
TEST(Caption, IsCentredWithTheHalfPixelDropped) {
    const QFont font = CaptionFont();
    ASSERT_EQ(QFontInfo(font).family(), QStringLiteral("AR PL UMing CN"));
    const QString text = QString::fromUtf16(u"查询");

    // The ink of the text drawn with its top-left at (10, 10) on an empty image.
    const QImage blank = BlankImage(120, 60, qRgb(255, 255, 255));
    const QImage alone = Render(120, 60, qRgb(255, 255, 255), [&](QPainter& painter) {
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPoint(10, 10 + QFontMetrics(font, painter.device()).ascent()), text);
    });
    const QRect inkAtOrigin = InkBox(alone, blank).translated(-10, -10);
    ASSERT_FALSE(inkAtOrigin.isEmpty());

    std::set<int> oddRemainders;
    for (const ExpectedFace& face : kExpectedFaces) {
        for (QSize size : {QSize(73, 22), QSize(81, 22), QSize(73, 25)}) {
            const QImage bare = PaintFace(face, size.width(), size.height(), {}, font);
            const QImage captioned =
                PaintFace(face, size.width(), size.height(), kQueryCaption, font);
            const QFontMetrics metrics(font, &captioned);
            const int boxHeight = size.height() - 2 * face.textTop;
            const int x = (size.width() - metrics.horizontalAdvance(text)) / 2;
            const int y = face.textTop + (boxHeight - metrics.height()) / 2;
            oddRemainders.insert((boxHeight - metrics.height()) % 2);
            EXPECT_EQ(InkBox(captioned, bare), inkAtOrigin.translated(x, y))
                << face.name << " " << size.width() << "x" << size.height();
        }
    }
    // At least one of the sizes leaves an odd half pixel, which Qt would round the other way.
    EXPECT_TRUE(oddRemainders.count(1));
}

TEST(Caption, FocusedAndPressedCaptionsSitWhereTheNormalOneDoes) {
    const QImage normal = PaintFace(kExpectedFaces[0], 73, 22, kQueryCaption);
    const QImage normalBare = PaintFace(kExpectedFaces[0], 73, 22, {});
    for (const ExpectedFace& face : {kExpectedFaces[1], kExpectedFaces[2]}) {
        EXPECT_EQ(InkBox(PaintFace(face, 73, 22, kQueryCaption), PaintFace(face, 73, 22, {})),
                  InkBox(normal, normalBare))
            << face.name;
    }
}

TEST(Caption, IsDrawnInThePaintersFont) {
    QFont bigger = CaptionFont();
    bigger.setPointSize(14);
    const QImage bare = PaintFace(kExpectedFaces[0], 73, 30, {}, bigger);
    const QRect smallInk = InkBox(PaintFace(kExpectedFaces[0], 73, 30, kQueryCaption), bare);
    const QRect bigInk = InkBox(PaintFace(kExpectedFaces[0], 73, 30, kQueryCaption, bigger), bare);
    EXPECT_GT(bigInk.width(), smallInk.width());
    EXPECT_GT(bigInk.height(), smallInk.height());
}

// Buttons too low or narrow for all six bands and corners: nothing lands outside the
// button, and no pixel inside it is left unpainted.
TEST(SmallButtons, PaintExactlyTheirOwnPixels) {
    const int margin = 4;
    for (const ExpectedFace& face : kExpectedFaces) {
        for (int w : {1, 2, 3, 4, 5, 6, 7, 73}) {
            for (int h = 1; h <= 17; ++h) {
                const QImage image =
                    Render(w + margin, h + margin, kOutside, [&](QPainter& painter) {
                        painter.setFont(CaptionFont());
                        face.paint(painter, QRect(0, 0, w, h), kQueryCaption);
                    });
                for (int y = 0; y < h + margin; ++y) {
                    for (int x = 0; x < w + margin; ++x) {
                        const bool inside = x < w && y < h;
                        ASSERT_EQ(image.pixel(x, y) == kOutside, !inside)
                            << face.name << " " << w << "x" << h << " at " << x << "," << y;
                    }
                }
            }
        }
    }
}

// A band whose bottom comes out above its top paints nothing; the bands after it keep
// their rows.
TEST(SmallButtons, InvertedBandsPaintNothing) {
    struct Case {
        const ExpectedFace& face;
        int height;
        std::vector<int> bandOfRow;  // rows 2 onwards, at the middle column
    };
    const std::vector<Case> cases{
        // 12 high: band 1 ends at row 1 and band 2 is rows [1, 2).
        {kExpectedFaces[0], 12, {3, 4, 5, 6, 6, 6, 6, 6}},
        // 16 high: band 5 would reach row 15 and band 6 ends above its top.
        {kExpectedFaces[2], 16, {1, 1, 2, 2, 2, 2, 3, 3, 3, 4, 4, 5}},
    };
    for (const Case& c : cases) {
        const QImage image = PaintFace(c.face, 73, c.height, {});
        for (std::size_t i = 0; i < c.bandOfRow.size(); ++i) {
            const int row = 2 + int(i);
            const QRgb want = (*c.face.bandColours)[std::size_t(c.bandOfRow[i] - 1)];
            EXPECT_EQ(image.pixel(36, row), want)
                << c.face.name << " " << c.height << " high, row " << row << " is "
                << DescribeColour(image.pixel(36, row)).toStdString();
        }
    }
}

TEST(Painters, LeaveThePainterAsTheyFoundIt) {
    for (const ExpectedFace& face : kExpectedFaces) {
        Render(73, 22, kOutside, [&](QPainter& painter) {
            QFont font = CaptionFont();
            font.setStyleStrategy(QFont::PreferDefault);
            painter.setFont(font);
            painter.setPen(QColor(9, 8, 7));
            painter.setRenderHint(QPainter::Antialiasing, true);
            face.paint(painter, QRect(0, 0, 73, 22), kQueryCaption);
            EXPECT_EQ(painter.pen().color(), QColor(9, 8, 7)) << face.name;
            EXPECT_EQ(painter.font().styleStrategy(), QFont::PreferDefault) << face.name;
            EXPECT_TRUE(painter.testRenderHint(QPainter::Antialiasing)) << face.name;
            EXPECT_FALSE(painter.hasClipping()) << face.name;
        });
    }
}

}  // namespace
