#include "diagnostics.hpp"

#ifdef VEIDORA_AUTO_PLACE
#include "face_finder_library.hpp"
#endif
#ifdef VEIDORA_AUTO_PLACE_SIDE
#include "profile_finder_library.hpp"
#endif

#include <QLoggingCategory>
#include <QTimer>
#include <QWidget>

namespace veidora::ui {

namespace {
Q_LOGGING_CATEGORY(lcStartup, "veidora.startup", QtInfoMsg)
Q_LOGGING_CATEGORY(lcModules, "veidora.modules", QtInfoMsg)

#if defined(VEIDORA_AUTO_PLACE) || defined(VEIDORA_AUTO_PLACE_SIDE)
void report(const char* what, const ModuleLibrary::Loaded& module) {
    if (module.entry)
        qCDebug(lcModules).noquote() << what << QStringLiteral("from") << module.path;
    else
        qCDebug(lcModules).noquote()
            << what << QStringLiteral("not loaded:") << module.error << module.detail;
}
#endif

} // namespace

void reportWhenReady(QWidget* window) {
    QTimer::singleShot(0, window, [] {
#ifdef VEIDORA_AUTO_PLACE
        if (lcModules().isDebugEnabled())
            report("face finder", FaceFinderLibrary::load());
#endif
#ifdef VEIDORA_AUTO_PLACE_SIDE
        if (lcModules().isDebugEnabled())
            report("profile finder", ProfileFinderLibrary::load());
#endif
        qCDebug(lcStartup) << "ready";
    });
}

} // namespace veidora::ui
