#pragma once

#include <QColor>

// The Win32 system colours the program names, mapped onto the application palette in
// this one place, so that they follow the user's colour scheme as they do there.
enum class SystemColor {
    Window = 5,       // COLOR_WINDOW: window backgrounds
    CaptionText = 9,  // COLOR_CAPTIONTEXT: text of an active title bar
    ButtonFace = 15,  // COLOR_BTNFACE: face of push buttons
};

// The colour as the current application palette gives it; read anew at every call.
QColor GetSysColor(SystemColor index);
