#pragma once

#include <QByteArray>
#include <QStringView>

// The longest caption a button shows, in bytes: the window text as the system hands it
// to a 255-byte buffer, one byte of which holds the terminating zero.
inline constexpr qsizetype kMaxCaptionBytes = 254;

// A button's caption as it is painted: the text in code page 936, cut to
// kMaxCaptionBytes without splitting a two-byte character (a lead byte that would be
// left alone at the end is dropped with its trail byte).
QByteArray CaptionBytes(QStringView text);
