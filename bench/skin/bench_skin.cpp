// Repainting one 73 x 22 button: each face painter on its own, and a whole skinned
// button repaint through its hooked window.
#include "skin/ButtonFaces.h"
#include "skin/OwnerDrawButton.h"
#include "skin/modCmdVista.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cstdlib>

namespace {

const QRect kButton(0, 0, 73, 22);

QFont ButtonFont() {
    QFont font(QStringLiteral("AR PL UMing CN"));
    font.setPointSize(9);
    return font;
}

// "查询", the main window's Query button.
const QByteArray kCaption("\xb2\xe9\xd1\xaf");

void PaintOneFace(benchmark::State& state, FacePainter paint, QByteArrayView caption) {
    QImage image(kButton.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setFont(ButtonFont());
    for (auto _ : state) {
        paint(painter, kButton, caption);
        benchmark::ClobberMemory();
    }
}
BENCHMARK_CAPTURE(PaintOneFace, normal, PaintNormalFace, kCaption)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PaintOneFace, focused, PaintFocusedFace, kCaption)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PaintOneFace, pressed, PaintPressedFace, kCaption)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PaintOneFace, disabled, PaintDisabledFace, kCaption)
    ->Unit(benchmark::kMicrosecond);
// The face alone, to tell its cost from the caption's.
BENCHMARK_CAPTURE(PaintOneFace, normal_without_caption, PaintNormalFace, QByteArrayView())
    ->Unit(benchmark::kMicrosecond);

// The whole road of one repaint: the button's paint event, the draw-item notification
// to the hooked window, the caption read and the painter.
void RepaintSkinnedButton(benchmark::State& state) {
    QWidget window;
    window.setFont(ButtonFont());
    OwnerDrawButton button(QString::fromUtf16(u"查询"), &window);
    button.setGeometry(kButton);
    modCmdVista::HookWindow(&window);
    QImage image(kButton.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        button.render(&image);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(RepaintSkinnedButton)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
