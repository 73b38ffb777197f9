// The present: MainPict painted by the window's view into a backing store, as the
// platform plugins keep it (xcb: RGB32; wayland: ARGB32 premultiplied), the whole
// picture and one frame's changed area (a puck, a paddle, the clock), at scale 1 and 2.
// Runs on Qt's offscreen platform; no display needed.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "platform/surface.h"
#include "window/main_pict_view.h"

namespace {

using namespace vx;

// A picture with detail in it, so no painting path can take a shortcut on flat colour.
Surface BusyPicture() {
    Surface picture(kScreenWidth, kScreenHeight);
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x)
            picture.SetPixel(x, y, static_cast<uint32_t>((x * 2654435761u) ^ (y * 40503u)) & kWhite);
    return picture;
}

void BM_Present(benchmark::State& state) {
    const bool wholePicture = state.range(0) == 0;
    const int scale = static_cast<int>(state.range(1));
    const QImage::Format format =
        state.range(2) == 0 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied;
    static const Surface picture = BusyPicture();
    MainPictView view(&picture);
    view.resize(kScreenWidth * scale, kScreenHeight * scale);
    QImage store(view.size(), format);
    const QRegion frameArea = QRegion(view.ToWidget(QRect(200, 150, 24, 24))) +
                              QRegion(view.ToWidget(QRect(70, 62, 14, 60))) +
                              QRegion(view.ToWidget(QRect(230, 20, 60, 24)));
    const QRegion area = wholePicture ? QRegion(view.rect()) : frameArea;
    for (auto _ : state) {
        view.render(&store, QPoint(), area, QWidget::RenderFlags());
        benchmark::DoNotOptimize(store.constBits());
    }
}
BENCHMARK(BM_Present)
    ->ArgNames({"frame_area", "scale", "argb"})
    ->ArgsProduct({{0, 1}, {1, 2}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
