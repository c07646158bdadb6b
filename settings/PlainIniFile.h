#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The settings files the store can rewrite without losing anything: one section of keys with
// text values and nothing else. What a person or Qt may have added that carries no meaning is
// accepted and dropped on the rewrite: a UTF-8 byte order mark, blank lines, CR LF line ends,
// spaces and tabs around "=", around a value, inside the brackets or after the section header,
// and values in double quotes with \" and \\ escapes (Qt quotes a value with spaces at its ends
// or one of ";,=").
//
// Any other file (comments, other sections, keys before the section, repeated keys or
// sections, other escapes, lists, "@" values, text outside printable ASCII, binary data)
// cannot be written back without losing something, so the store leaves it alone.
struct PlainIniFile {
    struct Entry {
        QString key;
        QString value;
    };

    QString section;  // empty while the file holds no section
    QList<Entry> entries;

    // The file read from bytes, or nothing when they are not of a rewritable form.
    static std::optional<PlainIniFile> Parse(const QByteArray& bytes);
    // Whether a section or key name can be written: ASCII letters, digits and "_".
    static bool IsPlainName(const QString& text);
    // Whether a value can be written so that Qt reads it back as the same text: printable
    // ASCII, not starting with "@" (which Qt reads as a typed value).
    static bool IsWritableValue(const QString& text);

    // The value of key, if the file has it.
    std::optional<QString> value(const QString& key) const;
    // Replaces the value of key, or adds the key after the others.
    void set(const QString& key, const QString& value);
    // The bytes of the file as the store writes it: the header and one "Key=Value" line per
    // entry in their order, each ended by LF; a value is quoted only when it has to be.
    QByteArray bytes() const;
};
