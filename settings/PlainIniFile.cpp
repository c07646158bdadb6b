#include "settings/PlainIniFile.h"

#include <algorithm>

namespace {

const QByteArray kByteOrderMark = "\xef\xbb\xbf";

bool IsNameCharacter(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
           c == u'_';
}

bool IsPrintableAscii(QChar c) {
    return c >= u' ' && c <= u'~';
}

// Characters Qt reads specially outside quotes: a quote or an escape, a comment, a list, a key.
bool IsSpecialOutsideQuotes(QChar c) {
    return c == u'"' || c == u'\\' || c == u';' || c == u',' || c == u'=';
}

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// The text without the spaces and tabs at its ends (Qt's reader drops exactly these).
QString TrimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return text.mid(first, last - first);
}

// The text between double quotes with its \" and \\ escapes undone, or nothing when it holds
// another escape or a bare quote.
std::optional<QString> Unquote(const QString& quoted) {
    QString value;
    for (qsizetype i = 0; i < quoted.size(); ++i) {
        QChar c = quoted[i];
        if (c == u'"') return std::nullopt;
        if (c == u'\\') {
            if (++i == quoted.size()) return std::nullopt;
            c = quoted[i];
            if (c != u'"' && c != u'\\') return std::nullopt;
        }
        value += c;
    }
    return value;
}

// The value of a line's text after "=", blanks trimmed, or nothing when Qt would read it as
// something other than one text, or a rewrite could not give it back.
std::optional<QString> ParseValue(const QString& text) {
    if (!std::all_of(text.begin(), text.end(), IsPrintableAscii)) return std::nullopt;
    std::optional<QString> value;
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"')) {
        value = Unquote(text.mid(1, text.size() - 2));
    } else if (std::none_of(text.begin(), text.end(), IsSpecialOutsideQuotes)) {
        value = text;
    }
    if (!value || !PlainIniFile::IsWritableValue(*value)) return std::nullopt;
    return value;
}

// The section name of a header line ("[ name ]"), or nothing when the line is no header.
std::optional<QString> ParseHeader(const QString& line) {
    if (!line.startsWith(u'[') || !line.endsWith(u']')) return std::nullopt;
    return TrimBlanks(line.mid(1, line.size() - 2));
}

// The value as written: in quotes with its quotes and backslashes escaped when it has blanks
// at its ends or a character Qt reads specially, else as it is.
QByteArray EncodedValue(const QString& value) {
    const bool needsQuotes =
        (!value.isEmpty() && (IsBlank(value.front()) || IsBlank(value.back()))) ||
        std::any_of(value.begin(), value.end(), IsSpecialOutsideQuotes);
    if (!needsQuotes) return value.toLatin1();
    QByteArray quoted = "\"";
    for (const QChar c : value) {
        if (c == u'"' || c == u'\\') quoted += '\\';
        quoted += static_cast<char>(c.unicode());
    }
    return quoted + '"';
}

}  // namespace

bool PlainIniFile::IsPlainName(const QString& text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), IsNameCharacter);
}

bool PlainIniFile::IsWritableValue(const QString& text) {
    return !text.startsWith(u'@') && std::all_of(text.begin(), text.end(), IsPrintableAscii);
}

std::optional<PlainIniFile> PlainIniFile::Parse(const QByteArray& bytes) {
    PlainIniFile file;
    const QByteArray text =
        bytes.startsWith(kByteOrderMark) ? bytes.mid(kByteOrderMark.size()) : bytes;
    bool inSection = false;
    for (QByteArray rawLine : text.split('\n')) {
        if (rawLine.endsWith('\r')) rawLine.chop(1);
        // Latin-1 keeps every byte one character, so a byte outside ASCII fails the checks.
        const QString line = TrimBlanks(QString::fromLatin1(rawLine));
        if (line.isEmpty()) continue;
        if (const std::optional<QString> header = ParseHeader(line)) {
            if (inSection || !IsPlainName(*header)) return std::nullopt;
            file.section = *header;
            inSection = true;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inSection || equals < 0) return std::nullopt;
        const QString key = TrimBlanks(line.left(equals));
        const std::optional<QString> value = ParseValue(TrimBlanks(line.mid(equals + 1)));
        if (!IsPlainName(key) || !value) return std::nullopt;
        const bool repeated = std::any_of(file.entries.begin(), file.entries.end(),
                                          [&](const Entry& e) { return e.key == key; });
        if (repeated) return std::nullopt;
        file.entries.append(Entry{key, *value});
    }
    return file;
}

std::optional<QString> PlainIniFile::value(const QString& key) const {
    const auto found =
        std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.key == key; });
    if (found == entries.end()) return std::nullopt;
    return found->value;
}

void PlainIniFile::set(const QString& key, const QString& value) {
    const auto found =
        std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.key == key; });
    if (found != entries.end()) {
        found->value = value;
    } else {
        entries.append(Entry{key, value});
    }
}

QByteArray PlainIniFile::bytes() const {
    QByteArray text = '[' + section.toLatin1() + "]\n";
    for (const Entry& entry : entries)
        text += entry.key.toLatin1() + '=' + EncodedValue(entry.value) + '\n';
    return text;
}
