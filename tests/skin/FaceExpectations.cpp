#include "tests/skin/FaceExpectations.h"

#include <map>
#include <utility>

namespace {

constexpr std::nullopt_t kButtonFace = std::nullopt;

}  // namespace

const std::array<ExpectedFace, 4> kExpectedFaces{{
    {
        .name = "normal",
        .paint = PaintNormalFace,
        .bandColours = {{qRgb(242, 242, 242), qRgb(240, 240, 240), qRgb(236, 236, 236),
                         qRgb(219, 219, 219), qRgb(216, 216, 216), qRgb(209, 209, 209)}},
        .flatFill = 0,
        .outerFrame = qRgb(112, 112, 112),
        .innerFrame = qRgb(252, 252, 252),
        .secondInnerFrame = std::nullopt,
        .lowerLine = std::nullopt,
        // clang-format off
        .outerCorners = {kButtonFace, qRgb(144, 144, 144), qRgb(119, 119, 119),
                         qRgb(135, 136, 136), qRgb(117, 117, 117), qRgb(119, 119, 119),
                         qRgb(144, 144, 144), kButtonFace, qRgb(135, 136, 136),
                         qRgb(117, 117, 117), qRgb(117, 117, 117), qRgb(136, 136, 136),
                         kButtonFace, qRgb(134, 134, 134), qRgb(117, 117, 117),
                         qRgb(117, 117, 117), qRgb(136, 136, 136), qRgb(117, 117, 117),
                         qRgb(134, 134, 134), kButtonFace},
        .innerCorners = {qRgb(145, 145, 145), qRgb(232, 232, 232), qRgb(234, 234, 234),
                         qRgb(250, 250, 250), qRgb(232, 232, 232), qRgb(145, 145, 145),
                         qRgb(250, 250, 250), qRgb(234, 234, 234), qRgb(226, 226, 226),
                         qRgb(236, 236, 236), qRgb(143, 143, 143), qRgb(228, 228, 228),
                         qRgb(236, 236, 236), qRgb(226, 226, 226), qRgb(228, 228, 228),
                         qRgb(143, 143, 143)},
        // clang-format on
        .textTop = 0,
        .textColour = qRgb(0, 0, 0),
        .pressedBands = false,
    },
    {
        .name = "focused",
        .paint = PaintFocusedFace,
        .bandColours = {{qRgb(238, 243, 245), qRgb(235, 240, 242), qRgb(233, 238, 241),
                         qRgb(213, 223, 229), qRgb(208, 220, 227), qRgb(202, 215, 222)}},
        .flatFill = 0,
        .outerFrame = qRgb(60, 127, 177),
        .innerFrame = qRgb(64, 215, 252),
        .secondInnerFrame = qRgb(210, 238, 246),
        .lowerLine = std::nullopt,
        // clang-format off
        .outerCorners = {kButtonFace, qRgb(160, 190, 212), qRgb(86, 143, 186),
                         qRgb(158, 188, 211), qRgb(83, 142, 185), qRgb(86, 143, 186),
                         qRgb(160, 190, 212), kButtonFace, qRgb(158, 188, 211),
                         qRgb(83, 142, 185), qRgb(83, 142, 185), qRgb(158, 188, 211),
                         kButtonFace, qRgb(155, 187, 210), qRgb(81, 140, 184),
                         qRgb(83, 142, 185), qRgb(158, 188, 211), qRgb(81, 140, 184),
                         qRgb(155, 187, 210), kButtonFace},
        .innerCorners = {qRgb(58, 147, 194), qRgb(59, 201, 242), qRgb(59, 202, 242),
                         qRgb(106, 222, 251), qRgb(59, 201, 242), qRgb(58, 147, 194),
                         qRgb(106, 222, 251), qRgb(59, 202, 242), qRgb(52, 195, 236),
                         qRgb(88, 207, 239), qRgb(56, 145, 193), qRgb(51, 196, 237),
                         qRgb(88, 207, 239), qRgb(52, 195, 236), qRgb(51, 196, 237),
                         qRgb(56, 145, 193)},
        // clang-format on
        .textTop = 1,
        .textColour = qRgb(0, 0, 0),
        .pressedBands = false,
    },
    {
        .name = "pressed",
        .paint = PaintPressedFace,
        .bandColours = {{qRgb(225, 242, 251), qRgb(216, 238, 250), qRgb(201, 231, 247),
                         qRgb(152, 209, 239), qRgb(140, 202, 235), qRgb(127, 194, 229)}},
        .flatFill = 0,
        .outerFrame = qRgb(44, 98, 139),
        .innerFrame = qRgb(186, 203, 213),
        .secondInnerFrame = std::nullopt,
        .lowerLine = qRgb(104, 178, 218),
        // clang-format off
        .outerCorners = {kButtonFace, qRgb(57, 89, 113), qRgb(46, 96, 134),
                         qRgb(51, 86, 113), qRgb(44, 95, 134), qRgb(46, 96, 134),
                         qRgb(57, 89, 113), kButtonFace, qRgb(51, 86, 113),
                         qRgb(44, 95, 134), qRgb(45, 97, 136), qRgb(71, 110, 140),
                         kButtonFace, qRgb(75, 117, 147), qRgb(46, 100, 140),
                         qRgb(45, 97, 136), qRgb(71, 110, 140), qRgb(46, 100, 140),
                         qRgb(75, 117, 147), kButtonFace},
        .innerCorners = {qRgb(58, 104, 138), qRgb(134, 157, 171), qRgb(134, 157, 171),
                         qRgb(186, 203, 213), qRgb(149, 171, 184), qRgb(58, 104, 138),
                         qRgb(186, 203, 213), qRgb(149, 171, 184), qRgb(85, 146, 181),
                         qRgb(109, 181, 220), qRgb(47, 100, 138), qRgb(99, 172, 211),
                         qRgb(109, 181, 220), qRgb(85, 146, 181), qRgb(99, 172, 211),
                         qRgb(47, 100, 138)},
        // clang-format on
        .textTop = 1,
        .textColour = qRgb(0, 0, 0),
        .pressedBands = true,
    },
    {
        .name = "disabled",
        .paint = PaintDisabledFace,
        .bandColours = std::nullopt,
        .flatFill = qRgb(244, 244, 244),
        .outerFrame = qRgb(173, 178, 181),
        .innerFrame = qRgb(252, 252, 252),
        .secondInnerFrame = std::nullopt,
        .lowerLine = std::nullopt,
        // clang-format off
        .outerCorners = {kButtonFace, qRgb(183, 197, 190), qRgb(175, 180, 183),
                         qRgb(177, 181, 174), qRgb(174, 179, 182), qRgb(175, 180, 183),
                         qRgb(183, 197, 190), kButtonFace, qRgb(177, 181, 174),
                         qRgb(174, 179, 182), qRgb(174, 179, 182), qRgb(177, 181, 174),
                         kButtonFace, qRgb(183, 197, 190), qRgb(175, 180, 183),
                         qRgb(174, 179, 182), qRgb(177, 181, 174), qRgb(175, 180, 183),
                         qRgb(183, 197, 190), kButtonFace},
        .innerCorners = {qRgb(192, 195, 198), qRgb(241, 242, 242), qRgb(242, 242, 243),
                         qRgb(251, 251, 251), qRgb(241, 242, 242), qRgb(192, 195, 198),
                         qRgb(251, 251, 251), qRgb(242, 242, 243), qRgb(242, 242, 243),
                         qRgb(251, 251, 251), qRgb(192, 195, 198), qRgb(243, 243, 244),
                         qRgb(251, 251, 251), qRgb(242, 242, 243), qRgb(243, 243, 244),
                         qRgb(192, 195, 198)},
        // clang-format on
        .textTop = 0,
        .textColour = qRgb(131, 131, 131),
        .pressedBands = false,
    },
}};

