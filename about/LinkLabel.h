#pragma once

#include <QLabel>

// A one-line label that stands for a link: it reports a click (the left button pressed and
// released over it). With an underlined font it draws the underline on the row below the
// font's descenders, where it cannot strike through them, and grows by that row: at 9 pt
// the bitmap-like faces put their underline on a descender row (a "p" would read as an "e").
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_pressed = false;
};
