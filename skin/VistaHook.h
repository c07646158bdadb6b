#pragma once

#include <QObject>

class QWidget;

// The skin's hold on one window: an event filter owned by the window, so it dies with
// it. It hands each of the window's events to modCmdVista::VistaWindowProc first.
class VistaHook : public QObject {
    Q_OBJECT
public:
    explicit VistaHook(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
