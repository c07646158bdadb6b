#pragma once

#include <QSet>
#include <QString>

// The per-user store of text values, addressed by application, section and key. Each
// application is one INI file in the user's configuration folder
// (${XDG_CONFIG_HOME:-~/.config}/APPLICATION.ini); other programs and older copies read
// these files, so values are kept as the exact texts written.
//
// A file is rewritten only when rewriting loses nothing: when it holds nothing but what the
// store writes itself (PlainIniFile: the one section written to, plain keys and values).
// Any other file, a symbolic link to one, a file that is not a regular file and one larger
// than kLargestFile are left byte for byte as they are; the write is dropped and the reason
// logged on stderr, once per file and store. A link to a plain file is followed and its
// target replaced. Files are replaced atomically, never left half written.
//
// Neither operation reports a failure: an unreadable, corrupt or oversized file reads as
// empty, and a write that cannot be saved (read-only folder or file) is dropped.
class SettingsStore {
public:
    // Larger files are neither parsed nor rewritten.
    static constexpr qint64 kLargestFile = 1024 * 1024;

    // The store in the user's configuration folder.
    SettingsStore();
    // A store rooted in another folder (tests).
    explicit SettingsStore(const QString& folder);

    // The stored text, or defaultValue when absent or unreadable.
    QString ReadSetting(const QString& application, const QString& section, const QString& key,
                        const QString& defaultValue) const;
    void WriteSetting(const QString& application, const QString& section, const QString& key,
                      const QString& value);

    QString FilePath(const QString& application) const;

private:
    void ReportLeftAlone(const QString& path, const char* reason);

    QString m_folder;
    QSet<QString> m_reported;
};
