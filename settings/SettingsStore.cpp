#include "settings/SettingsStore.h"

#include "settings/PlainIniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

namespace {

// Whether the file (a link followed to its target) may be opened: a regular file of at most
// kLargestFile bytes, or no file at all. Others are never read at length: a link to a device
// or a pipe could give no end of bytes, or none at all.
bool IsReadableSize(const QFileInfo& file) {
    return !file.exists() || (file.isFile() && file.size() <= SettingsStore::kLargestFile);
}

}  // namespace

SettingsStore::SettingsStore()
    : SettingsStore(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)) {}

SettingsStore::SettingsStore(const QString& folder) : m_folder(folder) {}

QString SettingsStore::FilePath(const QString& application) const {
    return m_folder + u'/' + application + QStringLiteral(".ini");
}

QString SettingsStore::ReadSetting(const QString& application, const QString& section,
                                   const QString& key, const QString& defaultValue) const {
    const QString path = FilePath(application);
    if (!IsReadableSize(QFileInfo(path))) return defaultValue;
    const QSettings file(path, QSettings::IniFormat);
    if (file.status() != QSettings::NoError) return defaultValue;
    const QVariant value = file.value(section + u'/' + key);
    // A value that is not one text (the INI reader turns "a,b" into a list) is not ours.
    if (!value.isValid() || value.typeId() != QMetaType::QString) return defaultValue;
    return value.toString();
}

void SettingsStore::WriteSetting(const QString& application, const QString& section,
                                 const QString& key, const QString& value) {
    const QString path = FilePath(application);
    const QFileInfo link(path);
    // The file to replace: the link's target when path is a symbolic link.
    const QString target = link.isSymLink() ? link.canonicalFilePath() : path;
    if (target.isEmpty()) return ReportLeftAlone(path, "it is a symbolic link to nothing");
    const QFileInfo info(target);
    if (!IsReadableSize(info)) {
        return ReportLeftAlone(path, "it is not a regular file of at most 1 MiB");
    }

    QByteArray bytes;
    if (info.exists()) {
        QFile current(target);
        if (!current.open(QIODevice::ReadOnly) || !info.isWritable()) return;
        // Read no further than the limit, also if the file has grown since it was measured.
        bytes = current.read(kLargestFile + 1);
        if (bytes.size() > kLargestFile) {
            return ReportLeftAlone(path, "it is not a regular file of at most 1 MiB");
        }
    }
    std::optional<PlainIniFile> file = PlainIniFile::Parse(bytes);
    if (!file || (!file->section.isEmpty() && file->section != section)) {
        return ReportLeftAlone(path, "it holds more than this program writes");
    }
    if (!PlainIniFile::IsPlainName(section) || !PlainIniFile::IsPlainName(key) ||
        !PlainIniFile::IsPlainValue(value)) {
        return ReportLeftAlone(path, "the value cannot be written plainly");
    }
    file->section = section;
    file->set(key, value);

    QSaveFile replacement(target);
    if (!replacement.open(QIODevice::WriteOnly)) return;
    replacement.write(file->bytes());
    replacement.commit();
}

void SettingsStore::ReportLeftAlone(const QString& path, const char* reason) {
    if (m_reported.contains(path)) return;
    m_reported.insert(path);
    qWarning("Settings file %s left as it is and the value not saved: %s", qUtf8Printable(path),
             reason);
}
