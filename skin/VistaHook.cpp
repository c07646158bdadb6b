#include "skin/VistaHook.h"

#include "skin/modCmdVista.h"

#include <QWidget>

VistaHook::VistaHook(QWidget* window) : QObject(window) {
    window->installEventFilter(this);
}

bool VistaHook::eventFilter(QObject* watched, QEvent* event) {
    if (watched != parent()) return false;
    return modCmdVista::VistaWindowProc(event);
}
