// One frame of the loupe during a drag, over the photo and over the sample drawing, against
// one frame of the drawing rectangle itself (what every drag step redraws anyway).
#include "application.hpp"
#include "controls.hpp"
#include "error_handler.hpp"
#include "face_page.hpp"
#include "loupe.hpp"
#include "photo.hpp"
#include "selection_point.hpp"
#include "veidora_window.hpp"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

TVeidora& window() {
    static QTemporaryDir dir;
    static TVeidora* w = [] {
        auto* win = new TVeidora;
        win->show();
        const QSize size = win->front()->photo()->decodeBound();
        QImage img(size, QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                line[x] = qRgb((x * 7 + y) & 255, (y * 3) & 255, (x ^ y) & 255);
        }
        const QString path = dir.filePath(QStringLiteral("photo.png"));
        img.save(path);
        win->loadPhotoIntoCurrentPage(path);
        win->front()->tilt()->setValue(7);
        return win;
    }();
    return *w;
}

void loupeFrame(benchmark::State& state, QPointF at) {
    TVeidora& w = window();
    TSelectionPoint* grip = w.SelectionPoint(16);
    grip->setPosition(at);
    w.loupe()->showFor(grip);
    for (auto _ : state) {
        QPixmap frame = w.loupe()->grab();
        benchmark::DoNotOptimize(frame.cacheKey());
    }
    w.loupe()->hideNow();
}

void BM_LoupeOverPhoto(benchmark::State& state) {
    loupeFrame(state, {140, 170});
}
BENCHMARK(BM_LoupeOverPhoto)->Unit(benchmark::kMillisecond);

void BM_LoupeOverSample(benchmark::State& state) {
    loupeFrame(state, {422, 160});
}
BENCHMARK(BM_LoupeOverSample)->Unit(benchmark::kMillisecond);

void BM_RectangleFrame(benchmark::State& state) {
    TVeidora& w = window();
    for (auto _ : state) {
        QPixmap frame = w.front()->rectangle()->grab();
        benchmark::DoNotOptimize(frame.cacheKey());
    }
}
BENCHMARK(BM_RectangleFrame)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    veidora::ui::TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
