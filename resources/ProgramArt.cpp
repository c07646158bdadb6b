#include "resources/ProgramArt.h"

#include <QImage>
#include <QPoint>

#include <algorithm>
#include <cmath>

namespace {

// The XPM pictures are C source and compile in as data: reading them from a file would
// have Qt's image reader load every image format plugin before the window's first frame.
namespace xpm {
#include "resources/artwork/HandCursor.xpm"
#include "resources/artwork/ProgramIcon.xpm"
}  // namespace xpm

// Where the index finger ends in HandCursor.xpm.
constexpr QPoint kHandHotSpot{6, 0};

// The picture with each pixel made an n-by-n block: pixel art stays sharp, not resampled.
QImage Enlarged(const QImage& image, int n) {
    return image.scaled(image.size() * n, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

}  // namespace

QIcon ProgramIcon() {
    const QImage icon(xpm::ProgramIcon);
    QIcon icons(QPixmap::fromImage(icon));
    icons.addPixmap(QPixmap::fromImage(Enlarged(icon, 2)));
    return icons;
}

QPixmap AboutPicture(qreal devicePixelRatio) {
    const int n = std::max(1, int(std::ceil(devicePixelRatio)));
    QPixmap picture =
        QPixmap::fromImage(Enlarged(QImage(QStringLiteral(":/artwork/AboutPicture.jpg")), n));
    picture.setDevicePixelRatio(n);
    return picture;
}

QCursor HandCursor() {
    return QCursor(QPixmap::fromImage(QImage(xpm::HandCursor)), kHandHotSpot.x(), kHandHotSpot.y());
}
