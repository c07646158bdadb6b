#pragma once

#include <QLabel>

// A one-line label that stands for a link: it reports a click (the left button pressed and
// released over it) and, as keyboard users and screen readers expect of a link, takes the
// focus with Tab and is followed with Enter or Space; assistive technologies see it as a link
// whose one action follows it. With the focus it draws the style's focus frame.
//
// With an underlined font it draws the underline on the row below the font's descenders,
// where it cannot strike through them, and grows by that row: at 9 pt the bitmap-like faces
// put their underline on a descender row (a "p" would read as an "e").
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);
    LinkLabel(const QString& text, QWidget* parent);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Follows the link as a click would.
    void activate() { emit clicked(); }

signals:
    void clicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_pressed = false;
};
