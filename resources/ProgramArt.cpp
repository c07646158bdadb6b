#include "resources/ProgramArt.h"

#include <QImage>
#include <QPoint>

namespace {

// The XPM pictures are C source and compile in as data: reading them from a file would
// have Qt's image reader load every image format plugin before the window's first frame.
namespace xpm {
#include "resources/artwork/HandCursor.xpm"
#include "resources/artwork/ProgramIcon.xpm"
}  // namespace xpm

// Where the index finger ends in HandCursor.xpm.
constexpr QPoint kHandHotSpot{6, 0};

}  // namespace

QIcon ProgramIcon() {
    return QIcon(QPixmap::fromImage(QImage(xpm::ProgramIcon)));
}

QPixmap AboutPicture() {
    return QPixmap(QStringLiteral(":/artwork/AboutPicture.jpg"));
}

QCursor HandCursor() {
    return QCursor(QPixmap::fromImage(QImage(xpm::HandCursor)), kHandHotSpot.x(), kHandHotSpot.y());
}
