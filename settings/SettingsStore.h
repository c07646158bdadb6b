#pragma once

#include <QString>

// The per-user store of text values, addressed by application, section and key. Each
// application is one INI file in the user's configuration folder
// (${XDG_CONFIG_HOME:-~/.config}/APPLICATION.ini); other programs and older copies read
// these files, so values are kept as the exact texts written.
//
// Neither operation reports a failure: an unreadable or corrupt file reads as empty,
// and a write that cannot be saved (read-only folder or file) is dropped. Files are
// replaced atomically, never left half written.
class SettingsStore {
public:
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
    QString m_folder;
};
