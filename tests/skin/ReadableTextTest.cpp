// Text on backgrounds that follow the colour scheme: kept when it reads well, else black
// or white.
#include "skin/ReadableText.h"

#include <gtest/gtest.h>

namespace {

struct TextCase {
    const char* name;
    QColor preferred;
    QColor background;
    QColor expected;
};

// Backgrounds and text colours of the default light scheme and of qt6ct's dark schemes.
const TextCase kCases[] = {
    {"light: black on white stays", QColor(0, 0, 0), QColor(255, 255, 255), QColor(0, 0, 0)},
    {"light: link blue on white stays", QColor(0, 0, 255), QColor(255, 255, 255),
     QColor(0, 0, 255)},
    {"darker: white on its caption text turns black", QColor(255, 255, 255),
     QColor(0xf9, 0xf9, 0xf9), QColor(0, 0, 0)},
    {"darker: link blue on its window turns white", QColor(0, 0, 255), QColor(0x3d, 0x3d, 0x3d),
     QColor(255, 255, 255)},
    {"darker: white on its window stays", QColor(255, 255, 255), QColor(0x3d, 0x3d, 0x3d),
     QColor(255, 255, 255)},
    {"airy: near-black on near-black turns white", QColor(0, 0, 0), QColor(0x0a, 0x0a, 0x0a),
     QColor(255, 255, 255)},
    {"mid grey takes the stronger of the two", QColor(0x80, 0x80, 0x80), QColor(0x76, 0x76, 0x76),
     QColor(0, 0, 0)},
};

TEST(ReadableTextColour, KeepsReadableColoursAndOtherwiseTakesBlackOrWhite) {
    for (const TextCase& c : kCases) {
        EXPECT_EQ(ReadableTextColour(c.preferred, c.background), c.expected) << c.name;
        EXPECT_GE(ContrastRatio(ReadableTextColour(c.preferred, c.background), c.background), 4.5)
            << c.name;
    }
}

TEST(ContrastRatio, RunsFromOneToTwentyOneWhicheverColourComesFirst) {
    EXPECT_DOUBLE_EQ(ContrastRatio(Qt::black, Qt::white), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(Qt::white, Qt::black), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(QColor(0x3d, 0x3d, 0x3d), QColor(0x3d, 0x3d, 0x3d)), 1.0);
    EXPECT_NEAR(ContrastRatio(QColor(0, 0, 255), Qt::white), 8.59, 0.01);
}

TEST(SetReadableTextColour, ChangesActiveAndInactiveTextButNotDisabledText) {
    QPalette palette;
    palette.setColor(QPalette::WindowText, QColor(255, 255, 255));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    SetReadableTextColour(palette, QPalette::WindowText, QColor(255, 255, 255),
                          QColor(0xf9, 0xf9, 0xf9));
    EXPECT_EQ(palette.color(QPalette::Active, QPalette::WindowText), QColor(0, 0, 0));
    EXPECT_EQ(palette.color(QPalette::Inactive, QPalette::WindowText), QColor(0, 0, 0));
    EXPECT_EQ(palette.color(QPalette::Disabled, QPalette::WindowText), QColor(0x80, 0x80, 0x80));
}

}  // namespace
