#pragma once

#include <QByteArrayView>
#include <QRect>

class QPainter;

// The four faces of a skinned push button. Each paints the whole button, rounded
// corners and caption included, into `rect` = (0, 0, w, h) of the painter's
// coordinates, and nothing outside it. The caption is code page 936 text, drawn on
// one line in the painter's current font without antialiasing. The painter's state is
// the same on return; nothing the painters make outlives the call.
void PaintNormalFace(QPainter& painter, const QRect& rect, QByteArrayView caption);
void PaintFocusedFace(QPainter& painter, const QRect& rect, QByteArrayView caption);
void PaintPressedFace(QPainter& painter, const QRect& rect, QByteArrayView caption);
void PaintDisabledFace(QPainter& painter, const QRect& rect, QByteArrayView caption);

using FacePainter = void (*)(QPainter& painter, const QRect& rect, QByteArrayView caption);
