#include "LinkLabel.h"

#include <QMouseEvent>
#include <QPainter>

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_pressed = true;
    QLabel::mousePressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click) emit clicked();
}

void LinkLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!font().underline()) return;
    // A label sized to one line of a font whose underline lies below that line (AR PL UMing
    // at 9 pt puts it one row under its 12-px cell) would lose the underline; draw it in the
    // label's last row instead, where the bitmap face it stands for has it.
    const QFontMetrics metrics(font());
    if (metrics.ascent() + metrics.underlinePos() < height()) return;
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);
}
