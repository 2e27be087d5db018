#pragma once

#include "error_handler.hpp"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <functional>

// Collects the texts that would have reached the error box.
class ErrorRecorder {
public:
    ErrorRecorder() {
        m_previous = veidora::ui::setErrorPresenter(
            [this](QWidget*, const QString& message) { messages << message; });
    }
    ~ErrorRecorder() { veidora::ui::setErrorPresenter(m_previous); }
    QStringList messages;

private:
    veidora::ui::ErrorPresenter m_previous;
};

// Answers the next modal message box by pressing one of its buttons, as a user would; hands
// its text to `seen` first.
inline void answerNextMessageBox(QMessageBox::StandardButton button,
                                 std::function<void(QMessageBox*)> seen = {}) {
    auto attempt = std::make_shared<std::function<void()>>();
    *attempt = [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, *attempt);
            return;
        }
        if (seen)
            seen(box);
        QTest::mouseClick(box->button(button), Qt::LeftButton);
    };
    QTimer::singleShot(0, *attempt);
}
