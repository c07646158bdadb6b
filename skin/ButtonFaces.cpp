#include "skin/ButtonFaces.h"

#include "codepage/CodePage936.h"
#include "skin/FaceStyles.h"
#include "skin/SystemColors.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Fills and frames follow the window system's rectangle rule: left and top inside,
// right and bottom outside. Everything is clipped to the button, so a button too small
// for its own corners or bands paints no pixel beyond its edges.
//
// Coordinates are the face's logical pixels; the canvas draws in device pixels. A logical
// pixel within kEdgeZone of an edge (the frames and rounded corners) becomes `line` device
// pixels counted from that edge, line being the device pixel ratio rounded, at least 1: at an
// integer ratio n each logical pixel is an n-by-n block, and at a fractional one every frame
// line is equally wide on all four sides. Rows and columns further in (the bands' ends) are
// scaled by the ratio itself.
class FaceCanvas {
public:
    FaceCanvas(QPainter& painter, int width, int height, QSize device, qreal ratio)
        : m_painter(painter),
          m_width(width),
          m_height(height),
          m_device(device),
          m_ratio(ratio),
          m_line(std::max(1, int(std::lround(ratio)))) {}

    int width() const { return m_width; }
    int height() const { return m_height; }

    // An empty or inverted rectangle paints nothing.
    void fill(int left, int top, int right, int bottom, const QColor& colour) {
        left = std::max(left, 0);
        top = std::max(top, 0);
        right = std::min(right, m_width);
        bottom = std::min(bottom, m_height);
        if (right <= left || bottom <= top) return;
        const int x = Map(left, m_width, m_device.width());
        const int y = Map(top, m_height, m_device.height());
        const int toX = Map(right, m_width, m_device.width());
        const int toY = Map(bottom, m_height, m_device.height());
        if (toX <= x || toY <= y) return;
        m_painter.fillRect(QRect(x, y, toX - x, toY - y), colour);
    }

    // The one-pixel border along the inside of the rectangle's edges.
    void frame(int left, int top, int right, int bottom, const QColor& colour) {
        if (right <= left || bottom <= top) return;
        fill(left, top, right, top + 1, colour);
        fill(left, bottom - 1, right, bottom, colour);
        fill(left, top + 1, left + 1, bottom - 1, colour);
        fill(right - 1, top + 1, right, bottom - 1, colour);
    }

    void setPixel(EdgePixel pixel, const QColor& colour) {
        const int x = pixel.x >= 0 ? pixel.x : m_width + pixel.x;
        const int y = pixel.y >= 0 ? pixel.y : m_height + pixel.y;
        fill(x, y, x + 1, y + 1, colour);
    }

private:
    static constexpr int kEdgeZone = 3;

    // The device coordinate of logical coordinate v on an axis of the given lengths.
    int Map(int v, int logical, int device) const {
        const int fromFar = logical - v;
        if (v <= kEdgeZone && v <= fromFar) return std::min(v * m_line, device);
        if (fromFar <= kEdgeZone) return std::max(device - fromFar * m_line, 0);
        const int inner = std::min(kEdgeZone * m_line, device);
        return std::clamp(int(std::lround(v * m_ratio)), inner, std::max(inner, device - inner));
    }

    QPainter& m_painter;
    int m_width;
    int m_height;
    QSize m_device;
    qreal m_ratio;
    int m_line;
};

// Bands go from row 2 down to row h - 3. Their rows come from flooring in double
// precision; in buttons too low for six bands (under 13 pixels, or under 17 for the
// pressed face) a band can end above its top, and such a band paints nothing.
void PaintBands(FaceCanvas& canvas, const FaceBands& bands) {
    const int w = canvas.width();
    const int h = canvas.height();
    const double unit = (h - 4) / 6.0;
    const int lastRow = h - 2;
    int top = 2;
    for (std::size_t band = 0; band < bands.colours.size(); ++band) {
        int bottom = lastRow;
        if (band == 0) {
            bottom = int(std::floor(unit + bands.offsets[band]));
        } else if (band < bands.offsets.size()) {
            bottom = top + int(std::floor(unit + bands.offsets[band]));
        }
        canvas.fill(2, std::max(top, 2), w - 2, std::min(bottom, lastRow), bands.colours[band]);
        top = bottom;
    }
}

