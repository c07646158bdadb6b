#include "ProgramArt.h"

#include <QPoint>

namespace {
// Where the index finger ends in HandCursor.xpm.
constexpr QPoint kHandHotSpot{6, 0};
}  // namespace

QIcon ProgramIcon() {
    return QIcon(QStringLiteral(":/artwork/ProgramIcon.xpm"));
}

QPixmap AboutPicture() {
    return QPixmap(QStringLiteral(":/artwork/AboutPicture.jpg"));
}

QCursor HandCursor() {
    return QCursor(QPixmap(QStringLiteral(":/artwork/HandCursor.xpm")), kHandHotSpot.x(),
                   kHandHotSpot.y());
}
