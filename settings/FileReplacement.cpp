#include "settings/FileReplacement.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileReplacement {
namespace {

// What failed and the system's reason. The new file's random name is left out: a report names
// the file it was to replace.
QString Failure(const char* what) {
    return QString::fromUtf8(what) + QStringLiteral(": ") +
           QString::fromLocal8Bit(std::strerror(errno));
}

// A new file beside path that no one else has opened: its name ends in a random suffix.
int CreateBeside(const QString& path, QString& created) {
    constexpr int kTries = 16;
    const QFileInfo info(path);
    for (int i = 0; i < kTries; ++i) {
        created = info.path() + QStringLiteral("/.") + info.fileName() + u'.' +
                  QString::number(QRandomGenerator::global()->generate(), 36);
        const int fd = open(QFile::encodeName(created).constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool WriteAll(int fd, const QByteArray& bytes) {
    const char* next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = write(fd, next, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return false;
        next += written;
        left -= written;
    }
    return true;
}

// Fills the new file and gives it the old one's mode and owner; the file stays open.
QString Fill(int fd, const QByteArray& bytes, const Keep* keep) {
    if (keep) {
        struct stat own {};
        if (fchmod(fd, keep->mode & 07777) != 0)
            return Failure("cannot give the new file the old one's mode");
        if (fstat(fd, &own) != 0) return Failure("cannot read the new file's owner");
        if ((own.st_uid != keep->owner || own.st_gid != keep->group) &&
            fchown(fd, keep->owner, keep->group) != 0) {
            return Failure("cannot give the new file the old one's owner");
        }
    }
    if (!WriteAll(fd, bytes)) return Failure("cannot write the new file");
    if (fsync(fd) != 0) return Failure("cannot flush the new file to the disk");
    return QString();
}

// Makes the rename itself outlast a crash; the file is in place whether or not this works.
void FlushFolder(const QString& path) {
    const int folder = open(QFile::encodeName(QFileInfo(path).path()).constData(),
                            O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return;
    fsync(folder);
    close(folder);
}

}  // namespace

QString Replace(const QString& path, const QByteArray& bytes, const Keep* keep) {
    QString created;
    const int fd = CreateBeside(path, created);
    if (fd < 0) return Failure("cannot create a new file in its folder");
    QString failure = Fill(fd, bytes, keep);
    if (close(fd) != 0 && failure.isEmpty()) failure = Failure("cannot write the new file");
    if (failure.isEmpty() &&
        rename(QFile::encodeName(created).constData(), QFile::encodeName(path).constData()) != 0) {
        failure = Failure("cannot put the new file in its place");
    }
    if (!failure.isEmpty()) {
        unlink(QFile::encodeName(created).constData());
        return failure;
    }
    FlushFolder(path);
    return QString();
}

}  // namespace FileReplacement
