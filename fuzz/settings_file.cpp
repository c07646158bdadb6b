// The settings file as another program or an older copy may have left it: any bytes. The
// start-up option is read from it and written back; what must hold is that a file the store
// cannot rewrite without loss stays byte for byte, and that in one it rewrites the program
// finds its own values again and the file's other values survive as Qt reads them.
#include "fuzz/Require.h"
#include "settings/PlainIniFile.h"
#include "settings/SettingsStore.h"
#include "settings/StartupOption.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSettings>
#include <QTemporaryDir>
#include <QVariant>

#include <cstddef>
#include <cstdint>

namespace {

const QString kApplication = QStringLiteral("DUZodiro");
const QString kSection = QStringLiteral("Nomal");
const QString kMarker = QStringLiteral("Nomal/Install");
const QString kOption = QStringLiteral("Nomal/IsShowLocal");

// Qt keeps parsed settings files in a cache that trusts the file's size and time stamp, and
// an iteration can rewrite the file within one tick: iterations take turns over enough
// folders that none is reused soon. A fixed set keeps that cache from growing, which would
// make every iteration look like a leak to the sanitizer.
QString EmptyFolder() {
    constexpr quint64 kFolders = 64;
    static QTemporaryDir root;
    static quint64 iteration = 0;
    const QString folder = root.path() + u'/' + QString::number(++iteration % kFolders);
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    return folder;
}

struct FileContents {
    bool readable = false;
    QHash<QString, QVariant> values;
};

FileContents Read(const QString& path) {
    const QSettings file(path, QSettings::IniFormat);
    FileContents contents;
    contents.readable = file.status() == QSettings::NoError;
    for (const QString& key : file.allKeys()) contents.values.insert(key, file.value(key));
    return contents;
}

void CheckOthersSurvive(const FileContents& before, const FileContents& after) {
    for (auto it = before.values.cbegin(); it != before.values.cend(); ++it) {
        // Qt takes "Nomal//Install" for the marker as well, and writes it back as the marker.
        const QString key = it.key().split(u'/', Qt::SkipEmptyParts).join(u'/');
        if (key == kMarker || key == kOption) continue;
        Require(after.values.value(it.key()) == it.value(), "other values survive a write");
    }
}

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Whether the store may rewrite the file: one section, the one it writes, of keys with text
// values, however spaced, quoted or ended.
bool RewritableByTheStore(const QByteArray& bytes) {
    const auto plain = PlainIniFile::Parse(bytes);
    return plain && (plain->section.isEmpty() || plain->section == kSection);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString folder = EmptyFolder();
    SettingsStore store(folder);
    const QString path = store.FilePath(kApplication);
    const QByteArray original(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // The contents before are read from a copy: Qt reports a format error only to the first
    // reader of a file in a process, and in the program the store is that reader.
    const QString copy = folder + QStringLiteral("/before.ini");
    for (const QString& written : {path, copy}) {
        QFile file(written);
        Require(file.open(QIODevice::WriteOnly), "the settings file can be written");
        file.write(original);
    }
    const FileContents before = Read(copy);
    const bool currentOption = size % 2 == 1;
    const int checkValue = static_cast<int>(size % 3);

    const bool option = StartupOption::LoadStartupOption(store, currentOption);
    if (!RewritableByTheStore(original)) {
        StartupOption::SaveStartupOption(store, checkValue);
        Require(Bytes(path) == original, "a file the store cannot rewrite is left byte for byte");
        if (!before.readable) Require(!option, "an unreadable file reads false");
        return 0;
    }
    const FileContents afterLoad = Read(path);
    Require(afterLoad.readable, "a file the store rewrote stays readable");
    Require(afterLoad.values.value(kMarker) == QStringLiteral("1"), "the marker is set");
    CheckOthersSurvive(before, afterLoad);
    if (before.values.value(kMarker) != QStringLiteral("1")) {
        Require(!option, "a first run reads false");
        Require(afterLoad.values.value(kOption) ==
                    (currentOption ? QStringLiteral("True") : QStringLiteral("False")),
                "a first run stores the current option");
    } else {
        const QVariant stored = before.values.value(kOption);
        Require(option == (stored.typeId() == QMetaType::QString &&
                           StartupOption::TextToBoolean(stored.toString())),
                "the option is the stored text read as a Boolean");
    }
    StartupOption::SaveStartupOption(store, checkValue);
    Require(StartupOption::LoadStartupOption(store) == (checkValue != 0),
            "a saved check box value reads back");
    CheckOthersSurvive(before, Read(path));
    return 0;
}
