#include "settings/SettingsStore.h"

#include "settings/FileReplacement.h"
#include "settings/PlainIniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kTooLarge = QStringLiteral("it is not a regular file of at most 1 MiB");

// Whether the file (a link followed to its target) may be opened: a regular file of at most
// kLargestFile bytes, or no file at all. Others are never read at length: a link to a device
// or a pipe could give no end of bytes, or none at all.
bool IsReadableSize(const QFileInfo& file) {
    return !file.exists() || (file.isFile() && file.size() <= SettingsStore::kLargestFile);
}

QString SystemError(const QString& what) {
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

// The bytes of the file at path, which lstat found a regular file, or why they cannot be read.
// O_NOFOLLOW: a link put in its place since is not followed.
std::optional<QByteArray> ReadCurrent(const QString& path, QString& failure) {
    QFile file;
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        failure = SystemError(QStringLiteral("it cannot be read"));
        if (fd >= 0) close(fd);
        return std::nullopt;
    }
    // No further than the limit, also if the file has grown since it was measured.
    QByteArray bytes = file.read(SettingsStore::kLargestFile + 1);
    if (bytes.size() > SettingsStore::kLargestFile) {
        failure = kTooLarge;
        return std::nullopt;
    }
    return bytes;
}

// Why the existing file found by lstat must not be replaced, or an empty text.
QString WhyNotReplaced(const QString& path, const struct stat& found) {
    if (S_ISLNK(found.st_mode)) {
        return QStringLiteral("it is a symbolic link, and links are left as they are");
    }
    if (!S_ISREG(found.st_mode) || found.st_size > SettingsStore::kLargestFile) return kTooLarge;
    // Root may write any file: a file nobody may write is still not written.
    if ((found.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return QStringLiteral("the file is read-only");
    }
    // Replacing by rename needs only the folder: a file this user may not write stays as well.
    if (access(QFile::encodeName(path).constData(), W_OK) != 0) {
        return SystemError(QStringLiteral("it cannot be written"));
    }
    return QString();
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
    // A file the store can rewrite is read here: Qt keeps what it parsed of a file while its
    // size and time stamp stay the same, which a rewrite within a millisecond can keep.
    QFile current(path);
    if (!current.open(QIODevice::ReadOnly)) return defaultValue;
    if (const std::optional<PlainIniFile> plain =
            PlainIniFile::Parse(current.read(kLargestFile + 1))) {
        const std::optional<QString> value =
            plain->section == section ? plain->value(key) : std::nullopt;
        return value.value_or(defaultValue);
    }
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
    if (!PlainIniFile::IsPlainName(section) || !PlainIniFile::IsPlainName(key) ||
        !PlainIniFile::IsWritableValue(value)) {
        return ReportNotSaved(path, QStringLiteral("the value cannot be written plainly"));
    }

    struct stat found {};
    const bool exists = lstat(QFile::encodeName(path).constData(), &found) == 0;
    QByteArray bytes;
    if (exists) {
        const QString reason = WhyNotReplaced(path, found);
        if (!reason.isEmpty()) return ReportNotSaved(path, reason);
        QString failure;
        const std::optional<QByteArray> current = ReadCurrent(path, failure);
        if (!current) return ReportNotSaved(path, failure);
        bytes = *current;
    } else if (errno != ENOENT && errno != ENOTDIR) {
        return ReportNotSaved(path, SystemError(QStringLiteral("it cannot be looked at")));
    } else if (!QDir().mkpath(m_folder)) {
        return ReportNotSaved(path, QStringLiteral("its folder cannot be created"));
    }

    std::optional<PlainIniFile> file = PlainIniFile::Parse(bytes);
    if (!file || (!file->section.isEmpty() && file->section != section)) {
        return ReportNotSaved(path, QStringLiteral("it holds more than this program writes"));
    }
    file->section = section;
    file->set(key, value);

    const FileReplacement::Keep keep{found.st_mode, found.st_uid, found.st_gid};
    const QString failure = FileReplacement::Replace(path, file->bytes(), exists ? &keep : nullptr);
    if (!failure.isEmpty()) ReportNotSaved(path, failure);
}

void SettingsStore::ReportNotSaved(const QString& path, const QString& reason) {
    const QString report = path + u'\n' + reason;
    if (m_reported.contains(report)) return;
    m_reported.insert(report);
    qWarning("Settings file %s: the value is not saved: %s", qUtf8Printable(path),
             qUtf8Printable(reason));
}
