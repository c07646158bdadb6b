#pragma once

#include <QString>
#include <QtGlobal>

namespace client {

// The longest line the result box is given. Its three lines of 289 pixels show a few hundred
// characters, the service's items are far shorter, and laying out one unbroken word costs time
// that grows with the square of its length: a line of 2 MiB without spaces would hold the
// window for minutes, one of this length takes a millisecond.
inline constexpr qsizetype kResultBoxLineLength = 1024;

// text as the result box shows it: each line (a run between CR and LF characters) cut after its
// first kResultBoxLineLength characters, never inside a surrogate pair; the line breaks and
// the start of every line stay exactly as found.
QString ResultBoxText(const QString& text);

}  // namespace client
