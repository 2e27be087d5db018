#include "keyboard.hpp"

#include "about_window.hpp"
#include "controls.hpp"
#include "matrix_label.hpp"
#include "selection_point.hpp"
#include "string_grid.hpp"
#include "veidora_window.hpp"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>

KeyboardAccess::KeyboardAccess(TVeidora* window, TApie* about)
    : QObject(window), m_window(window), m_about(about) {
    setTabOrder();
    addShortcuts();
    setMinimumSize();
    const QList<QAbstractButton*> buttons{window->Button1, window->Button2, window->Button5,
                                          window->Button6, window->Button7};
    for (QAbstractButton* b : buttons)
        b->installEventFilter(this);
    window->SpeedButton1->installEventFilter(this);
    window->SpeedButton1->setFocusPolicy(Qt::StrongFocus);
    if (window->ButtonAuto)
        window->ButtonAuto->installEventFilter(this);
}

void KeyboardAccess::setTabOrder() {
    TVeidora& w = *m_window;
    // Widgets of the hidden page are skipped by Qt, so one chain serves both pages.
    QList<QWidget*> chain{w.Button1, w.Button2, w.SpeedButton1, w.TabControl1, w.Button6};
    if (w.ButtonAuto)
        chain << w.ButtonAuto;
    chain << w.TrackBar2;
    for (int n = 1; n <= 28; ++n)
        chain << w.SelectionPoint(n);
    chain << w.Button7 << w.Button5 << w.TrackBar1;
    for (int n = 101; n <= 117; ++n)
        chain << w.SelectionPoint(n);
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void KeyboardAccess::addShortcuts() {
    TVeidora& w = *m_window;
    const auto action = [&](const QString& text, QList<QKeySequence> keys, auto&& run) {
        auto* a = new QAction(text, &w);
        a->setShortcuts(keys);
        w.addAction(a);
        connect(a, &QAction::triggered, this, run);
        return a;
    };
    // Through the controls' own signals, so the handlers' error box still applies.
    action(QStringLiteral("Atidaryti nuotrauką"), {QKeySequence::Open}, [&w] {
        w.Button1->click();
    })->setObjectName(QStringLiteral("ActionOpen"));
    action(QStringLiteral("Baigti"), {QKeySequence(Qt::CTRL | Qt::Key_Q)}, [&w] {
        w.close();
    })->setObjectName(QStringLiteral("ActionQuit"));
    const auto turnPage = [&w](int by) {
        const int count = w.TabControl1->count();
        w.TabControl1->setCurrentIndex((w.TabControl1->currentIndex() + by + count) % count);
    };
    action(QStringLiteral("Kitas puslapis"), {QKeySequence(Qt::CTRL | Qt::Key_Tab)}, [turnPage] {
        turnPage(1);
    })->setObjectName(QStringLiteral("ActionNextPage"));
    action(QStringLiteral("Ankstesnis puslapis"),
           {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)},
           [turnPage] { turnPage(-1); })
        ->setObjectName(QStringLiteral("ActionPreviousPage"));
    // "Apie" shows its key in the menu as well.
    w.MenuItem1->setShortcut(QKeySequence(Qt::Key_F1));
    w.addAction(w.MenuItem1);
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), m_about);
    connect(close, &QShortcut::activated, m_about, &QWidget::close);
}

void KeyboardAccess::setMinimumSize() {
    TVeidora& w = *m_window;
    // The menu button keeps to the top-right corner: the window may not get narrower than the
    // controls beside it plus the button, nor lower than the drawing rectangle needs.
    int right = 0;
    const QList<QWidget*> beside{w.MatrixLabel1, w.StringGrid1, w.Button1, w.Button2};
    for (QWidget* b : beside)
        right = std::max(right, b->geometry().right() + 1);
    constexpr int kMenuButton = 49; // its designed side; placed when the window is laid out
    const int width = right + 8 + kMenuButton;
    const int headers = w.TabControl1->tabBar()->sizeHint().height() + 4;
    const int height = w.TabControl1->y() + headers + w.Rectangle1->geometry().bottom() + 1 + 8 +
                       w.StatusBar1->sizeHint().height();
    w.setMinimumSize(width, height);
}

bool KeyboardAccess::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            if (auto* button = qobject_cast<QAbstractButton*>(watched);
                button && button->isEnabled()) {
                button->click();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
