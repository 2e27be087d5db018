#pragma once

#include "error_handler.hpp"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <functional>

#include "selection_point.hpp"

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
    // Tries again every 10 ms by scheduling a copy of itself (a self-owning closure would leak).
    struct Attempt {
        QMessageBox::StandardButton button;
        std::function<void(QMessageBox*)> seen;
        void operator()() const {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                QTimer::singleShot(10, *this);
                return;
            }
            if (seen)
                seen(box);
            QTest::mouseClick(box->button(button), Qt::LeftButton);
        }
    };
    QTimer::singleShot(0, Attempt{button, std::move(seen)});
}

// Drags a landmark grip with the left button, as a user would, to `target` in its rectangle's
// coordinates, through `steps` moves; the event loop runs after each and `during` is called.
inline void dragGrip(TSelectionPoint* grip, QPointF target, int steps = 2,
                     const std::function<void()>& during = {}) {
    grip->raise(); // the grip under the pointer is the one taken
    const QPointF start = grip->Position();
    QTest::mousePress(grip, Qt::LeftButton, {}, (start - QPointF(grip->pos())).toPoint());
    // Moves go to the grip itself, which holds the pointer while the button is down (QTest's
    // own mouseMove would read a local (0, 0) as "the centre").
    auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        const QPointF local = at - QPointF(grip->pos());
        QMouseEvent e(type, local, grip->mapToGlobal(local), Qt::LeftButton, buttons,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(grip, &e);
        QCoreApplication::processEvents();
    };
    for (int step = 1; step <= steps; ++step) {
        send(QEvent::MouseMove, start + (target - start) * step / double(steps), Qt::LeftButton);
        if (during)
            during();
    }
    send(QEvent::MouseButtonRelease, target, Qt::NoButton);
}