std::array<BandRows, 6> ExpectedBandRows(const ExpectedFace& face, int height) {
    using Rows = std::array<BandRows, 6>;
    static const std::map<std::pair<bool, int>, Rows> rows{
        {{false, 22}, Rows{{{2, 3}, {3, 6}, {6, 9}, {9, 12}, {12, 15}, {15, 20}}}},
        {{false, 25}, Rows{{{2, 4}, {4, 8}, {8, 12}, {12, 16}, {16, 20}, {20, 23}}}},
        {{false, 30}, Rows{{{2, 4}, {4, 8}, {8, 12}, {12, 16}, {16, 20}, {20, 28}}}},
        {{true, 22}, Rows{{{2, 5}, {5, 10}, {10, 14}, {14, 17}, {17, 20}, {20, 20}}}},
        {{true, 25}, Rows{{{2, 5}, {5, 10}, {10, 14}, {14, 18}, {18, 22}, {22, 23}}}},
        {{true, 30}, Rows{{{2, 6}, {6, 12}, {12, 17}, {17, 21}, {21, 25}, {25, 28}}}},
    };
    return rows.at({face.pressedBands, height});
}

std::array<QPoint, 20> OuterCornerPositions(int w, int h) {
    return {{{0, 0},         {1, 0},         {2, 0},         {0, 1},         {0, 2},
             {w - 3, 0},     {w - 2, 0},     {w - 1, 0},     {w - 1, 1},     {w - 1, 2},
             {0, h - 3},     {0, h - 2},     {0, h - 1},     {1, h - 1},     {2, h - 1},
             {w - 1, h - 3}, {w - 1, h - 2}, {w - 3, h - 1}, {w - 2, h - 1}, {w - 1, h - 1}}};
}

