#pragma once

#include <QRect>

// Window layouts are written in twips, as designed, measured from the top-left corner of the
// client area; one pixel is 15 twips where the program's font is 9 pt at 96 DPI (12 pixels).
// Where the screen's logical resolution gives the font another size, the layout grows or
// shrinks with the font's height, so every text keeps the room it was given.
inline constexpr int kTwipsPerPixel = 15;

int TwipsToPixels(int twips);

// A control's place in twips: left, top, width, height.
struct TwipRect {
    int left;
    int top;
    int width;
    int height;

    QRect toPixels() const {
        return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                TwipsToPixels(height)};
    }
};
