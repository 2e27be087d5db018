#include "veidora_window.hpp"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    TVeidora Veidora;
    Veidora.show();
    return app.exec();
}
