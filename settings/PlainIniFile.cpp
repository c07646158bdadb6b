#include "settings/PlainIniFile.h"

#include <algorithm>

namespace {

bool IsNameCharacter(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
           c == u'_';
}

bool IsValueCharacter(QChar c) {
    return IsNameCharacter(c) || c == u'.' || c == u'+' || c == u'-';
}

}  // namespace

bool PlainIniFile::IsPlainName(const QString& text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), IsNameCharacter);
}

bool PlainIniFile::IsPlainValue(const QString& text) {
    return std::all_of(text.begin(), text.end(), IsValueCharacter);
}

std::optional<PlainIniFile> PlainIniFile::Parse(const QByteArray& bytes) {
    PlainIniFile file;
    if (bytes.isEmpty()) return file;
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.last().isEmpty()) lines.removeLast();  // the LF that ends the last line

    // Latin-1 keeps every byte one character, so a byte outside ASCII fails the checks below.
    const QString header = QString::fromLatin1(lines.first());
    if (!header.startsWith(u'[') || !header.endsWith(u']')) return std::nullopt;
    file.section = header.mid(1, header.size() - 2);
    if (!IsPlainName(file.section)) return std::nullopt;

    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString line = QString::fromLatin1(lines[i]);
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) return std::nullopt;
        Entry entry{line.left(equals), line.mid(equals + 1)};
        if (!IsPlainName(entry.key) || !IsPlainValue(entry.value)) return std::nullopt;
        const bool repeated = std::any_of(file.entries.begin(), file.entries.end(),
                                          [&](const Entry& e) { return e.key == entry.key; });
        if (repeated) return std::nullopt;
        file.entries.append(entry);
    }
    return file;
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
        text += entry.key.toLatin1() + '=' + entry.value.toLatin1() + '\n';
    return text;
}
