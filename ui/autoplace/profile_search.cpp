#include "profile_search.hpp"

#include "module_library.hpp"
#include "profile_finder_library.hpp"
#include "sample_defaults.hpp"
#include "side_landmarks.hpp"

#include <QtConcurrent>

#include <algorithm>

namespace {

QString failedText(const QString& why) {
    return QStringLiteral("Profilio paieška nepavyko: %1").arg(why);
}

QString errorText(veidora::facefit::SilhouetteError error) {
    using veidora::facefit::SilhouetteError;
    switch (error) {
    case SilhouetteError::BadPicture:
        return QStringLiteral("nuotraukos taškų nepavyko perskaityti.");
    case SilhouetteError::OutOfMemory:
        return QStringLiteral("kompiuteriui pritrūko atminties.");
    case SilhouetteError::LibraryFailure:
    case SilhouetteError::None:
        break;
    }
    return QStringLiteral("vaizdų apdorojimo biblioteka (OpenCV) grąžino klaidą.");
}

} // namespace

ProfileSearch::ProfileSearch(QObject* parent)
    : LandmarkSearch(parent), m_modules(ProfileFinderLibrary::candidates()) {}

QString ProfileSearch::moduleErrorText(const QString& module, const QString& why) {
    return QStringLiteral("Nepavyko įkelti profilio paieškos modulio „%1“ (%2). Jį įdiegia "
                          "Debian paketas „%3“ (komanda: apt-get install --reinstall %3).")
        .arg(module, why, QLatin1String(ModuleLibrary::kPackage));
}

LandmarkSearch::Job ProfileSearch::job() const {
    const double tilt = m_tilt ? m_tilt() : 0; // on this thread, before the worker starts
    return [modules = m_modules, tilt](const QImage& picture) {
        return search(modules, picture, tilt);
    };
}

void ProfileSearch::preload() {
    // Window tests that open side photos for other reasons keep OpenCV out of the process.
    static const bool off = qEnvironmentVariableIsSet("VEIDORA_NO_MODEL_PRELOAD");
    if (off)
        return;
    // A module that cannot be loaded is reported when a search needs it.
    (void)QtConcurrent::run([modules = m_modules]() noexcept {
        try {
            ProfileFinderLibrary::load(modules);
        } catch (...) {
        }
    });
}

LandmarkSearch::Outcome ProfileSearch::search(const QStringList& modules, const QImage& picture,
                                              double shownTilt) noexcept {
    using namespace veidora::facefit;
    return safely(
        [&] {
            Outcome out;
            const ModuleLibrary::Loaded module = ProfileFinderLibrary::load(modules);
            const ProfileFinderEntry* entry = ProfileFinderLibrary::entry(module);
            if (!entry) {
                out.kind = Outcome::Failed;
                out.message = moduleErrorText(modules.value(0), module.error);
                return out;
            }
            const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
            const ColourView view{rgb.constBits(), rgb.width(), rgb.height(), rgb.bytesPerLine(),
                                  3};
            // The module only cuts the silhouette; the walk along it runs here.
            SilhouetteError error = SilhouetteError::None;
            const std::optional<Outline> outline = entry->findSilhouette(view, &error);
            if (error != SilhouetteError::None) {
                out.kind = Outcome::Failed;
                out.message = failedText(errorText(error));
                return out;
            }
            if (!outline)
                return out;
            const ProfileResult r = analyseProfile(*outline, &view, sideDefaults(), shownTilt);
            if (r.found) {
                out.kind = Outcome::Found;
                out.points.assign(r.points.begin(), r.points.end());
                out.found.assign(r.measured.begin(), r.measured.end());
                out.mirror = r.facing == Facing::Right;
            }
            return out;
        },
        failedText);
}
