#pragma once

#include "resources/TwipLayout.h"

#include <QString>

#include <array>

// The About window as designed, in twips.
namespace AboutLayout {

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
