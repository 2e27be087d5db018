#include "face_search.hpp"

#include "face_finder_library.hpp"
#include "front_landmarks.hpp"
#include "levelling.hpp"
#include "sample_defaults.hpp"

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
                                   LandmarkSearch::Outcome& outcome) {
    static std::mutex lock;
    static std::map<std::pair<QString, QString>, std::shared_ptr<LoadedModel>> loaded;
    const std::lock_guard guard(lock); // a second caller waits for the first one's load
    const ModuleLibrary::Loaded module = FaceFinderLibrary::load(modules);
    const FaceFinderEntry* entry = FaceFinderLibrary::entry(module);
    if (!entry) {
        outcome.kind = LandmarkSearch::Outcome::Failed;
        outcome.message = FaceSearch::moduleErrorText(modules.value(0), module.error);
        return nullptr;
    }
    const std::pair key{module.path, path};
    if (auto it = loaded.find(key); it != loaded.end())
        return it->second;
    std::string why;
    FaceFinder* finder = entry->load(path.toStdString(), why);
    if (!finder) { // not kept: the next search tries again
        outcome.kind = LandmarkSearch::Outcome::Failed;
        outcome.message = FaceSearch::modelErrorText(path);
        return nullptr;
    }
    auto m = std::make_shared<LoadedModel>();
    m->module = entry;
    m->finder = finder;
    loaded.emplace(key, m);
    return m;
}

// Nothing of what the library said is shown: the box is worded in Lithuanian only.
QString exceptionText(const QString&) {
    return FaceSearch::failedText(veidora::facefit::FaceSearchError::Failed);
}

} // namespace

const char* const FaceSearch::kModelPackage = "libdlib-data";

QString FaceSearch::moduleErrorText(const QString& module, const QString& why) {
    return QStringLiteral("Nepavyko įkelti veido paieškos modulio „%1“ (%2). Jį įdiegia Debian "
                          "paketas „%3“ (komanda: apt-get install --reinstall %3).")
        .arg(module, why, QLatin1String(ModuleLibrary::kPackage));
}

QString FaceSearch::failedText(veidora::facefit::FaceSearchError error) {
    using veidora::facefit::FaceSearchError;
    switch (error) {
    case FaceSearchError::BadPicture:
        return QStringLiteral("Veido paieška nepavyko: nuotraukos vaizdas netinkamas.");
    case FaceSearchError::OutOfMemory:
        return QStringLiteral("Veido paieška nepavyko: nuotraukai ieškoti trūksta atminties.");
    case FaceSearchError::None:
    case FaceSearchError::Failed:
        break;
    }
    return QStringLiteral("Veido paieška nepavyko.");
}

QString FaceSearch::modelErrorText(const QString& path) {
    return QStringLiteral("Nepavyko perskaityti veido taškų modelio failo „%1“. Jį įdiegia "
                          "Debian paketas „%2“ (komanda: apt-get install %2).")
        .arg(path, QLatin1String(kModelPackage));
}

FaceSearch::FaceSearch(QObject* parent)
    : LandmarkSearch(parent), m_modules(FaceFinderLibrary::candidates()),
      m_modelPath(QString::fromLatin1(veidora::facefit::kDefaultModelPath)) {}

LandmarkSearch::Job FaceSearch::job() const {
    return [modules = m_modules, path = m_modelPath](const QImage& picture) {
        return search(modules, path, picture);
    };
}

FaceSearch::Outcome FaceSearch::search(const QStringList& modules, const QString& modelPath,
                                       const QImage& picture) noexcept {
    return safely(
        [&] {
            Outcome out;
            const auto loaded = model(modules, modelPath, out);
            if (!loaded)
                return out;
            const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
            const veidora::facefit::ImageView view{rgb.constBits(), rgb.width(), rgb.height(),
                                                   rgb.bytesPerLine(), 3};
            veidora::facefit::FaceSearchError why = veidora::facefit::FaceSearchError::None;
            std::optional<veidora::facefit::FoundFace> face;
            {
                const std::lock_guard turn(loaded->busy);
                face = loaded->module->findLargestFace(*loaded->finder, view, &why);
            }
            if (face) {
                out.kind = Outcome::Found;
                // The pixel analysis too runs here, off the GUI thread.
                const veidora::facefit::FrontFinding found = veidora::facefit::findFrontLandmarks(
                    face->points, veidora::facefit::frontDefaults(), view);
                out.points.assign(found.points.begin(), found.points.end());
                out.found.assign(found.found.begin(), found.found.end());
                out.levels = true;
                out.slope = veidora::facefit::eyeLineSlope(face->points);
            } else if (why != veidora::facefit::FaceSearchError::None) {
                out.kind = Outcome::Failed;
                out.message = FaceSearch::failedText(why);
            }
            return out;
        },
        exceptionText);
}

void FaceSearch::preload() {
    // Tests that open front photos for other reasons need not read 100 MB each time.
    static const bool off = qEnvironmentVariableIsSet("VEIDORA_NO_MODEL_PRELOAD");
    if (off)
        return;
    (void)QtConcurrent::run([modules = m_modules, path = m_modelPath] {
        LandmarkSearch::Outcome ignored; // a failure is reported when a search needs the model
        try {
            model(modules, path, ignored);
        } catch (...) {
        }
    });
}
