#include "skin/modCmdVista.h"

#include "skin/ButtonCaption.h"
#include "skin/DrawItemEvent.h"
#include "skin/VistaHook.h"

#include <QAbstractButton>
#include <QPainter>
#include <QWidget>

namespace modCmdVista {

namespace {

VistaHook* FindHook(QWidget* window) {
    return window->findChild<VistaHook*>(QString(), Qt::FindDirectChildrenOnly);
}

}  // namespace

void HookWindow(QWidget* window) {
    if (!window || FindHook(window)) return;
    new VistaHook(window);
}

void UnhookWindow(QWidget* window) {
    if (!window) return;
    delete FindHook(window);
}

bool VistaWindowProc(QEvent* event) {
    if (event->type() != DrawItemEvent::eventType()) return false;
    auto* drawItem = static_cast<DrawItemEvent*>(event);
    if (drawItem->controlType() != DrawItemEvent::Button || !drawItem->painter()) return false;
    DrawVistaButton(drawItem->item(), *drawItem->painter(), drawItem->rect(),
                    drawItem->itemState());
    drawItem->accept();
    return true;
}

FacePainter ChooseFacePainter(unsigned itemState) {
    if (itemState & DrawItemEvent::Disabled) return PaintDisabledFace;
    if (itemState & DrawItemEvent::Selected) return PaintPressedFace;
    if (itemState & DrawItemEvent::Focus) return PaintFocusedFace;
    return PaintNormalFace;
}

void DrawVistaButton(QWidget* button, QPainter& painter, const QRect& rect, unsigned itemState) {
    painter.setBackgroundMode(Qt::TransparentMode);
    const auto* pushButton = qobject_cast<const QAbstractButton*>(button);
    const QByteArray caption = pushButton ? CaptionBytes(pushButton->text()) : QByteArray();
    ChooseFacePainter(itemState)(painter, rect, caption);
}

}  // namespace modCmdVista
