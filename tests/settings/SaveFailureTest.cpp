// Saving where the file or its folder cannot take it: the old file stays as it was, no new
// file is left beside it, and the reason is logged.
#include "settings/StartupOption.h"
#include "tests/settings/PrivateMount.h"
#include "tests/settings/SettingsFolderTest.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kSaved = "[Nomal]\nInstall=1\nIsShowLocal=0\n";
const QByteArray kSavedChecked = "[Nomal]\nInstall=1\nIsShowLocal=1\n";

QString ErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

mode_t Mode(const QString& path) {
    struct stat found {};
    EXPECT_EQ(stat(QFile::encodeName(path).constData(), &found), 0);
    return found.st_mode & 07777;
}

class SaveFailureTest : public SettingsFolderTest {
protected:
    QStringList FolderEntries() const {
        return QDir(m_folder.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    // Saves the check box as checked; the one warning logged must name the file and why.
    void ExpectNotSaved(const QString& why) {
        WarningRecorder warnings;
        StartupOption::SaveStartupOption(m_store, 1);
        StartupOption::SaveStartupOption(m_store, 1);
        ASSERT_EQ(warnings.messages.size(), 1) << warnings.messages.join(u'\n').toStdString();
        EXPECT_TRUE(warnings.messages[0].contains(FilePath()));
        EXPECT_TRUE(warnings.messages[0].contains(why)) << warnings.messages[0].toStdString();
        EXPECT_EQ(FileBytes(), kSaved);
    }
};

// A tmpfs on the store's folder, taken off again at the end.
class TmpfsFolderTest : public SaveFailureTest {
protected:
    void SetUp() override {
        const QString failure = PrivateMount::MountTmpfs(m_folder.path(), 8 * 1024);
        if (!failure.isEmpty()) GTEST_SKIP() << "no private tmpfs: " << failure.toStdString();
        m_mounted = true;
    }
    void TearDown() override {
        if (m_mounted) PrivateMount::Unmount(m_folder.path());
    }

private:
    bool m_mounted = false;
};

TEST_F(TmpfsFolderTest, FullDiskKeepsTheOldFile) {
    WriteFile(kSaved);
    QFile filler(m_folder.filePath(QStringLiteral("filler")));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray page(4096, 'x');
    for (int pages = 0; pages < 64 && filler.write(page) == page.size(); ++pages) {
    }
    filler.close();
    ASSERT_LT(QFileInfo(filler).size(), 64 * 4096) << "the tmpfs never filled up";

    ExpectNotSaved(ErrorText(ENOSPC));
    EXPECT_EQ(FolderEntries(),
              QStringList({QStringLiteral("DUZodiro.ini"), QStringLiteral("filler")}));
}

TEST_F(TmpfsFolderTest, ReadOnlyFolderKeepsTheOldFile) {
    WriteFile(kSaved);
    const QString failure = PrivateMount::MakeReadOnly(m_folder.path());
    if (!failure.isEmpty()) GTEST_SKIP() << failure.toStdString();
    ExpectNotSaved(ErrorText(EROFS));
    EXPECT_EQ(FolderEntries(), QStringList({QStringLiteral("DUZodiro.ini")}));
}

TEST_F(SaveFailureTest, FolderWithoutWritePermissionKeepsTheOldFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes in any folder (the read-only tmpfs case covers root)";
    WriteFile(kSaved);
    ASSERT_TRUE(QFile::setPermissions(m_folder.path(), QFile::ReadOwner | QFile::ExeOwner));
    ExpectNotSaved(ErrorText(EACCES));
    EXPECT_EQ(FolderEntries(), QStringList({QStringLiteral("DUZodiro.ini")}));
    QFile::setPermissions(m_folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(SaveFailureTest, ReadOnlyFileIsNeverWrittenEvenByRoot) {
    WriteFile(kSaved);
    ASSERT_TRUE(
        QFile::setPermissions(FilePath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    ExpectNotSaved(QStringLiteral("read-only"));
    EXPECT_EQ(Mode(FilePath()), 0444u);
    EXPECT_FALSE(StartupOption::LoadStartupOption(m_store));
}

TEST_F(SaveFailureTest, ModeOfTheFileIsKept) {
    WriteFile(kSaved);
    ASSERT_EQ(chmod(QFile::encodeName(FilePath()).constData(), 0604), 0);
    StartupOption::SaveStartupOption(m_store, 1);
    EXPECT_EQ(FileBytes(), kSavedChecked);
    EXPECT_EQ(Mode(FilePath()), 0604u);
}

TEST_F(SaveFailureTest, OwnerOfTheFileIsKeptByRoot) {
    if (geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
    constexpr uid_t kNobody = 65534;
    WriteFile(kSaved);
    ASSERT_EQ(chown(QFile::encodeName(FilePath()).constData(), kNobody, kNobody), 0);
    StartupOption::SaveStartupOption(m_store, 1);
    EXPECT_EQ(FileBytes(), kSavedChecked);
    struct stat found {};
    ASSERT_EQ(stat(QFile::encodeName(FilePath()).constData(), &found), 0);
    EXPECT_EQ(found.st_uid, kNobody);
    EXPECT_EQ(found.st_gid, kNobody);
}

TEST(SettingsStoreTest, MissingFolderIsCreated) {
    QTemporaryDir parent;
    SettingsStore store(parent.filePath(QStringLiteral("config/deeper")));
    WarningRecorder warnings;
    EXPECT_FALSE(StartupOption::LoadStartupOption(store));
    StartupOption::SaveStartupOption(store, 1);
    QFile file(store.FilePath(QStringLiteral("DUZodiro")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), kSavedChecked);
    EXPECT_EQ(warnings.messages, QStringList());
}

TEST(SettingsStoreTest, FolderThatIsAFileReadsDefaultsAndSaysWhy) {
    QTemporaryDir parent;
    const QString folder = parent.filePath(QStringLiteral("file-not-folder"));
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SettingsStore store(folder);
    WarningRecorder warnings;
    StartupOption::SaveStartupOption(store, 1);
    EXPECT_FALSE(StartupOption::LoadStartupOption(store));
    EXPECT_FALSE(QFileInfo(folder).isDir());
    ASSERT_EQ(warnings.messages.size(), 1);
    EXPECT_TRUE(warnings.messages[0].contains(u"folder cannot be created"));
}

}  // namespace
