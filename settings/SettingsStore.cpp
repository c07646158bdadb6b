#include "SettingsStore.h"

#include <QSettings>
#include <QStandardPaths>

SettingsStore::SettingsStore()
    : SettingsStore(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)) {}

SettingsStore::SettingsStore(const QString& folder) : m_folder(folder) {}

QString SettingsStore::FilePath(const QString& application) const {
    return m_folder + u'/' + application + QStringLiteral(".ini");
}

QString SettingsStore::ReadSetting(const QString& application, const QString& section,
                                   const QString& key, const QString& defaultValue) const {
    const QSettings file(FilePath(application), QSettings::IniFormat);
    if (file.status() != QSettings::NoError) return defaultValue;
    const QVariant value = file.value(section + u'/' + key);
    // A value that is not one text (the INI reader turns "a,b" into a list) is not ours.
    if (!value.isValid() || value.typeId() != QMetaType::QString) return defaultValue;
    return value.toString();
}

void SettingsStore::WriteSetting(const QString& application, const QString& section,
                                 const QString& key, const QString& value) {
    QSettings file(FilePath(application), QSettings::IniFormat);
    // Rewriting a file that could not be read would throw its other contents away.
    if (file.status() != QSettings::NoError) return;
    file.setValue(section + u'/' + key, value);
    file.sync();
}