// One line centred in textRect the way the window system centres single-line text:
// the half pixel left over is dropped on both axes.
void DrawCaption(QPainter& painter, const QRect& textRect, QByteArrayView caption,
                 const QColor& colour) {
    if (caption.isEmpty()) return;
    const QString text = FromCodePage936(caption);
    QFont font = painter.font();
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font, painter.device());
    const int x = textRect.left() + (textRect.width() - metrics.horizontalAdvance(text)) / 2;
    const int y = textRect.top() + (textRect.height() - metrics.height()) / 2;
    painter.setClipRect(textRect, Qt::IntersectClip);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(QPoint(x, y + metrics.ascent()), text);
}

// The frames, corners and bands in device pixels, on a transparent image of the face's size.
QImage FaceImage(const FaceStyle& style, int w, int h, qreal ratio) {
    const QSize device(int(std::lround(w * ratio)), int(std::lround(h * ratio)));
    QImage image(device, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    FaceCanvas canvas(painter, w, h, device, ratio);

    if (const auto* bands = std::get_if<FaceBands>(&style.fill)) {
        PaintBands(canvas, *bands);
    } else {
        canvas.fill(0, 0, w, h, std::get<QRgb>(style.fill));
    }
    canvas.frame(0, 0, w, h, style.outerFrame);
    for (std::size_t i = 0; i < kOuterCornerPixels.size(); ++i) {
        // The outermost corners blend into the window behind the button, so they take
        // the button-face colour of the moment.
        const QColor colour = style.outerCorners[i] ? QColor(*style.outerCorners[i])
                                                    : GetSysColor(SystemColor::ButtonFace);
        canvas.setPixel(kOuterCornerPixels[i], colour);
    }
    canvas.frame(1, 1, w - 1, h - 1, style.innerFrame);
    if (style.secondInnerFrame) canvas.frame(2, 2, w - 2, h - 2, *style.secondInnerFrame);
    if (style.lowerLine) canvas.fill(2, h - 2, w - 2, h - 1, *style.lowerLine);
    for (std::size_t i = 0; i < kInnerCornerPixels.size(); ++i) {
        canvas.setPixel(kInnerCornerPixels[i], style.innerCorners[i]);
    }
    painter.end();
    image.setDevicePixelRatio(ratio);
    return image;
}

void PaintFace(const FaceStyle& style, QPainter& painter, const QRect& rect,
               QByteArrayView caption) {
    const int w = rect.width();
    const int h = rect.height();
    if (w <= 0 || h <= 0) return;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    painter.drawImage(QPointF(0, 0), FaceImage(style, w, h, ratio));
    // The caption is drawn at the device's own resolution.
    DrawCaption(painter, QRect(0, style.textInset, w, h - 2 * style.textInset), caption,
                style.textColour);
    painter.restore();
}

}  // namespace

void PaintNormalFace(QPainter& painter, const QRect& rect, QByteArrayView caption) {
    PaintFace(kNormalFace, painter, rect, caption);
}

void PaintFocusedFace(QPainter& painter, const QRect& rect, QByteArrayView caption) {
    PaintFace(kFocusedFace, painter, rect, caption);
}

void PaintPressedFace(QPainter& painter, const QRect& rect, QByteArrayView caption) {
    PaintFace(kPressedFace, painter, rect, caption);
}

void PaintDisabledFace(QPainter& painter, const QRect& rect, QByteArrayView caption) {
    PaintFace(kDisabledFace, painter, rect, caption);
}
