#include "face_search.hpp"

#include "face_finder_library.hpp"
#include "front_landmarks.hpp"

#include <QtConcurrent>

#include <array>
#include <map>
#include <memory>
#include <mutex>

using veidora::facefit::FaceFinder;
using veidora::facefit::FaceFinderEntry;

namespace {

// The model is large and slow to read: one copy per process, shared by every search, which
// take turns on it.
struct LoadedModel {
    const FaceFinderEntry* module = nullptr;
    FaceFinder* finder = nullptr;
    std::mutex busy;
    ~LoadedModel() {
        if (finder)
            module->release(finder);
    }
};

// The module, then the model read by it; nullptr with `outcome` saying which failed and why.
std::shared_ptr<LoadedModel> model(const QStringList& modules, const QString& path,
                                   FaceSearch::Outcome& outcome) {
    static std::mutex lock;
    static std::map<std::pair<QString, QString>, std::shared_ptr<LoadedModel>> loaded;
    const std::lock_guard guard(lock); // a second caller waits for the first one's load
    const FaceFinderLibrary::Loaded module = FaceFinderLibrary::load(modules);
    if (!module.entry) {
        outcome.kind = FaceSearch::Outcome::NoModule;
        outcome.message = module.error;
        return nullptr;
    }
    const std::pair key{module.path, path};
    if (auto it = loaded.find(key); it != loaded.end())
        return it->second;
    std::string why;
    FaceFinder* finder = module.entry->load(path.toStdString(), why);
    if (!finder) { // not kept: the next search tries again
        outcome.kind = FaceSearch::Outcome::NoModel;
        outcome.message = QString::fromStdString(why);
        return nullptr;
    }
    auto m = std::make_shared<LoadedModel>();
    m->module = module.entry;
    m->finder = finder;
    loaded.emplace(key, m);
    return m;
}

} // namespace

FaceSearch::FaceSearch(QObject* parent)
    : QObject(parent), m_modules(FaceFinderLibrary::candidates()),
      m_modelPath(QString::fromLatin1(veidora::facefit::kDefaultModelPath)),
      m_watcher(new QFutureWatcher<Outcome>(this)) {
    connect(m_watcher, &QFutureWatcher<Outcome>::finished, this, [this] {
        const quint64 generation = m_watcher->property("generation").toULongLong();
        if (generation != m_generation)
            return; // dropped: a newer photo or search came
        const QImage searched = m_watcher->property("picture").value<QImage>();
        setRunning(false);
        emit finished(m_watcher->result(), searched);
    });
}

FaceSearch::~FaceSearch() = default;

FaceSearch::Outcome FaceSearch::search(const QStringList& modules, const QString& modelPath,
                                       const QImage& picture) noexcept {
    Outcome out;
    try {
        const auto loaded = model(modules, modelPath, out);
        if (!loaded)
            return out;
        const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
        const veidora::facefit::ImageView view{rgb.constBits(), rgb.width(), rgb.height(),
                                               rgb.bytesPerLine(), 3};
        std::string why;
        std::optional<veidora::facefit::FoundFace> face;
        {
            const std::lock_guard turn(loaded->busy);
            face = loaded->module->findLargestFace(*loaded->finder, view, &why);
        }
        if (face) {
            out.kind = Outcome::Found;
            out.face = *face;
            // The pixel analysis too runs here, off the GUI thread.
            std::array<veidora::facefit::Point, veidora::facefit::kFrontPointCount> defaults{};
            for (std::size_t i = 0; i < defaults.size(); ++i)
                defaults[i] = {veidora::kFrontDefaults[i].X, veidora::kFrontDefaults[i].Y};
            out.landmarks = veidora::facefit::findFrontLandmarks(face->points, defaults, view);
        } else if (!why.empty()) {
            out.kind = Outcome::Failed;
            out.message = QString::fromStdString(why);
        }
    } catch (const std::exception& e) {
        out.kind = Outcome::Failed;
        out.message = QString::fromLocal8Bit(e.what());
    } catch (...) {
        out.kind = Outcome::Failed;
    }
    return out;
}

void FaceSearch::preload() {
    // Tests that open front photos for other reasons need not read 100 MB each time.
    static const bool off = qEnvironmentVariableIsSet("VEIDORA_NO_MODEL_PRELOAD");
    if (off)
        return;
    (void)QtConcurrent::run([modules = m_modules, path = m_modelPath] {
        Outcome ignored; // a failure is reported when a search needs the model
        try {
            model(modules, path, ignored);
        } catch (...) {
        }
    });
}

void FaceSearch::start(const QImage& picture) {
    ++m_generation;
    m_watcher->setProperty("generation", QVariant::fromValue(m_generation));
    m_watcher->setProperty("picture", picture);
    Runner run = m_runner ? m_runner : Runner(&FaceSearch::search);
    m_watcher->setFuture(QtConcurrent::run(std::move(run), m_modules, m_modelPath, picture));
    setRunning(true);
}

void FaceSearch::drop() {
    ++m_generation;
    setRunning(false);
}

void FaceSearch::setRunning(bool running) {
    if (running == m_running)
        return;
    m_running = running;
    emit runningChanged(running);
}
