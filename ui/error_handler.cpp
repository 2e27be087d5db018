#include "error_handler.hpp"

#include <QMessageBox>

namespace veidora::ui {

namespace {

void boxPresenter(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Klaida"), message, QMessageBox::Ok,
                    parent);
    box.exec();
}

ErrorPresenter& presenter() {
    static ErrorPresenter p = boxPresenter;
    return p;
}

} // namespace

void showError(QWidget* parent, const QString& message) {
    try {
        presenter()(parent, message);
    } catch (...) {
        // Showing the error must not become an error of its own.
    }
}

ErrorPresenter setErrorPresenter(ErrorPresenter p) {
    ErrorPresenter old = std::move(presenter());
    presenter() = p ? std::move(p) : ErrorPresenter(boxPresenter);
    return old;
}

} // namespace veidora::ui
