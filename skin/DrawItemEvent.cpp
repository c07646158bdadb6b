#include "skin/DrawItemEvent.h"

DrawItemEvent::DrawItemEvent(int controlType, QWidget* item, QPainter* painter, const QRect& rect,
                             unsigned itemState)
    : QEvent(eventType()),
      m_controlType(controlType),
      m_item(item),
      m_painter(painter),
      m_rect(rect),
      m_itemState(itemState) {
    ignore();
}

QEvent::Type DrawItemEvent::eventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}
