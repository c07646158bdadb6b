#include "resources/TwipLayout.h"

#include "resources/ProgramFont.h"

#include <QFontMetrics>

namespace {

// The program font's height in pixels as it is on this screen, and as designed.
struct FontHeights {
    int current;
    int designed;
};

FontHeights ProgramFontHeights() {
    constexpr int kDesignedPixelSize = 12;  // 9 pt at 96 DPI
    const QFont font = ProgramFont();
    QFont designed = font;
    designed.setPixelSize(kDesignedPixelSize);
    return {QFontMetrics(font).height(), QFontMetrics(designed).height()};
}

}  // namespace

int TwipsToPixels(int twips) {
    // Measured once: a window's layout must not change between its controls.
    static const FontHeights heights = ProgramFontHeights();
    return twips * heights.current / (kTwipsPerPixel * heights.designed);
}
