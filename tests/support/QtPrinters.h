#pragma once

// How GoogleTest prints Qt's texts, colours and geometry in a failure message: as text,
// not as a list of bytes. Every test source sees this header (the test helper in
// tests/CMakeLists.txt includes it first), so all of them print the same way. Tests built without
// Qt skip it.

#if __has_include(<QString>)

#include <QRect>
#include <QString>

#include <cstdio>
#include <ostream>

// Printable characters as they are, in UTF-8; quotes, backslashes, line ends and every
// character that shows nothing (controls, U+FFFD, private use, lone surrogates) as escapes.
// A null string prints as QString(), so it can be told from an empty one.
inline void PrintTo(const QString& text, std::ostream* out) {
    if (text.isNull()) {
        *out << "QString()";
        return;
    }
    *out << '"';
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit == u'"' || unit == u'\\') {
            *out << '\\' << static_cast<char>(unit);
        } else if (unit == u'\r') {
            *out << "\\r";
        } else if (unit == u'\n') {
            *out << "\\n";
        } else if (unit == u'\t') {
            *out << "\\t";
        } else if (c.isPrint() && !c.isSurrogate() && c.category() != QChar::Other_PrivateUse &&
                   unit != 0xfffd) {
            *out << QString(c).toStdString();
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", unsigned{unit});
            *out << escape;
        }
    }
    *out << '"';
}

inline void PrintTo(const QPoint& point, std::ostream* out) {
    *out << "QPoint(" << point.x() << ", " << point.y() << ')';
}

inline void PrintTo(const QSize& size, std::ostream* out) {
    *out << "QSize(" << size.width() << ", " << size.height() << ')';
}

inline void PrintTo(const QRect& rect, std::ostream* out) {
    *out << "QRect(" << rect.x() << ", " << rect.y() << ", " << rect.width() << ", "
         << rect.height() << ')';
}

#if __has_include(<QColor>)
#include <QColor>

inline void PrintTo(const QColor& colour, std::ostream* out) {
    *out << colour.name(QColor::HexArgb).toStdString();
}
#endif

#endif
