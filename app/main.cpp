#include "application.hpp"
#include "diagnostics.hpp"
#include "product.hpp"
#include "veidora_window.hpp"

int main(int argc, char* argv[]) {
    veidora::ui::TApplication app(argc, argv);
    // Lets the desktop match the window to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QLatin1String(veidora::ui::kDesktopId));
    veidora::ui::installTranslations(app);
    TVeidora Veidora;
    Veidora.show();
    veidora::ui::reportWhenReady(&Veidora);
    return app.exec();
}
