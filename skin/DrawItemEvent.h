#pragma once

#include <QEvent>
#include <QRect>

class QPainter;
class QWidget;

// The draw-item notification: an owner-drawn control asks the window it sits in to
// paint it. The control sends it synchronously to its window; the event carries the
// control, a painter already open on it, its rectangle and its state. The event arrives
// ignored; whoever paints the control consumes it by accepting it and returning true
// from its event handler or filter. An unconsumed event leaves the control to paint
// itself. (Returning true alone is not enough: QObject::event returns true for every
// custom event it passes to customEvent.)
class DrawItemEvent : public QEvent {
public:
    // What kind of control asks (the values of the Win32 ODT_* constants).
    enum ControlType { Menu = 1, ListBox = 2, ComboBox = 3, Button = 4, Static = 5 };

    // Bits of the item state (the values of the Win32 ODS_* constants).
    enum StateBit : unsigned {
        Selected = 0x0001,
        Grayed = 0x0002,
        Disabled = 0x0004,
        Checked = 0x0008,
        Focus = 0x0010,
    };

    DrawItemEvent(int controlType, QWidget* item, QPainter* painter, const QRect& rect,
                  unsigned itemState);

    static QEvent::Type eventType();

    int controlType() const { return m_controlType; }
    QWidget* item() const { return m_item; }
    QPainter* painter() const { return m_painter; }
    QRect rect() const { return m_rect; }
    unsigned itemState() const { return m_itemState; }

private:
    int m_controlType;
    QWidget* m_item;
    QPainter* m_painter;
    QRect m_rect;
    unsigned m_itemState;
};
