#include "veidora_window.hpp"

TVeidora::TVeidora(QWidget* parent) : QWidget(parent) {
    setObjectName("Veidora");
    setWindowTitle(QStringLiteral("Programa \"Profilora\""));
    resize(700, 798);
}
