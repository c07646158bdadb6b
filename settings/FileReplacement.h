#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

// Replaces a file whole, so that a reader or a crash sees the old bytes or the new ones and
// never a part: the bytes go to a new file in the same folder, which is flushed to the disk
// and then renamed over the old one. When any step fails (a full disk, a read-only folder)
// the new file is removed and the old one is left as it was.
namespace FileReplacement {

// What the new file keeps of the one it replaces.
struct Keep {
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
};

// Writes bytes to path; keep gives the mode and owner of the file replaced, none for a new file
// (made with the umask's mode). Returns why it failed, or an empty text.
QString Replace(const QString& path, const QByteArray& bytes, const Keep* keep);

}  // namespace FileReplacement
