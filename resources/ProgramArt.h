#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

// The program's pictures, compiled into it. Each call needs a QGuiApplication.

// The window icon, also the program's icon on the desktop: 32 x 32 px in colours of the
// standard 16-colour palette, transparent around the motif; for screens of twice the pixels
// also 64 x 64 px, each pixel doubled.
QIcon ProgramIcon();

// The About window's picture: the icon's motif on light grey, 32 x 32 logical px. On a screen
// of more device pixels each pixel is an n-by-n block, n the ratio rounded up.
QPixmap AboutPicture(qreal devicePixelRatio = 1.0);

// The link cursor: a pointing hand, 32 x 32 px, black and white, hotspot at the fingertip.
QCursor HandCursor();
