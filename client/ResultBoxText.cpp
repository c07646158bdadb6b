#include "client/ResultBoxText.h"

namespace client {
namespace {

bool IsLineBreak(QChar c) {
    return c == u'\r' || c == u'\n';
}

}  // namespace

QString ResultBoxText(const QString& text) {
    QString shown;
    shown.reserve(qMin(text.size(), 3 * kResultBoxLineLength + 16));
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = lineStart;
        while (lineEnd < text.size() && !IsLineBreak(text.at(lineEnd))) ++lineEnd;
        qsizetype kept = qMin(lineEnd - lineStart, kResultBoxLineLength);
        if (kept < lineEnd - lineStart && text.at(lineStart + kept - 1).isHighSurrogate()) --kept;
        shown.append(QStringView(text).mid(lineStart, kept));
        if (lineEnd == text.size()) break;
        shown.append(text.at(lineEnd));
        lineStart = lineEnd + 1;
    }
    return shown;
}

}  // namespace client
