#include "SettingsStore.h"
#include "StartupOption.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

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
        StoredOption{"MarkerYes", "[Nomal]\nInstall=yes\nIsShowLocal=1\n", false, true},
        StoredOption{"MarkerWithSpace", "[Nomal]\nInstall=\"1 \"\nIsShowLocal=1\n", false, true},
        StoredOption{"MarkerInOtherSection", "[Normal]\nInstall=1\nIsShowLocal=1\n", false, true},
        StoredOption{"Binary", QByteArray("\x00\xff\xfe[[=\n\x01", 9), false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupOptionTest, OtherKeysOfTheFileSurviveAWrite) {
    WriteFile("[Nomal]\nInstall=1\nIsShowLocal=0\n\n[Other]\nKept=yes\n");
    StartupOption::SaveStartupOption(m_store, 1);
    EXPECT_EQ(Stored("IsShowLocal"), QStringLiteral("1"));
    EXPECT_EQ(m_store.ReadSetting(QStringLiteral("DUZodiro"), QStringLiteral("Other"),
                                  QStringLiteral("Kept"), QString()),
              QStringLiteral("yes"));
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
