#pragma once

#include "skin/ButtonFaces.h"

#include <QImage>
#include <QRgb>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// What each button face must look like, written down independently of the painters.
struct ExpectedFace {
    const char* name;
    FacePainter paint;
    std::optional<std::array<QRgb, 6>> bandColours;  // none: one flat fill
    QRgb flatFill;
    QRgb outerFrame;
    QRgb innerFrame;
    std::optional<QRgb> secondInnerFrame;
    std::optional<QRgb> lowerLine;
    std::array<std::optional<QRgb>, 20> outerCorners;  // none: the button-face colour
    std::array<QRgb, 16> innerCorners;
    int textTop;  // the caption box is rows textTop .. h - 1 - textTop
    QRgb textColour;
    bool pressedBands;  // the pressed face's band offsets
};

extern const std::array<ExpectedFace, 4> kExpectedFaces;

// Rows [top, bottom) of the six bands for a button of the given height; only heights
// 22, 25 and 30 are written down.
struct BandRows {
    int top;
    int bottom;
};
std::array<BandRows, 6> ExpectedBandRows(const ExpectedFace& face, int height);

// The positions of the outer and inner corner pixels, in drawing order.
std::array<QPoint, 20> OuterCornerPositions(int width, int height);
std::array<QPoint, 16> InnerCornerPositions(int width, int height);

// The face without caption, pixel for pixel, and which part of the face each pixel is.
struct ExpectedPixels {
    QImage image;
    std::vector<QString> parts;  // row by row
    QString partAt(int x, int y) const { return parts[std::size_t(y * image.width() + x)]; }
};
ExpectedPixels ExpectedFacePixels(const ExpectedFace& face, int width, int height, QRgb buttonFace);
