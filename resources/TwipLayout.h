#pragma once

#include <QRect>

// Window layouts are written in twips, as designed, measured from the top-left corner
// of the client area; one pixel is 15 twips at 96 DPI.
inline constexpr int kTwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) {
    return twips / kTwipsPerPixel;
}

// A control's place in twips: left, top, width, height.
struct TwipRect {
    int left;
    int top;
    int width;
    int height;

    constexpr QRect toPixels() const {
        return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                TwipsToPixels(height)};
    }
};
