#pragma once

#include <QSet>
#include <QString>

// The per-user store of text values, addressed by application, section and key. Each
// application is one INI file in the user's configuration folder
// (${XDG_CONFIG_HOME:-~/.config}/APPLICATION.ini); other programs and older copies read
// these files, so values are kept as the exact texts written.
//
// A file is rewritten only when rewriting loses nothing (PlainIniFile: one section, the one
// written to, of keys with text values); it is then written in the store's own form. Any
// other file, a symbolic link (to anything, itself included), a file that is not a regular
// file, one larger than kLargestFile and a read-only file (also for root) are left byte for
// byte as they are. Files are replaced whole by rename, with their mode and owner, and never
// when the new bytes could not all be written. A missing folder is created.
//
// Reading reports nothing: an unreadable, corrupt or oversized file reads as empty. A write
// that is not saved says why on stderr, once per file, reason and store.
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
    void ReportNotSaved(const QString& path, const QString& reason);

    QString m_folder;
    QSet<QString> m_reported;
};
