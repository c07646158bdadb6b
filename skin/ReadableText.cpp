#include "skin/ReadableText.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kBodyTextContrast = 4.5;

double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double RelativeLuminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) +
           0.0722 * Linear(rgb.blueF());
}

}  // namespace

double ContrastRatio(const QColor& first, const QColor& second) {
    const double a = RelativeLuminance(first);
    const double b = RelativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor ReadableTextColour(const QColor& preferred, const QColor& background) {
    if (ContrastRatio(preferred, background) >= kBodyTextContrast) return preferred;
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    return ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
}

void SetReadableTextColour(QPalette& palette, QPalette::ColorRole role, const QColor& preferred,
                           const QColor& background) {
    const QColor readable = ReadableTextColour(preferred, background);
    palette.setColor(QPalette::Active, role, readable);
    palette.setColor(QPalette::Inactive, role, readable);
}
