#pragma once

#include <QRect>
#include <QString>

#include <array>

// The About window as designed, in twips; one pixel is 15 twips at 96 DPI.
namespace AboutLayout {

inline constexpr int kTwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) {
    return twips / kTwipsPerPixel;
}

// A place in twips from the client area's top-left corner.
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

inline constexpr int kClientWidth = 4890;
inline constexpr int kClientHeight = 2400;

enum class ControlKind {
    Label,      // sized to its caption
    LinkLabel,  // sized to its caption, blue, underlined, opens a link on a click
    Button,     // owner-drawn push button of the given size
    Picture,    // sized to its picture inside a sunken edge
};

struct Control {
    QString name;
    ControlKind kind;
    QString text;
    TwipRect place;  // labels and the picture size themselves: only left and top count
};

// The controls in tab order.
const std::array<Control, 11>& Controls();

}  // namespace AboutLayout
