#include "about/LinkLabel.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

QFont WithoutUnderline(QFont font) {
    font.setUnderline(false);
    return font;
}

}  // namespace

QSize LinkLabel::sizeHint() const {
    QSize size = QLabel::sizeHint();
    if (font().underline()) {
        const QFontMetrics metrics(font());
        size.setHeight(std::max(size.height(), metrics.height() + metrics.lineWidth()));
    }
    return size;
}

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

void LinkLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFont face = WithoutUnderline(font());
    const QFontMetrics metrics(face);
    painter.setFont(face);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(QPoint(0, metrics.ascent()), text());
    if (!font().underline()) return;
    painter.fillRect(0, metrics.height(), width(), metrics.lineWidth(),
                     palette().color(foregroundRole()));
}
