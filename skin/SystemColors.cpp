#include "skin/SystemColors.h"

#include <QGuiApplication>
#include <QPalette>

QColor GetSysColor(SystemColor index) {
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
        case SystemColor::Window:
            return palette.color(QPalette::Active, QPalette::Base);
        case SystemColor::CaptionText:
            return palette.color(QPalette::Active, QPalette::HighlightedText);
        case SystemColor::ButtonFace:
            return palette.color(QPalette::Active, QPalette::Button);
    }
    return {};
}
