#include "error_handler.hpp"
#include "veidora_window.hpp"

int main(int argc, char* argv[]) {
    veidora::ui::TApplication app(argc, argv);
    veidora::ui::installTranslations(app);
    TVeidora Veidora;
    Veidora.show();
    return app.exec();
}
