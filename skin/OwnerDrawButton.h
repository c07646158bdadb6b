#pragma once

#include <QPushButton>

// A push button whose painting its window may take over. Every paint sends a
// DrawItemEvent (control type Button) to the button's window; when nobody consumes
// it, the button paints itself the platform's way. Clicks, focus, Space and
// accessibility stay those of QPushButton.
class OwnerDrawButton : public QPushButton {
    Q_OBJECT
public:
    explicit OwnerDrawButton(const QString& text, QWidget* parent = nullptr);

    // The state bits the window is told: disabled, pressed (selected), focused.
    unsigned itemState() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
