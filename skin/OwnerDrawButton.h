#pragma once

#include <QPushButton>

// A push button whose painting its window may take over. Every paint sends a
// DrawItemEvent (control type Button) to the button's window; when nobody consumes
// it, the button paints itself the platform's way. Clicks, focus, Space and
// accessibility stay those of QPushButton; Enter presses the button while it has the
// focus, although it is never a window's default button.
class OwnerDrawButton : public QPushButton {
    Q_OBJECT
public:
    explicit OwnerDrawButton(const QString& text, QWidget* parent = nullptr);

    // The state bits the window is told: disabled, pressed (selected), focused.
    unsigned itemState() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
