#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The one form of settings file the store rewrites: nothing but what it writes itself. One
// section header, then one "Key=Value" line per key, every line ended by LF (the last one may
// lack it), names of ASCII letters, digits and "_", values of those and ".+-" (none needs
// quoting or escaping). An empty file is one too, with no section yet.
//
// Any other file (comments, blank lines, CR LF, other sections, escapes, other encodings,
// binary data) cannot be written back without losing something, so the store leaves it alone.
struct PlainIniFile {
    struct Entry {
        QString key;
        QString value;
    };

    QString section;  // empty while the file is empty
    QList<Entry> entries;

    // The file read from bytes, or nothing when they are not of the plain form.
    static std::optional<PlainIniFile> Parse(const QByteArray& bytes);
    // Whether key and value can be written in the plain form.
    static bool IsPlainName(const QString& text);
    static bool IsPlainValue(const QString& text);

    // Replaces the value of key, or adds the key after the others.
    void set(const QString& key, const QString& value);
    // The bytes of the file: the header and the entries in their order, each line ended by LF.
    QByteArray bytes() const;
};
