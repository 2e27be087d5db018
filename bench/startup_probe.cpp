// Starts the program as its own main() does and quits once the window has painted: timed
// from outside (scripts/bench.sh), built with and without automatic placement.
#include "error_handler.hpp"
#include "veidora_window.hpp"

#include <QTimer>

int main(int argc, char* argv[]) {
    veidora::ui::TApplication app(argc, argv);
    veidora::ui::installTranslations(app);
    TVeidora Veidora;
    Veidora.show();
    QTimer::singleShot(0, &app, [&] {
        Veidora.repaint(); // the first frame, then leave
        app.quit();
    });
    return app.exec();
}
