#include "diagnostics.hpp"

#ifdef VEIDORA_AUTO_PLACE
#include "face_finder_library.hpp"
#endif

#include <QLoggingCategory>
#include <QTimer>
#include <QWidget>

namespace veidora::ui {

namespace {
Q_LOGGING_CATEGORY(lcStartup, "veidora.startup", QtInfoMsg)
Q_LOGGING_CATEGORY(lcModules, "veidora.modules", QtInfoMsg)
} // namespace

void reportWhenReady(QWidget* window) {
    QTimer::singleShot(0, window, [] {
#ifdef VEIDORA_AUTO_PLACE
        if (lcModules().isDebugEnabled()) {
            const FaceFinderLibrary::Loaded module = FaceFinderLibrary::load();
            if (module.entry)
                qCDebug(lcModules).noquote() << "face finder:" << module.path;
            else
                qCDebug(lcModules).noquote() << "face finder not loaded:" << module.error;
        }
#endif
        qCDebug(lcStartup) << "ready";
    });
}

} // namespace veidora::ui
