// The side photo's automatic landmark search on a 24-megapixel profile photo decoded as the
// window decodes it (the side photo box at 4x): from the click on the side page's "Rasti
// taškus" to the grips moving, and the search alone, each against the head's segmentation
// alone, the search's own floor. Run it on one core: the figure the search is held to is for
// one core.
#include "application.hpp"
#include "auto_placement.hpp"
#include "click_to_grips.hpp"
#include "face_page.hpp"
#include "grip_history.hpp"
#include "photo.hpp"
#include "photo_reader.hpp"
#include "profile_finder.hpp"
#include "sample_defaults.hpp"
#include "side_landmarks.hpp"
#include "veidora_window.hpp"

#include <QDir>
#include <QEventLoop>
#include <QImage>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QUndoStack>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>

using namespace veidora::facefit;

namespace {

// 4899 x 4899 (24 megapixels), the studio profile enlarged, stored as JPEG.
QString phonePhoto() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QImage profile(QStringLiteral(VEIDORA_TEST_DATA "/profile-037.jpg"));
        if (profile.isNull()) {
            std::cerr << "Cannot read " VEIDORA_TEST_DATA "/profile-037.jpg\n";
            std::exit(1);
        }
        const QImage photo =
            profile.scaled(4899, 4899, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QString path = dir.filePath(QStringLiteral("side.jpg"));
        if (!photo.save(path, "JPEG", 90)) {
            std::cerr << "Cannot write " << path.toStdString() << '\n';
            std::exit(1);
        }
        return path;
    }();
    return path;
}

// Read back for display, as the window reads it.
const QImage& decoded() {
    static const QImage image = [] {
        // The side photo box is 257 x 321; the window decodes at 4x its size.
        return veidora::ui::loadPhoto(phonePhoto(), QSize(257 * 4, 321 * 4))
            .image.convertToFormat(QImage::Format_RGB32);
    }();
    return image;
}

// The window with the photo open on its side page; it goes before the application does.
std::unique_ptr<TVeidora> g_window;

TVeidora& window() {
    if (!g_window) {
        g_window = std::make_unique<TVeidora>();
        g_window->show();
        g_window->TabControl1->setCurrentWidget(g_window->TabItem2);
        g_window->loadPhotoIntoCurrentPage(phonePhoto());
    }
    return *g_window;
}

double clickToGrips() {
    return clickToGrips(window(), window().sidePlacement(), window().ButtonAutoSide);
}

void BM_SideClickToGripsMoving(benchmark::State& state) {
    clickToGrips(); // the module and OpenCV are set up once per process, at the first search
    for (auto _ : state)
        state.SetIterationTime(clickToGrips());
}
BENCHMARK(BM_SideClickToGripsMoving)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

ColourView view(const QImage& img) {
    return {img.constBits(), img.width(), img.height(), img.bytesPerLine(), 4};
}

SidePoints defaults() {
    return veidora::facefit::sideDefaults();
}

void BM_ProfileSearch(benchmark::State& state) {
    const SidePoints d = defaults();
    state.SetLabel(std::to_string(decoded().width()) + "x" + std::to_string(decoded().height()));
    for (auto _ : state) {
        const ProfileResult r = findProfile(view(decoded()), d);
        if (!r.found)
            state.SkipWithError(r.why.c_str());
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_ProfileSearch)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_SilhouetteAlone(benchmark::State& state) {
    for (auto _ : state) {
        auto outline = findSilhouette(view(decoded()));
        if (!outline)
            state.SkipWithError("no silhouette");
        benchmark::DoNotOptimize(outline);
    }
}
BENCHMARK(BM_SilhouetteAlone)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    veidora::ui::TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    decoded(); // not part of the figures
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_window.reset();
    return 0;
}
