#include "resources/ProgramArt.h"
#include "tests/resources/JpegMarkers.h"

#include <gtest/gtest.h>

#include <QBitmap>
#include <QFile>
#include <QImage>
#include <QSet>

#include <array>
#include <cmath>
#include <cstdlib>

namespace {

// The standard 16-colour palette.
constexpr std::array<QRgb, 16> kStandardPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

constexpr QRgb kSea = 0x0000FF;
constexpr QRgb kLand = 0x808000;
constexpr QRgb kLens = 0x00FFFF;
constexpr QRgb kHandle = 0xFF0000;
constexpr QRgb kLightGrey = 0xC0C0C0;

QImage Argb(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage ProgramIconImage() {
    return Argb(ProgramIcon().pixmap(QSize(32, 32)).toImage());
}

QImage ArtworkFile(const char* name) {
    return Argb(QImage(QStringLiteral(LOKARO_ARTWORK_DIR "/") + QLatin1StringView(name)));
}

bool IsOpaque(QRgb pixel) {
    return qAlpha(pixel) == 255;
}
bool IsTransparent(QRgb pixel) {
    return qAlpha(pixel) == 0;
}
QRgb Colour(QRgb pixel) {
    return pixel & 0xFFFFFF;
}

// How many opaque pixels of the colour lie in each quarter: top left, top right, bottom left,
// bottom right.
std::array<int, 4> CountByQuarter(const QImage& image, QRgb colour) {
    std::array<int, 4> counts{};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (IsOpaque(image.pixel(x, y)) && Colour(image.pixel(x, y)) == colour)
                ++counts[(y >= image.height() / 2) * 2 + (x >= image.width() / 2)];
    return counts;
}

int Sum(const std::array<int, 4>& counts) {
    return counts[0] + counts[1] + counts[2] + counts[3];
}

int LargestChannelDifference(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

// Each pixel of the image as an n-by-n block.
QImage Enlarged(const QImage& image, int n) {
    QImage large(image.size() * n, QImage::Format_ARGB32);
    for (int y = 0; y < large.height(); ++y)
        for (int x = 0; x < large.width(); ++x) large.setPixel(x, y, image.pixel(x / n, y / n));
    return large;
}

TEST(ProgramIcon, Is32PixelsAndTheSameDoubledForScreensOfTwiceThePixels) {
    EXPECT_EQ(ProgramIcon().availableSizes(), QList<QSize>({QSize(32, 32), QSize(64, 64)}));
    EXPECT_EQ(ProgramIconImage().size(), QSize(32, 32));
    const QPixmap doubled = ProgramIcon().pixmap(QSize(32, 32), 2.0);
    EXPECT_EQ(doubled.devicePixelRatio(), 2.0);
    EXPECT_EQ(Argb(doubled.toImage()), Enlarged(ProgramIconImage(), 2));
}

TEST(ProgramIcon, UsesAtMostSixteenStandardColoursAndTransparency) {
    const QImage icon = ProgramIconImage();
    QSet<QRgb> colours;
    int transparent = 0;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            const QRgb pixel = icon.pixel(x, y);
            if (IsTransparent(pixel)) {
                ++transparent;
                continue;
            }
            ASSERT_TRUE(IsOpaque(pixel)) << "half-transparent pixel at " << x << ", " << y;
            EXPECT_NE(std::find(kStandardPalette.begin(), kStandardPalette.end(), Colour(pixel)),
                      kStandardPalette.end())
                << std::hex << Colour(pixel) << " at " << std::dec << x << ", " << y;
            colours.insert(Colour(pixel));
        }
    }
    EXPECT_LE(colours.size(), 16);
    EXPECT_GT(transparent, 0);
    EXPECT_TRUE(IsTransparent(icon.pixel(0, 31))) << "the corner beside the globe is see-through";
}

TEST(ProgramIcon, ShowsAGlobeWithTheGlassAtItsLowerRight) {
    const QImage icon = ProgramIconImage();
    const auto sea = CountByQuarter(icon, kSea);
    const auto land = CountByQuarter(icon, kLand);
    const auto lens = CountByQuarter(icon, kLens);
    const auto handle = CountByQuarter(icon, kHandle);
    EXPECT_GT(Sum(sea), 150);
    EXPECT_GT(Sum(land), 60);
    EXPECT_GT(sea[0], sea[3]) << "the glass covers the globe's lower right";
    EXPECT_GT(Sum(lens), 30);
    EXPECT_EQ(lens[3], Sum(lens)) << "the lens lies in the lower right quarter";
    EXPECT_GT(Sum(handle), 8);
    EXPECT_EQ(handle[3], Sum(handle)) << "the handle points to the lower right corner";
}

TEST(HandCursor, HasItsHotSpotOnTheFingertip) {
    const QCursor cursor = HandCursor();
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(6, 0));
    const QImage hand = Argb(cursor.pixmap().toImage());
    ASSERT_EQ(hand.size(), QSize(32, 32));
    EXPECT_EQ(hand.pixel(6, 0), qRgba(0, 0, 0, 255)) << "the fingertip's outline";
    EXPECT_EQ(hand.pixel(6, 1), qRgba(255, 255, 255, 255)) << "inside the finger";
    for (int x = 0; x < 32; ++x) {
        const bool fingertip = x == 5 || x == 6;
        EXPECT_EQ(IsTransparent(hand.pixel(x, 0)), !fingertip) << "row 0, x " << x;
    }
}

