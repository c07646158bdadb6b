#include "OwnerDrawButton.h"

#include "DrawItemEvent.h"

#include <QCoreApplication>
#include <QPainter>

OwnerDrawButton::OwnerDrawButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setAutoDefault(false);
    setDefault(false);
}

unsigned OwnerDrawButton::itemState() const {
    unsigned state = 0;
    if (!isEnabled()) state |= DrawItemEvent::Disabled;
    if (isDown()) state |= DrawItemEvent::Selected;
    if (hasFocus()) state |= DrawItemEvent::Focus;
    return state;
}

void OwnerDrawButton::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        DrawItemEvent drawItem(DrawItemEvent::Button, this, &painter, rect(), itemState());
        if (QCoreApplication::sendEvent(window(), &drawItem) && drawItem.isAccepted()) return;
    }
    QPushButton::paintEvent(event);
}
