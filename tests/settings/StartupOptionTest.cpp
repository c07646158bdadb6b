#include "settings/SettingsStore.h"
#include "settings/StartupOption.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

// Collects the warnings logged while it exists.
class WarningRecorder {
public:
    WarningRecorder() {
        s_current = this;
        m_previous = qInstallMessageHandler(&Record);
    }
    ~WarningRecorder() {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }
    WarningRecorder(const WarningRecorder&) = delete;
    WarningRecorder& operator=(const WarningRecorder&) = delete;

    QStringList messages;

private:
    static void Record(QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtWarningMsg) s_current->messages.append(message);
    }
    static inline WarningRecorder* s_current = nullptr;
    QtMessageHandler m_previous;
};

class StartupOptionTest : public ::testing::Test {
protected:
    QByteArray FileBytes() const {
        QFile file(m_store.FilePath(QStringLiteral("DUZodiro")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void WriteFile(const QByteArray& bytes) {
        QFile file(m_store.FilePath(QStringLiteral("DUZodiro")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QString Stored(const char* key) const {
        return m_store.ReadSetting(QStringLiteral("DUZodiro"), QStringLiteral("Nomal"),
                                   QString::fromLatin1(key), QStringLiteral("<absent>"));
    }

    QTemporaryDir m_folder;
    SettingsStore m_store{m_folder.path()};
};

TEST_F(StartupOptionTest, FirstRunWritesMarkerAndFalseAndReadsFalse) {
    EXPECT_FALSE(StartupOption::LoadStartupOption(m_store));
    EXPECT_EQ(FileBytes(), QByteArray("[Nomal]\nInstall=1\nIsShowLocal=False\n"));
}

TEST_F(StartupOptionTest, SavedCheckBoxIsReadAtNextStart) {
    StartupOption::LoadStartupOption(m_store);
    StartupOption::SaveStartupOption(m_store, 1);
    EXPECT_EQ(Stored("IsShowLocal"), QStringLiteral("1"));
    EXPECT_TRUE(StartupOption::LoadStartupOption(m_store));

    StartupOption::SaveStartupOption(m_store, 0);
    EXPECT_EQ(Stored("IsShowLocal"), QStringLiteral("0"));
    EXPECT_FALSE(StartupOption::LoadStartupOption(m_store));
    EXPECT_EQ(FileBytes(), QByteArray("[Nomal]\nInstall=1\nIsShowLocal=0\n"));
}

struct StoredOption {
    const char* name;
    QByteArray file;
    bool option;
    bool firstRun;  // the marker is rewritten and the option reset to "False"
};

class StoredOptionTest : public StartupOptionTest,
                         public ::testing::WithParamInterface<StoredOption> {};

TEST_P(StoredOptionTest, ReadsAsTheDesktopConversionDoes) {
    WriteFile(GetParam().file);
    EXPECT_EQ(StartupOption::LoadStartupOption(m_store), GetParam().option);
    EXPECT_EQ(Stored("Install"), QStringLiteral("1"));
    if (GetParam().firstRun) {
        EXPECT_EQ(Stored("IsShowLocal"), QStringLiteral("False"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, StoredOptionTest,
    ::testing::Values(
        StoredOption{"FalseWord", "[Nomal]\nInstall=1\nIsShowLocal=False\n", false, false},
        StoredOption{"TrueWord", "[Nomal]\nInstall=1\nIsShowLocal=True\n", true, false},
        StoredOption{"LowerTrue", "[Nomal]\nInstall=1\nIsShowLocal=true\n", true, false},
        StoredOption{"UpperFalse", "[Nomal]\nInstall=1\nIsShowLocal=FALSE\n", false, false},
        StoredOption{"Zero", "[Nomal]\nInstall=1\nIsShowLocal=0\n", false, false},
        StoredOption{"One", "[Nomal]\nInstall=1\nIsShowLocal=1\n", true, false},
        StoredOption{"Two", "[Nomal]\nInstall=1\nIsShowLocal=2\n", true, false},
        StoredOption{"MinusOne", "[Nomal]\nInstall=1\nIsShowLocal=-1\n", true, false},
        StoredOption{"Yes", "[Nomal]\nInstall=1\nIsShowLocal=yes\n", false, false},
        StoredOption{"Empty", "[Nomal]\nInstall=1\nIsShowLocal=\n", false, false},
        StoredOption{"Absent", "[Nomal]\nInstall=1\n", false, false},
        StoredOption{"Infinity", "[Nomal]\nInstall=1\nIsShowLocal=inf\n", false, false},
        StoredOption{"List", "[Nomal]\nInstall=1\nIsShowLocal=1,1\n", false, false},
        StoredOption{"MarkerZero", "[Nomal]\nInstall=0\nIsShowLocal=1\n", false, true},
        StoredOption{"MarkerYes", "[Nomal]\nInstall=yes\nIsShowLocal=1\n", false, true}),
    [](const auto& info) { return std::string(info.param.name); });

// Files the program did not write as they are: reading them follows the first-run rules,
// and neither the first run's writes nor the save at close change a byte of them.
struct ForeignFile {
    const char* name;
    QByteArray bytes;
    bool option;  // what the start-up option reads as
};

class ForeignFileTest : public StartupOptionTest,
                        public ::testing::WithParamInterface<ForeignFile> {};

TEST_P(ForeignFileTest, IsLeftByteForByteAndTheReasonLoggedOnce) {
    WriteFile(GetParam().bytes);
    WarningRecorder warnings;
    EXPECT_EQ(StartupOption::LoadStartupOption(m_store), GetParam().option);
    StartupOption::SaveStartupOption(m_store, 1);
    StartupOption::SaveStartupOption(m_store, 0);
    EXPECT_EQ(FileBytes(), GetParam().bytes);
    ASSERT_EQ(warnings.messages.size(), 1);
    EXPECT_TRUE(warnings.messages[0].contains(m_store.FilePath(QStringLiteral("DUZodiro"))));
}

INSTANTIATE_TEST_SUITE_P(
    Files, ForeignFileTest,
    ::testing::Values(
        ForeignFile{"Binary", QByteArray("\x00\xff\xfe[[=\n\x01", 9), false},
        ForeignFile{"OtherSectionWithGbkValue",
                    "[Nomal]\nInstall=1\nIsShowLocal=1\n\n[Other]\nName=\xc4\xe3\xba\xc3\n", true},
        ForeignFile{"OtherSectionWithBackslashes",
                    "[Nomal]\nInstall=1\nIsShowLocal=1\n\n[Other]\nPath=C:\\Program Files\\x\n",
                    true},
        ForeignFile{"PlainOtherSection", "[Nomal]\nInstall=1\nIsShowLocal=1\n[Other]\nKept=yes\n",
                    true},
        ForeignFile{"Comment", "; written by hand\n[Nomal]\nInstall=1\nIsShowLocal=0\n", false},
        ForeignFile{"CrLf", "[Nomal]\r\nInstall=1\r\nIsShowLocal=0\r\n", false},
        ForeignFile{"BlankLine", "[Nomal]\nInstall=1\n\nIsShowLocal=0\n", false},
        ForeignFile{"QuotedMarker", "[Nomal]\nInstall=\"1 \"\nIsShowLocal=1\n", false},
        ForeignFile{"MarkerInOtherSection", "[Normal]\nInstall=1\nIsShowLocal=1\n", false},
        ForeignFile{"RepeatedKey", "[Nomal]\nInstall=1\nIsShowLocal=0\nIsShowLocal=1\n", true},
        ForeignFile{"Oversized",
                    "[Nomal]\nInstall=1\nIsShowLocal=1\n" +
                        QByteArray(SettingsStore::kLargestFile, 'x') + '\n',
                    false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupOptionTest, LinkToAnotherFileLeavesThatFileAndTheLinkAsTheyAre) {
    const QString notes = m_folder.filePath(QStringLiteral("notes.txt"));
    const QByteArray text = "#!/bin/sh\necho not settings\n";
    QFile target(notes);
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.write(text);
    target.close();
    ASSERT_TRUE(QFile::link(notes, m_store.FilePath(QStringLiteral("DUZodiro"))));

    WarningRecorder warnings;
    EXPECT_FALSE(StartupOption::LoadStartupOption(m_store));
    StartupOption::SaveStartupOption(m_store, 1);
    EXPECT_EQ(FileBytes(), text);
    EXPECT_EQ(QFileInfo(m_store.FilePath(QStringLiteral("DUZodiro"))).symLinkTarget(), notes);
    EXPECT_EQ(warnings.messages.size(), 1);
}

TEST_F(StartupOptionTest, LinkToNothingCreatesNoFile) {
    const QString nowhere = m_folder.filePath(QStringLiteral("elsewhere/DUZodiro.ini"));
    ASSERT_TRUE(QFile::link(nowhere, m_store.FilePath(QStringLiteral("DUZodiro"))));
    WarningRecorder warnings;
    EXPECT_FALSE(StartupOption::LoadStartupOption(m_store));
    StartupOption::SaveStartupOption(m_store, 1);
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    EXPECT_EQ(warnings.messages.size(), 1);
}

struct PlainFile {
    const char* name;
    QByteArray before;
    QByteArray after;  // once the check box has been saved as checked
};

class PlainFileTest : public StartupOptionTest, public ::testing::WithParamInterface<PlainFile> {};

TEST_P(PlainFileTest, IsRewrittenWithNothingLost) {
    WriteFile(GetParam().before);
    WarningRecorder warnings;
    StartupOption::LoadStartupOption(m_store);
    StartupOption::SaveStartupOption(m_store, 1);
    EXPECT_EQ(FileBytes(), GetParam().after);
    EXPECT_TRUE(warnings.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, PlainFileTest,
    ::testing::Values(PlainFile{"Empty", "", "[Nomal]\nInstall=1\nIsShowLocal=1\n"},
                      PlainFile{"SectionOnly", "[Nomal]\n", "[Nomal]\nInstall=1\nIsShowLocal=1\n"},
                      PlainFile{"AsWritten", "[Nomal]\nInstall=1\nIsShowLocal=0\n",
                                "[Nomal]\nInstall=1\nIsShowLocal=1\n"},
                      PlainFile{"KeysTheOtherWayRound", "[Nomal]\nIsShowLocal=0\nInstall=1\n",
                                "[Nomal]\nIsShowLocal=1\nInstall=1\n"},
                      PlainFile{"NoLineFeedAtTheEnd", "[Nomal]\nInstall=1\nIsShowLocal=0",
                                "[Nomal]\nInstall=1\nIsShowLocal=1\n"},
                      PlainFile{"AnotherPlainKey", "[Nomal]\nInstall=1\nIsShowLocal=0\nLast=1.01\n",
                                "[Nomal]\nInstall=1\nIsShowLocal=1\nLast=1.01\n"},
                      PlainFile{"FirstRunOverAnotherMarker",
                                "[Nomal]\nInstall=yes\nIsShowLocal=1\n",
                                "[Nomal]\nInstall=1\nIsShowLocal=1\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupOptionTest, APlainFileIsReplacedWholeNotWrittenInPlace) {
    WriteFile("[Nomal]\nInstall=1\nIsShowLocal=0\n");
    // A second name for the old file keeps its bytes only if the file was replaced.
    const QString oldName = m_folder.filePath(QStringLiteral("old.ini"));
    ASSERT_EQ(link(QFile::encodeName(m_store.FilePath(QStringLiteral("DUZodiro"))).constData(),
                   QFile::encodeName(oldName).constData()),
              0);
    StartupOption::SaveStartupOption(m_store, 1);
    EXPECT_EQ(FileBytes(), QByteArray("[Nomal]\nInstall=1\nIsShowLocal=1\n"));
    QFile old(oldName);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("[Nomal]\nInstall=1\nIsShowLocal=0\n"));
}

TEST_F(StartupOptionTest, ALinkToAPlainFileIsFollowedAndStaysALink) {
    const QString real = m_folder.filePath(QStringLiteral("real.ini"));
    QFile target(real);
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.write("[Nomal]\nInstall=1\nIsShowLocal=0\n");
    target.close();
    ASSERT_TRUE(QFile::link(real, m_store.FilePath(QStringLiteral("DUZodiro"))));
    StartupOption::SaveStartupOption(m_store, 1);
    EXPECT_EQ(QFileInfo(m_store.FilePath(QStringLiteral("DUZodiro"))).symLinkTarget(), real);
    EXPECT_EQ(FileBytes(), QByteArray("[Nomal]\nInstall=1\nIsShowLocal=1\n"));
}

TEST_F(StartupOptionTest, ReadOnlyFileIsLeftAloneAndNothingFails) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes through file permissions";
    WriteFile("[Nomal]\nInstall=1\nIsShowLocal=0\n");
    QFile::setPermissions(m_store.FilePath(QStringLiteral("DUZodiro")), QFile::ReadOwner);
    StartupOption::SaveStartupOption(m_store, 1);
    EXPECT_FALSE(StartupOption::LoadStartupOption(m_store));
    EXPECT_EQ(FileBytes(), QByteArray("[Nomal]\nInstall=1\nIsShowLocal=0\n"));
}

TEST(SettingsStoreTest, MissingFolderReadsDefaultsAndDropsWrites) {
    QTemporaryDir parent;
    const QString folder = parent.path() + QStringLiteral("/file-not-folder");
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SettingsStore store(folder);  // the "folder" is a plain file: nothing can be saved in it
    StartupOption::SaveStartupOption(store, 1);
    EXPECT_FALSE(StartupOption::LoadStartupOption(store));
    EXPECT_FALSE(QFile::exists(store.FilePath(QStringLiteral("DUZodiro"))));
}

TEST(SettingsStoreTest, DefaultLocationIsTheUsersConfigFolder) {
    QTemporaryDir home;
    setenv("XDG_CONFIG_HOME", home.path().toLocal8Bit().constData(), 1);
    SettingsStore store;
    EXPECT_EQ(store.FilePath(QStringLiteral("DUZodiro")),
              home.path() + QStringLiteral("/DUZodiro.ini"));
}

}  // namespace
