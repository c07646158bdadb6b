#include "skin/OwnerDrawButton.h"

#include "skin/DrawItemEvent.h"

#include <QCoreApplication>
#include <QKeyEvent>
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

void OwnerDrawButton::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void OwnerDrawButton::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        DrawItemEvent drawItem(DrawItemEvent::Button, this, &painter, rect(), itemState());
        if (QCoreApplication::sendEvent(window(), &drawItem) && drawItem.isAccepted()) return;
    }
    QPushButton::paintEvent(event);
}
