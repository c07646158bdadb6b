#include "tests/skin/SkinTestImages.h"

#include <QPainter>

QImage BlankImage(int width, int height, QRgb background) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(background);
    return image;
}

QImage Render(int width, int height, QRgb background, const std::function<void(QPainter&)>& paint) {
    QImage image = BlankImage(width, height, background);
    QPainter painter(&image);
    paint(painter);
    painter.end();
    return image;
}

QString DescribeColour(QRgb colour) {
    return QStringLiteral("(%1, %2, %3)").arg(qRed(colour)).arg(qGreen(colour)).arg(qBlue(colour));
}

std::string FirstDifference(const QImage& actual, const QImage& expected) {
    if (actual.size() != expected.size()) {
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(actual.width())
            .arg(actual.height())
            .arg(expected.width())
            .arg(expected.height())
            .toStdString();
    }
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb got = actual.pixel(x, y);
            const QRgb want = expected.pixel(x, y);
            if (got != want) {
                return QStringLiteral("pixel (%1, %2) is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(DescribeColour(got), DescribeColour(want))
                    .toStdString();
            }
        }
    }
    return {};
}
