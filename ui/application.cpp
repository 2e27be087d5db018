#include "application.hpp"

#include "error_handler.hpp"

#include <QLibraryInfo>
#include <QTranslator>

namespace veidora::ui {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    initResources();
    setFont(programFont());
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    guarded(activeWindow(), [&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

QFont programFont() {
    // Liberation Sans Narrow (Debian's fonts-liberation) at 11 px: the widest figures keep their
    // air at the designed places; a wider face or a larger size runs labels together.
    QFont font(QStringLiteral("Liberation Sans Narrow"));
    font.setStyleHint(QFont::SansSerif);
    font.setFamilies({QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Arial Narrow")});
    font.setPixelSize(11);
    return font;
}

void installTranslations(QCoreApplication& app) {
    initResources();
    auto* qt = new QTranslator(&app);
    if (qt->load(QLocale(QLocale::Lithuanian, QLocale::Lithuania), QStringLiteral("qt"),
                 QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    auto* own = new QTranslator(&app);
    if (own->load(QStringLiteral(":/i18n/veidora_lt.qm")))
        QCoreApplication::installTranslator(own);
}

} // namespace veidora::ui

// Resources compiled into a static library have to be registered by hand.
static void registerResources() {
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(rendered);
    Q_INIT_RESOURCE(rendered_large);
}

void veidora::ui::initResources() {
    static const bool done = (registerResources(), true);
    (void)done;
}
