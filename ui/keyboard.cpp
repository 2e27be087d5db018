#include "keyboard.hpp"

#include "controls.hpp"
#include "face_page.hpp"
#include "selection_point.hpp"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>

KeyboardAccess::KeyboardAccess(Setup setup, QObject* parent)
    : QObject(parent), m_s(std::move(setup)) {
    // Widgets of the hidden page are skipped by Qt, so one chain serves both pages; a page
    // built later joins it behind the page before it.
    chain(m_s.shellChain);
    for (QAbstractButton* b : m_s.buttons)
        b->installEventFilter(this);
    for (std::size_t i = 0; i < m_s.pages.size(); ++i) {
        FacePage* page = m_s.pages[i];
        FacePage* before = i > 0 ? m_s.pages[i - 1] : nullptr;
        page->whenBuilt([this, page, before] {
            QList<QWidget*> links{before ? before->grips().back() : m_s.shellChain.back()};
            for (QAbstractButton* b :
                 {page->resetButton(), page->findButton(), page->mirrorButton()})
                if (b) {
                    links << b;
                    b->installEventFilter(this);
                }
            links << page->tilt();
            for (TSelectionPoint* g : page->grips())
                links << g;
            chain(links);
        });
    }
    m_s.menuButton->installEventFilter(this);
    m_s.menuButton->setFocusPolicy(Qt::StrongFocus);
    setMinimumSize();
}

void KeyboardAccess::chain(const QList<QWidget*>& widgets) {
    for (qsizetype i = 1; i < widgets.size(); ++i)
        QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

void KeyboardAccess::setMinimumSize() {
    // The menu button keeps to the top-right corner: the window may not get narrower than the
    // controls beside it plus the button, nor lower than the drawing rectangle needs.
    int right = 0;
    for (QWidget* b : m_s.besideMenu)
        right = std::max(right, b->geometry().right() + 1);
    constexpr int kMenuButton = 49; // its designed side; placed when the window is laid out
    const int width = right + 8 + kMenuButton;
    const int headers = m_s.tabs->tabBar()->sizeHint().height() + 4;
    const int height = m_s.tabs->y() + headers +
                       m_s.pages.front()->rectangle()->geometry().bottom() + 1 + 8 +
                       m_s.status->sizeHint().height();
    m_s.window->setMinimumSize(width, height);
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
