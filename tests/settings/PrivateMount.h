#pragma once

#include <QString>

// A tmpfs on a folder, seen by this test process alone: the process first moves into a mount
// namespace of its own, so nothing is left mounted on the machine whatever happens to it.
// Needs root (CAP_SYS_ADMIN) and a process with one thread.
namespace PrivateMount {

// Mounts a tmpfs of at most sizeBytes on folder; returns why it cannot, or an empty text.
QString MountTmpfs(const QString& folder, qint64 sizeBytes);
// Makes the tmpfs on folder read-only; returns why it cannot, or an empty text.
QString MakeReadOnly(const QString& folder);
// Takes the tmpfs off folder again.
void Unmount(const QString& folder);

}  // namespace PrivateMount
