#pragma once

#include "skin/ButtonFaces.h"

#include <QRect>

class QEvent;
class QPainter;
class QWidget;

// The button skin: a hooked window paints its owner-drawn push buttons (OwnerDrawButton)
// in the skin's banded faces instead of letting them paint themselves.
namespace modCmdVista {

// From now on the window's draw-item notifications of push buttons are painted by the
// skin. Hooking a window that is already hooked changes nothing. The hook belongs to the
// window: other hooked windows keep theirs, and destroying the window removes it.
void HookWindow(QWidget* window);

// Gives the window its own handling of draw-item notifications back. Unhooking a window
// that is not hooked changes nothing.
void UnhookWindow(QWidget* window);

// What a hooked window does with each of its events before its own handling sees it.
// Returns true when the skin painted a push button, which consumes (accepts) the
// notification; false for every other event, which then goes on unchanged to the
// window's previous handling, whose result the sender receives.
bool VistaWindowProc(QEvent* event);

// The face painter for a button's item state: disabled before pressed before focused.
FacePainter ChooseFacePainter(unsigned itemState);

// Paints one button completely: its caption is read from the button (a QAbstractButton;
// any other widget has none) and its face chosen by ChooseFacePainter.
void DrawVistaButton(QWidget* button, QPainter& painter, const QRect& rect, unsigned itemState);

}  // namespace modCmdVista
