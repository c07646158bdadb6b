#include "tests/settings/PrivateMount.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace PrivateMount {
namespace {

QString Failure(const char* what) {
    return QString::fromUtf8(what) + QStringLiteral(": ") +
           QString::fromLocal8Bit(std::strerror(errno));
}

QString EnterOwnNamespace() {
    static const QString failure = []() -> QString {
        if (geteuid() != 0) return QStringLiteral("mounting a tmpfs needs root");
        if (unshare(CLONE_NEWNS) != 0) return Failure("no mount namespace of its own");
        // Mounts made here must not reach the namespace the process came from.
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            return Failure("cannot make the mounts private");
        }
        return QString();
    }();
    return failure;
}

}  // namespace

QString MountTmpfs(const QString& folder, qint64 sizeBytes) {
    const QString failure = EnterOwnNamespace();
    if (!failure.isEmpty()) return failure;
    const QByteArray options = "size=" + QByteArray::number(sizeBytes) + ",mode=0755";
    if (mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) !=
        0) {
        return Failure("cannot mount a tmpfs");
    }
    return QString();
}

QString MakeReadOnly(const QString& folder) {
    if (mount(nullptr, QFile::encodeName(folder).constData(), nullptr, MS_REMOUNT | MS_RDONLY,
              nullptr) != 0) {
        return Failure("cannot make the tmpfs read-only");
    }
    return QString();
}

void Unmount(const QString& folder) {
    umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
}

}  // namespace PrivateMount
