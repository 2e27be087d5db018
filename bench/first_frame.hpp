// Runs the event loop of a start-up probe until its window has been painted once (or, with
// "--turn" on the command line, only until the loop's first turn), then leaves.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstring>

namespace bench {

class FirstFrame : public QObject {
public:
    explicit FirstFrame(QWidget* window) : m_window(window) { window->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // The window is painted first, its children right after in the same pass; leaving
        // once the loop is back lets that pass and its flush finish.
        if (watched == m_window && event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    QWidget* m_window;
    bool m_seen = false;
};

inline int runUntilShown(QApplication& app, QWidget& window, int argc, char* argv[]) {
    bool turnOnly = false;
    for (int i = 1; i < argc; ++i)
        turnOnly = turnOnly || std::strcmp(argv[i], "--turn") == 0;
    FirstFrame frame(&window);
    window.show();
    if (turnOnly)
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}

} // namespace bench
