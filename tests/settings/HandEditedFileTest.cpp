// Settings files as a person, another program or an older copy may have left them: those the
// store can write back without losing anything are rewritten in its own form, the others are
// left byte for byte.
#include "settings/StartupOption.h"
#include "tests/settings/SettingsFolderTest.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSettings>
#include <QVariant>

#include <optional>

namespace {

const QByteArray kSavedChecked = "[Nomal]\nInstall=1\nIsShowLocal=1\n";

struct SettingsFile {
    const char* name;
    QByteArray before;
    bool option;                      // what the start-up option reads as
    std::optional<QByteArray> after;  // once saved as checked; none: left byte for byte
};

QHash<QString, QVariant> ValuesAsQtReadsThem(const QString& path) {
    const QSettings file(path, QSettings::IniFormat);
    QHash<QString, QVariant> values;
    for (const QString& key : file.allKeys()) values.insert(key, file.value(key));
    return values;
}

class HandEditedFileTest : public SettingsFolderTest,
                           public ::testing::WithParamInterface<SettingsFile> {};

TEST_P(HandEditedFileTest, IsRewrittenWhenNothingIsLostElseLeftAlone) {
    const SettingsFile& file = GetParam();
    // Qt's view of the file before, read from a copy: Qt reports a format error only to the
    // first reader of a file, which must be the store.
    const QString copy = m_folder.filePath(QStringLiteral("copy.ini"));
    QFile copyFile(copy);
    ASSERT_TRUE(copyFile.open(QIODevice::WriteOnly));
    copyFile.write(file.before);
    copyFile.close();
    QHash<QString, QVariant> others = ValuesAsQtReadsThem(copy);
    others.remove(QStringLiteral("Nomal/Install"));
    others.remove(QStringLiteral("Nomal/IsShowLocal"));
    WriteFile(file.before);

    WarningRecorder warnings;
    EXPECT_EQ(StartupOption::LoadStartupOption(m_store), file.option);
    StartupOption::SaveStartupOption(m_store, 1);

    if (!file.after) {
        EXPECT_EQ(FileBytes(), file.before);
        ASSERT_EQ(warnings.messages.size(), 1);
        EXPECT_TRUE(warnings.messages[0].contains(FilePath()));
        EXPECT_TRUE(warnings.messages[0].contains(u"holds more than this program writes") ||
                    warnings.messages[0].contains(u"1 MiB"));
        return;
    }
    EXPECT_EQ(FileBytes(), *file.after);
    EXPECT_EQ(warnings.messages, QStringList());
    EXPECT_TRUE(StartupOption::LoadStartupOption(m_store));
    // The rewritten file means to Qt what the hand-edited one did, the option aside.
    const QHash<QString, QVariant> after = ValuesAsQtReadsThem(FilePath());
    for (auto it = others.cbegin(); it != others.cend(); ++it)
        EXPECT_EQ(after.value(it.key()), it.value()) << it.key().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Files, HandEditedFileTest,
    ::testing::Values(
        // Rewritable: what the store writes, and edits that mean nothing to Qt.
        SettingsFile{"Empty", "", false, kSavedChecked},
        SettingsFile{"BlankLinesOnly", "\n \n\t\n", false, kSavedChecked},
        SettingsFile{"SectionOnly", "[Nomal]\n", false, kSavedChecked},
        SettingsFile{"AsWritten", "[Nomal]\nInstall=1\nIsShowLocal=0\n", false, kSavedChecked},
        SettingsFile{"KeysTheOtherWayRound", "[Nomal]\nIsShowLocal=0\nInstall=1\n", false,
                     "[Nomal]\nIsShowLocal=1\nInstall=1\n"},
        SettingsFile{"NoLineFeedAtTheEnd", "[Nomal]\nInstall=1\nIsShowLocal=0", false,
                     kSavedChecked},
        SettingsFile{"AnotherPlainKey", "[Nomal]\nInstall=1\nIsShowLocal=0\nLast=1.01\n", false,
                     "[Nomal]\nInstall=1\nIsShowLocal=1\nLast=1.01\n"},
        SettingsFile{"FirstRunOverAnotherMarker", "[Nomal]\nInstall=yes\nIsShowLocal=1\n", false,
                     kSavedChecked},
        SettingsFile{"SpacesAroundEquals", "[Nomal]\nInstall = 1\nIsShowLocal = 1\n", true,
                     kSavedChecked},
        SettingsFile{"TabBeforeEquals", "[Nomal]\nInstall\t=1\nIsShowLocal\t= 1 \n", true,
                     kSavedChecked},
        SettingsFile{"QuotedValues", "[Nomal]\nInstall=\"1\"\nIsShowLocal=\"1\"\n", true,
                     kSavedChecked},
        SettingsFile{"QuotedMarkerWithASpace", "[Nomal]\nInstall=\"1 \"\nIsShowLocal=1\n", false,
                     kSavedChecked},
        SettingsFile{"QuotedOtherValuesKeepTheirQuotes",
                     "[Nomal]\nInstall=1\nIsShowLocal=0\nNote = \" a;b=c \"\n"
                     "Path=\"C:\\\\x \\\"y\\\"\"\nPlain=\"a  b\"\n",
                     false,
                     "[Nomal]\nInstall=1\nIsShowLocal=1\nNote=\" a;b=c \"\n"
                     "Path=\"C:\\\\x \\\"y\\\"\"\nPlain=a  b\n"},
        SettingsFile{"BlankLines", "\n[Nomal]\n\nInstall=1\n\nIsShowLocal=0\n\n\n", false,
                     kSavedChecked},
        SettingsFile{"CrLf", "[Nomal]\r\nInstall=1\r\nIsShowLocal=1\r\n", true, kSavedChecked},
        SettingsFile{"ByteOrderMark", "\xef\xbb\xbf[Nomal]\nInstall=1\nIsShowLocal=0\n", false,
                     kSavedChecked},
        SettingsFile{"SpaceAfterSectionName", "[Nomal] \nInstall=1\nIsShowLocal=1\n", true,
                     kSavedChecked},
        SettingsFile{"SpacesInsideTheBrackets", "[ Nomal\t]\nInstall=1\nIsShowLocal=1\n", true,
                     kSavedChecked},
        SettingsFile{"AllAtOnce",
                     "\xef\xbb\xbf\r\n [Nomal] \r\n\tInstall\t= \"1\" \r\n\r\nIsShowLocal =0\r\n",
                     false, kSavedChecked},
        // Left alone: a rewrite would lose something.
        SettingsFile{"Binary", QByteArray("\x00\xff\xfe[[=\n\x01", 9), false, std::nullopt},
        SettingsFile{"OtherSectionWithGbkValue",
                     "[Nomal]\nInstall=1\nIsShowLocal=1\n\n[Other]\nName=\xc4\xe3\xba\xc3\n", true,
                     std::nullopt},
        SettingsFile{"PlainOtherSection", "[Nomal]\nInstall=1\nIsShowLocal=1\n[Other]\nKept=yes\n",
                     true, std::nullopt},
        SettingsFile{"SectionTwice", "[Nomal]\nInstall=1\n[Nomal]\nIsShowLocal=1\n", true,
                     std::nullopt},
        SettingsFile{"KeyBeforeTheSection", "Install=1\n[Nomal]\nIsShowLocal=1\n", false,
                     std::nullopt},
        SettingsFile{"Comment", "; written by hand\n[Nomal]\nInstall=1\nIsShowLocal=0\n", false,
                     std::nullopt},
        SettingsFile{"CommentAfterAValue", "[Nomal]\nInstall=1\nIsShowLocal=1 ; on\n", true,
                     std::nullopt},
        SettingsFile{"MarkerInOtherSection", "[Normal]\nInstall=1\nIsShowLocal=1\n", false,
                     std::nullopt},
        SettingsFile{"RepeatedKey", "[Nomal]\nInstall=1\nIsShowLocal=0\nIsShowLocal=1\n", true,
                     std::nullopt},
        SettingsFile{"List", "[Nomal]\nInstall=1\nIsShowLocal=0\nHosts=a,b\n", false, std::nullopt},
        SettingsFile{"OtherEscape", "[Nomal]\nInstall=1\nIsShowLocal=0\nNote=\"a\\tb\"\n", false,
                     std::nullopt},
        SettingsFile{"LineContinued", "[Nomal]\nInstall=1\nNote=a\\\nIsShowLocal=1\n", false,
                     std::nullopt},
        SettingsFile{"UnendedQuote", "[Nomal]\nInstall=1\nIsShowLocal=0\nNote=\"a\n", false,
                     std::nullopt},
        SettingsFile{"TypedValue", "[Nomal]\nInstall=1\nIsShowLocal=0\nSize=@Size(1 2)\n", false,
                     std::nullopt},
        SettingsFile{"TabInsideAValue", "[Nomal]\nInstall=1\nIsShowLocal=0\nNote=a\tb\n", false,
                     std::nullopt},
        SettingsFile{"BareCarriageReturn", "[Nomal]\nInstall=1\rIsShowLocal=1\n", true,
                     std::nullopt},
        SettingsFile{"Utf8Value", "[Nomal]\nInstall=1\nIsShowLocal=0\nName=你好\n", false,
                     std::nullopt},
        SettingsFile{"Oversized",
                     "[Nomal]\nInstall=1\nIsShowLocal=1\n" +
                         QByteArray(SettingsStore::kLargestFile, 'x') + '\n',
                     false, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// Links are left as they are, whatever they point to: the option is read through them, and
// neither the link nor its target changes.
struct Link {
    const char* name;
    const char* target;               // relative to the folder; "DUZodiro.ini" is the link itself
    std::optional<QByteArray> bytes;  // of the target; none: there is no target
    bool option;
};

class LinkTest : public SettingsFolderTest, public ::testing::WithParamInterface<Link> {};

TEST_P(LinkTest, IsLeftAsItIsAndTheReasonLoggedOnce) {
    const Link& link = GetParam();
    const QString target = m_folder.filePath(QString::fromUtf8(link.target));
    if (link.bytes) {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(*link.bytes);
    }
    ASSERT_TRUE(QFile::link(target, FilePath()));

    WarningRecorder warnings;
    EXPECT_EQ(StartupOption::LoadStartupOption(m_store), link.option);
    StartupOption::SaveStartupOption(m_store, 0);

    EXPECT_EQ(QFileInfo(FilePath()).symLinkTarget(), target);
    if (link.bytes) {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), *link.bytes);
    } else {
        EXPECT_FALSE(QFileInfo::exists(target));
    }
    ASSERT_EQ(warnings.messages.size(), 1);
    EXPECT_TRUE(warnings.messages[0].contains(u"symbolic link"));
}

INSTANTIATE_TEST_SUITE_P(
    Links, LinkTest,
    ::testing::Values(Link{"ToAPlainFile", "real.ini", kSavedChecked, true},
                      Link{"ToAnotherFile", "notes.txt", "#!/bin/sh\necho not settings\n", false},
                      Link{"ToNothing", "elsewhere/DUZodiro.ini", std::nullopt, false},
                      Link{"ToItself", "DUZodiro.ini", std::nullopt, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
