#include "settings/StartupOption.h"
#include "tests/settings/SettingsFolderTest.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

using StartupOptionTest = SettingsFolderTest;

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

TEST(SettingsStoreTest, DefaultLocationIsTheUsersConfigFolder) {
    QTemporaryDir home;
    setenv("XDG_CONFIG_HOME", home.path().toLocal8Bit().constData(), 1);
    SettingsStore store;
    EXPECT_EQ(store.FilePath(QStringLiteral("DUZodiro")),
              home.path() + QStringLiteral("/DUZodiro.ini"));
}

}  // namespace
