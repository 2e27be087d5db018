#pragma once

#include <QString>

#include <functional>
#include <stdexcept>
#include <string>

class QWidget;

namespace veidora::ui {

// An error meant for the user: its text is shown as it stands.
class UserError : public std::runtime_error {
public:
    explicit UserError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// The one place where errors reach the user: an error box with OK. Tests may divert it.
using ErrorPresenter = std::function<void(QWidget* parent, const QString& message)>;
void showError(QWidget* parent, const QString& message);
ErrorPresenter setErrorPresenter(ErrorPresenter presenter); // returns the previous one

// Runs an event handler; anything it throws ends the handler and is shown, and the program
// goes on. Nothing is allowed to cross the event loop.
template <class F> void guarded(QWidget* parent, F&& handler) noexcept {
    try {
        handler();
    } catch (const std::exception& e) {
        showError(parent, QString::fromStdString(e.what()));
    } catch (...) {
        showError(parent, QStringLiteral("Nežinoma klaida."));
    }
}

} // namespace veidora::ui
