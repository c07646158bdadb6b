#pragma once

#include <QRgb>

#include <array>
#include <optional>
#include <variant>

// A pixel near a corner of the button. A coordinate of 0 or more counts from the left
// or top edge, a negative one from the far edge: -1 is the last column or row.
struct EdgePixel {
    int x;
    int y;
};

// The six horizontal bands of a face. Band k ends floor(unit + offsets[k]) rows below
// its top (band 1 ends at that row itself); band 6 takes what is left.
struct FaceBands {
    std::array<double, 5> offsets;
    std::array<QRgb, 6> colours;
};

// The constants of one button face; PaintFace is the one drawing sequence that uses them.
struct FaceStyle {
    std::variant<FaceBands, QRgb> fill;  // the bands, or one flat fill of the whole button
    QRgb outerFrame;
    QRgb innerFrame;
    std::optional<QRgb> secondInnerFrame;
    std::optional<QRgb> lowerLine;
    // Along kOuterCornerPixels; no colour means the system's button-face colour.
    std::array<std::optional<QRgb>, 20> outerCorners;
    std::array<QRgb, 16> innerCorners;  // along kInnerCornerPixels
    int textInset;                      // rows taken off the top and bottom of the caption's box
    QRgb textColour;
};

// The rounded-off corners, in the order they are drawn.
extern const std::array<EdgePixel, 20> kOuterCornerPixels;
extern const std::array<EdgePixel, 16> kInnerCornerPixels;

extern const FaceStyle kNormalFace;
extern const FaceStyle kFocusedFace;
extern const FaceStyle kPressedFace;
extern const FaceStyle kDisabledFace;