TEST(HandCursor, IsBlackOutlineAndWhiteFillOverTransparency) {
    const QImage hand = Argb(HandCursor().pixmap().toImage());
    int black = 0;
    int white = 0;
    int transparent = 0;
    for (int y = 0; y < hand.height(); ++y) {
        for (int x = 0; x < hand.width(); ++x) {
            const QRgb pixel = hand.pixel(x, y);
            if (IsTransparent(pixel)) {
                ++transparent;
            } else if (pixel == qRgba(0, 0, 0, 255)) {
                ++black;
            } else {
                ASSERT_EQ(pixel, qRgba(255, 255, 255, 255)) << "at " << x << ", " << y;
                ++white;
            }
        }
    }
    EXPECT_GT(black, 40);
    EXPECT_GT(white, 80);
    EXPECT_GT(transparent, 32 * 32 / 2);
}

TEST(AboutPicture, IsA32PixelBaselineJpegInThreeComponents) {
    QFile file(QStringLiteral(":/artwork/AboutPicture.jpg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto frame = ReadJpegFrame(file.readAll());
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->marker, 0xC0) << "baseline";
    EXPECT_EQ(frame->precision, 8);
    EXPECT_EQ(frame->width, 32);
    EXPECT_EQ(frame->height, 32);
    EXPECT_EQ(frame->components, 3);
    EXPECT_EQ(AboutPicture().size(), QSize(32, 32));
}

TEST(AboutPicture, IsMadeOfWholeBlocksOnScreensOfMorePixels) {
    const QImage once = Argb(AboutPicture().toImage());
    for (const qreal ratio : {1.25, 1.5, 2.0, 2.5, 3.0}) {
        SCOPED_TRACE(ratio);
        const int n = int(std::ceil(ratio));
        const QPixmap picture = AboutPicture(ratio);
        EXPECT_EQ(picture.devicePixelRatio(), n);
        EXPECT_EQ(picture.deviceIndependentSize(), QSizeF(32, 32));
        EXPECT_EQ(Argb(picture.toImage()), Enlarged(once, n));
    }
}

TEST(AboutPicture, ShowsTheIconOnLightGrey) {
    const QImage picture = Argb(AboutPicture().toImage());
    ASSERT_EQ(picture.size(), QSize(32, 32));
    const QImage icon = ProgramIconImage();
    int worst = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb expected = IsTransparent(icon.pixel(x, y)) ? kLightGrey : icon.pixel(x, y);
            worst = std::max(worst, LargestChannelDifference(picture.pixel(x, y), expected));
        }
    }
    // Palette colours lie at least 63 apart in some channel; compression moves them less.
    EXPECT_LE(worst, 32) << "the JPEG is not the icon of the current source";
    EXPECT_LE(LargestChannelDifference(picture.pixel(0, 31), kLightGrey), 4);
}

TEST(DesktopIcons, ThirtyTwoPixelsIsTheIconItself) {
    EXPECT_EQ(ArtworkFile("ProgramIcon-32.png"), ProgramIconImage());
}

TEST(DesktopIcons, SixtyFourPixelsIsTheIconDoubled) {
    EXPECT_EQ(ArtworkFile("ProgramIcon-64.png"),
              ProgramIconImage().scaled(64, 64, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

TEST(DesktopIcons, FortyEightPixelsKeepsTheTransparentCorners) {
    const QImage icon = ArtworkFile("ProgramIcon-48.png");
    ASSERT_EQ(icon.size(), QSize(48, 48));
    EXPECT_TRUE(IsTransparent(icon.pixel(0, 47)));
    EXPECT_TRUE(IsOpaque(icon.pixel(20, 20)));
}

}  // namespace
