// "Rasti taškus" on a 24-megapixel photo: from the click to the grips moving, against dlib's
// detector and one prediction alone on the same decoded picture, in the same process; the
// model's load time; and the look for the hairline and the nose bridge in the photo's pixels on
// two portraits, against dlib alone on each.
#include "application.hpp"
#include "auto_placement.hpp"
#include "click_to_grips.hpp"
#include "controls.hpp"
#include "error_handler.hpp"
#include "face_finder.hpp"
#include "face_fit.hpp"
#include "face_model.hpp"
#include "face_page.hpp"
#include "face_search.hpp"
#include "front_landmarks.hpp"
#include "grip_history.hpp"
#include "levelling.hpp"
#include "photo.hpp"
#include "sample_defaults.hpp"
#include "veidora_window.hpp"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUndoStack>

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>

using namespace veidora::facefit;

namespace {

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<TVeidora> window;
    QImage decoded; // what the window shows and searches

    Fixture() {
        // A phone-sized portrait: 4000 x 6000 pixels, stored as JPEG.
        const QImage portrait(QStringLiteral(VEIDORA_TEST_DATA "/astronaut.png"));
        const QImage photo =
            portrait.copy(86, 0, 340, 510)
                .scaled(4000, 6000, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QString path = dir.filePath(QStringLiteral("phone.jpg"));
        if (!photo.save(path, "JPEG", 90)) {
            std::cerr << "cannot write " << path.toStdString() << '\n';
            std::exit(1);
        }
        window = std::make_unique<TVeidora>();
        window->show();
        window->loadPhotoIntoCurrentPage(path);
        decoded = window->front()->photo()->Bitmap();
        std::cerr << "photo 4000 x 6000, decoded " << decoded.width() << " x " << decoded.height()
                  << '\n';
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

double clickToGrips() {
    return clickToGrips(*fixture().window, fixture().window->autoPlacement(),
                        fixture().window->ButtonAuto);
}

void BM_ClickToGripsMoving(benchmark::State& state) {
    clickToGrips(); // the model is read once per process, before the first search
    for (auto _ : state)
        state.SetIterationTime(clickToGrips());
}
BENCHMARK(BM_ClickToGripsMoving)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void search(benchmark::State& state, bool plain) {
    const QImage rgb = fixture().decoded.convertToFormat(QImage::Format_RGB888);
    const ImageView view{rgb.constBits(), rgb.width(), rgb.height(), rgb.bytesPerLine(), 3};
    FaceFinder& f = bench::faceModel();
    for (auto _ : state) {
        auto face = plain ? f.findPlain(view) : f.findLargestFace(view);
        if (!face)
            state.SkipWithError("no face found");
        benchmark::DoNotOptimize(face);
    }
}

// The yardstick: dlib alone on the same pixels, from the same RGB copy the program makes.
void BM_DlibDetectorAndPredictorAlone(benchmark::State& state) {
    search(state, true);
}
BENCHMARK(BM_DlibDetectorAndPredictorAlone)->Unit(benchmark::kMillisecond)->Iterations(10);

// The program's own search (a reduced first detection, then the upright second pass), alone.
void BM_FaceSearchAlone(benchmark::State& state) {
    search(state, false);
}
BENCHMARK(BM_FaceSearchAlone)->Unit(benchmark::kMillisecond)->Iterations(10);

// A portrait as the search reads it (R,G,B) and the face points found on it.
struct Portrait {
    QImage rgb;
    FacePoints points{};

    ImageView view() const {
        return {rgb.constBits(), rgb.width(), rgb.height(), rgb.bytesPerLine(), 3};
    }
};

const Portrait& portrait(const std::string& file) {
    static std::map<std::string, Portrait> read;
    auto it = read.find(file);
    if (it == read.end()) {
        Portrait p;
        p.rgb = QImage(QString::fromStdString(VEIDORA_TEST_DATA "/" + file))
                    .convertToFormat(QImage::Format_RGB888);
        const auto face = bench::faceModel().findLargestFace(p.view());
        if (!face) {
            std::cerr << "no face on " << file << '\n';
            std::exit(1);
        }
        p.points = face->points;
        it = read.emplace(file, std::move(p)).first;
    }
    return it->second;
}

// What the search adds to dlib's: the 28 landmarks fitted, then the hairline and the nose
// bridge looked for in the pixels.
void BM_PhotoAnalysis(benchmark::State& state, const std::string& file) {
    const Portrait& p = portrait(file);
    const FrontPoints defaults = veidora::facefit::frontDefaults();
    for (auto _ : state)
        benchmark::DoNotOptimize(findFrontLandmarks(p.points, defaults, p.view()));
}
BENCHMARK_CAPTURE(BM_PhotoAnalysis, astronaut, std::string("astronaut.png"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PhotoAnalysis, frontal, std::string("frontal-125.jpg"))
    ->Unit(benchmark::kMillisecond);

// The yardstick for it: dlib's detector and one prediction on the same pixels.
void BM_DlibAloneOnPortrait(benchmark::State& state, const std::string& file) {
    const Portrait& p = portrait(file);
    for (auto _ : state)
        benchmark::DoNotOptimize(bench::faceModel().findPlain(p.view()));
}
BENCHMARK_CAPTURE(BM_DlibAloneOnPortrait, astronaut, std::string("astronaut.png"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK_CAPTURE(BM_DlibAloneOnPortrait, frontal, std::string("frontal-125.jpg"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// What levelling adds to a click: the eye line's slope, the tilt set as the track bar sets it,
// and the repaint of the turned photo with the grips on it.
void BM_LevellingOwnWork(benchmark::State& state) {
    const Portrait& p = portrait("astronaut.png");
    TVeidora& w = *fixture().window;
    int turn = 0;
    for (auto _ : state) {
        const auto slope = eyeLineSlope(p.points);
        const Levelling l = levellingTilt(*slope + (turn ^= 1) * 3, -20, 20);
        w.front()->tilt()->setValue(l.tilt);
        w.front()->rectangle()->repaint();
    }
    w.front()->tilt()->setValue(0);
}
BENCHMARK(BM_LevellingOwnWork)->Unit(benchmark::kMillisecond);

void BM_ModelLoad(benchmark::State& state) {
    for (auto _ : state) {
        std::string error;
        auto f = FaceFinder::load(kDefaultModelPath, error);
        benchmark::DoNotOptimize(f.get());
    }
}
BENCHMARK(BM_ModelLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    veidora::ui::TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fixture().window.reset();
    return 0;
}
