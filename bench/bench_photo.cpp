// Opening a 24-megapixel phone photo for display: the reduced-size decode against a full
// decode followed by a scale, measured in the same run.
#include "photo.hpp"

#include <QGuiApplication>
#include <QImageReader>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QSize kBound(1028, 1284); // the photo box at pixel ratio 1 with 4x headroom

QString photoPath() {
    static QTemporaryDir dir;
    static const QString path = [] {
        QImage img(6000, 4000, QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                line[x] = qRgb((x * 7 + y) & 255, (y * 3) & 255, (x ^ y) & 255);
        }
        const QString p = dir.filePath(QStringLiteral("24mp.jpg"));
        img.save(p, "JPEG", 90);
        return p;
    }();
    return path;
}

void BM_LoadPhotoReduced(benchmark::State& state) {
    const QString path = photoPath();
    for (auto _ : state) {
        auto loaded = veidora::ui::loadPhoto(path, kBound);
        benchmark::DoNotOptimize(loaded.image.constBits());
    }
}
BENCHMARK(BM_LoadPhotoReduced)->Unit(benchmark::kMillisecond);

void BM_LoadPhotoFullThenScale(benchmark::State& state) {
    const QString path = photoPath();
    for (auto _ : state) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        QImage full = reader.read();
        QImage shown = full.scaled(kBound, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(shown.constBits());
    }
}
BENCHMARK(BM_LoadPhotoFullThenScale)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QImageReader::setAllocationLimit(1024);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
