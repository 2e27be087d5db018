#include "profile_search.hpp"

#include "module_library.hpp"
#include "profile_finder_library.hpp"
#include "sample_defaults.hpp"
#include "side_landmarks.hpp"

#include <QtConcurrent>

namespace {

QString failedText(const QString& why) {
    return QStringLiteral("Profilio paieška nepavyko: %1").arg(why);
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
    return [modules = m_modules](const QImage& picture) { return search(modules, picture); };
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

LandmarkSearch::Outcome ProfileSearch::search(const QStringList& modules,
                                              const QImage& picture) noexcept {
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
            std::string why;
            const ProfileResult r = entry->findProfile(view, sideDefaults(), &why);
            if (r.found) {
                out.kind = Outcome::Found;
                out.points.assign(r.points.begin(), r.points.end());
                out.found.assign(r.measured.begin(), r.measured.end());
                out.mirror = r.facing == Facing::Right;
            } else if (!why.empty()) {
                out.kind = Outcome::Failed;
                out.message = failedText(QString::fromStdString(why));
            }
            return out;
        },
        failedText);
}
