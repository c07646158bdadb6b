#pragma once

#include <QColor>
#include <QPalette>

// Text colours for backgrounds that follow the user's colour scheme. A text colour is kept
// when it reads well on its background, as body text needs (a contrast ratio of at least
// 4.5:1); otherwise the text turns black or white, whichever stands out more. Schemes in
// which the designed colours read well therefore show exactly the designed colours.

// The contrast ratio of two colours, from 1 (the same) to 21 (black and white), computed
// from their relative luminance in sRGB; alpha is ignored.
double ContrastRatio(const QColor& first, const QColor& second);

QColor ReadableTextColour(const QColor& preferred, const QColor& background);

// Gives `role` that colour in the active and inactive groups of `palette`. Disabled text
// keeps the palette's own colour: it is meant to stand out less.
void SetReadableTextColour(QPalette& palette, QPalette::ColorRole role, const QColor& preferred,
                           const QColor& background);
