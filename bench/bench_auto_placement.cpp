// "Rasti taškus" on a 24-megapixel photo: from the click to the grips moving, against dlib's
// detector and one prediction alone on the same decoded picture, in the same process; and the
// model's load time.
#include "application.hpp"
#include "auto_placement.hpp"
#include "error_handler.hpp"
#include "face_finder.hpp"
#include "face_page.hpp"
#include "face_search.hpp"
#include "grip_history.hpp"
#include "photo.hpp"
#include "veidora_window.hpp"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUndoStack>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <iostream>

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

// One click, waited for; the grips are put back afterwards.
double clickToGrips() {
    TVeidora& w = *fixture().window;
    QEventLoop loop;
    QObject::connect(w.autoPlacement(), &AutoPlacement::done, &loop, &QEventLoop::quit);
    const auto start = std::chrono::steady_clock::now();
    w.ButtonAuto->click();
    loop.exec();
    const auto end = std::chrono::steady_clock::now();
    if (w.history()->stack()->count() == 0)
        std::cerr << "the grips did not move\n";
    w.history()->undo();
    w.history()->stack()->clear();
    return std::chrono::duration<double>(end - start).count();
}

FaceFinder& ownFinder() {
    static std::unique_ptr<FaceFinder> f = [] {
        std::string error;
        auto loaded = FaceFinder::load(kDefaultModelPath, error);
        if (!loaded) {
            std::cerr << error << '\n';
            std::exit(1);
        }
        return loaded;
    }();
    return *f;
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
    FaceFinder& f = ownFinder();
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
