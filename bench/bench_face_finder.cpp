// The automatic landmark search: loading the model once, and one search on the largest
// picture the window decodes (the photo box at 4x, from the portrait scaled up) and on the
// portrait itself. The search on the large picture is measured with the first face search on
// a reduced copy and on the picture itself.
#include "face_finder.hpp"
#include "face_model.hpp"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iostream>
#include <string>

using namespace veidora::facefit;

namespace {

const QImage& portrait() {
    static const QImage image = [] {
        QImage img(QStringLiteral(VEIDORA_TEST_DATA "/astronaut.png"));
        if (img.isNull()) {
            std::cerr << "Cannot read " VEIDORA_TEST_DATA "/astronaut.png\n";
            std::exit(1);
        }
        return img.convertToFormat(QImage::Format_RGB32);
    }();
    return image;
}

// 1028 x 1284 with the face undistorted: scaled to 1284 square, the sides cut off.
const QImage& enlarged() {
    static const QImage image =
        portrait()
            .scaled(1284, 1284, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .copy(128, 0, 1028, 1284);
    return image;
}

ImageView view(const QImage& img) {
    return {img.constBits(), img.width(), img.height(), img.bytesPerLine(), 4};
}

void BM_LoadModel(benchmark::State& state) {
    for (auto _ : state) {
        std::string error;
        auto f = FaceFinder::load(kDefaultModelPath, error);
        if (!f)
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(f.get());
    }
}
BENCHMARK(BM_LoadModel)->Unit(benchmark::kMillisecond)->Iterations(3);

void find(benchmark::State& state, const QImage& img) {
    FaceFinder& f = bench::faceModel();
    f.setSearchSize(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto face = f.findLargestFace(view(img));
        if (!face)
            state.SkipWithError("no face found");
        benchmark::DoNotOptimize(face);
    }
    f.setSearchSize(FaceFinder::kDefaultSearchSize);
}

void BM_Find1028x1284(benchmark::State& state) {
    find(state, enlarged());
}
BENCHMARK(BM_Find1028x1284)
    ->Arg(FaceFinder::kDefaultSearchSize)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);

void BM_Find512x512(benchmark::State& state) {
    find(state, portrait());
}
BENCHMARK(BM_Find512x512)->Arg(FaceFinder::kDefaultSearchSize)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
