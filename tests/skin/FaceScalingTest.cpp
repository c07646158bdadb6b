// The faces on screens of more device pixels than logical ones: exact at every ratio.
#include "tests/skin/FaceExpectations.h"
#include "tests/skin/SkinTestImages.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>
#include <string>

namespace {

constexpr QRgb kOutside = qRgb(1, 2, 3);

// The face without caption as painted on a device of the given pixel ratio, in device pixels.
QImage PaintAtRatio(const ExpectedFace& face, QSize logical, qreal ratio) {
    QImage image(int(std::lround(logical.width() * ratio)),
                 int(std::lround(logical.height() * ratio)), QImage::Format_ARGB32);
    image.fill(kOutside);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    face.paint(painter, QRect(QPoint(0, 0), logical), QByteArrayView());
    painter.end();
    image.setDevicePixelRatio(1);
    return image;
}

// Each pixel of the image as an n-by-n block.
QImage Enlarged(const QImage& image, int n) {
    QImage large(image.width() * n, image.height() * n, QImage::Format_ARGB32);
    for (int y = 0; y < large.height(); ++y)
        for (int x = 0; x < large.width(); ++x) large.setPixel(x, y, image.pixel(x / n, y / n));
    return large;
}

// How many device pixels of `colour` run in from an edge along a line through the middle.
int RunFromEdge(const QImage& image, QPoint start, QPoint step, QRgb colour) {
    int run = 0;
    for (QPoint p = start; image.valid(p) && image.pixel(p) == colour; p += step) ++run;
    return run;
}

struct Scaling {
    const ExpectedFace* face;
    QSize size;
    qreal ratio;
};

std::vector<Scaling> AllScalings() {
    std::vector<Scaling> scalings;
    for (const ExpectedFace& face : kExpectedFaces)
        for (const QSize size : {QSize(73, 22), QSize(81, 22), QSize(100, 30)})
            for (const qreal ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0})
                scalings.push_back({&face, size, ratio});
    return scalings;
}

class FaceScaling : public testing::TestWithParam<Scaling> {};

TEST_P(FaceScaling, AtAWholeRatioEachLogicalPixelIsABlock) {
    const Scaling& s = GetParam();
    const int n = int(s.ratio);
    if (n != s.ratio) GTEST_SKIP() << "a fractional ratio";
    const QImage once = PaintAtRatio(*s.face, s.size, 1.0);
    EXPECT_EQ(FirstDifference(PaintAtRatio(*s.face, s.size, s.ratio), Enlarged(once, n)), "");
}

TEST_P(FaceScaling, EveryFrameLineIsEquallyWideOnAllFourSides) {
    const Scaling& s = GetParam();
    const QImage image = PaintAtRatio(*s.face, s.size, s.ratio);
    const int midX = image.width() / 2;
    const int midY = image.height() / 2;
    const int right = image.width() - 1;
    const int bottom = image.height() - 1;
    const int line = std::max(1, int(std::lround(s.ratio)));

    // The outer frame, then the inner one just inside it.
    const QRgb outer = s.face->outerFrame;
    const int top = RunFromEdge(image, {midX, 0}, {0, 1}, outer);
    EXPECT_EQ(top, line);
    EXPECT_EQ(RunFromEdge(image, {midX, bottom}, {0, -1}, outer), top) << "bottom";
    EXPECT_EQ(RunFromEdge(image, {0, midY}, {1, 0}, outer), top) << "left";
    EXPECT_EQ(RunFromEdge(image, {right, midY}, {-1, 0}, outer), top) << "right";

    const QRgb inner = s.face->innerFrame;
    const int innerTop = RunFromEdge(image, {midX, line}, {0, 1}, inner);
    EXPECT_GE(innerTop, line);
    EXPECT_EQ(RunFromEdge(image, {0 + line, midY}, {1, 0}, inner), innerTop) << "left";
    EXPECT_EQ(RunFromEdge(image, {right - line, midY}, {-1, 0}, inner), innerTop) << "right";
    // The pressed face draws a line of its own over the inner frame's bottom.
    const QRgb innerBottom = s.face->lowerLine.value_or(inner);
    EXPECT_EQ(RunFromEdge(image, {midX, bottom - line}, {0, -1}, innerBottom), innerTop)
        << "bottom";
}

INSTANTIATE_TEST_SUITE_P(Faces, FaceScaling, testing::ValuesIn(AllScalings()),
                         [](const testing::TestParamInfo<Scaling>& info) {
                             const Scaling& s = info.param;
                             return std::string(s.face->name) + "_" +
                                    std::to_string(s.size.width()) + "x" +
                                    std::to_string(s.size.height()) + "_at_" +
                                    std::to_string(int(s.ratio * 100));
                         });

}  // namespace