std::array<QPoint, 16> InnerCornerPositions(int w, int h) {
    return {{{1, 1},
             {2, 1},
             {1, 2},
             {2, 2},
             {w - 3, 1},
             {w - 2, 1},
             {w - 3, 2},
             {w - 2, 2},
             {1, h - 3},
             {2, h - 3},
             {1, h - 2},
             {2, h - 2},
             {w - 3, h - 3},
             {w - 2, h - 3},
             {w - 3, h - 2},
             {w - 2, h - 2}}};
}

ExpectedPixels ExpectedFacePixels(const ExpectedFace& face, int w, int h, QRgb buttonFace) {
    ExpectedPixels expected{QImage(w, h, QImage::Format_ARGB32),
                            std::vector<QString>(std::size_t(w * h))};
    expected.image.fill(Qt::transparent);
    auto set = [&](int x, int y, QRgb colour, const QString& part) {
        expected.image.setPixel(x, y, colour);
        expected.parts[std::size_t(y * w + x)] = part;
    };
    // Later parts lie over earlier ones, in the order they are painted.
    if (face.bandColours) {
        const auto bands = ExpectedBandRows(face, h);
        for (int band = 0; band < 6; ++band) {
            for (int y = bands[band].top; y < bands[band].bottom; ++y) {
                for (int x = 2; x < w - 2; ++x) {
                    set(x, y, (*face.bandColours)[band], QStringLiteral("band %1").arg(band + 1));
                }
            }
        }
    } else {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) set(x, y, face.flatFill, QStringLiteral("flat fill"));
        }
    }
    auto ring = [&](int inset, QRgb colour, const QString& part) {
        for (int y = inset; y < h - inset; ++y) {
            for (int x = inset; x < w - inset; ++x) {
                if (x == inset || x == w - 1 - inset || y == inset || y == h - 1 - inset) {
                    set(x, y, colour, part);
                }
            }
        }
    };
    ring(0, face.outerFrame, QStringLiteral("outer frame"));
    const auto outer = OuterCornerPositions(w, h);
    for (std::size_t i = 0; i < outer.size(); ++i) {
        set(outer[i].x(), outer[i].y(), face.outerCorners[i].value_or(buttonFace),
            QStringLiteral("outer corner %1").arg(i + 1));
    }
    ring(1, face.innerFrame, QStringLiteral("inner frame"));
    if (face.secondInnerFrame) ring(2, *face.secondInnerFrame, QStringLiteral("second frame"));
    if (face.lowerLine) {
        for (int x = 2; x <= w - 3; ++x) set(x, h - 2, *face.lowerLine, QStringLiteral("line"));
    }
    const auto inner = InnerCornerPositions(w, h);
    for (std::size_t i = 0; i < inner.size(); ++i) {
        set(inner[i].x(), inner[i].y(), face.innerCorners[i],
            QStringLiteral("inner corner %1").arg(i + 1));
    }
    return expected;
}
