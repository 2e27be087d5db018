#include "landmark_page.hpp"

#include "default_ring.hpp"
#include "grip_history.hpp"
#include "landmark_set.hpp"
#include "loupe.hpp"
#include "photo.hpp"
#include "selection_point.hpp"

#include <QApplication>
#include <QFocusEvent>
#include <QStatusBar>
#include <QTabWidget>

#include <algorithm>

LandmarkPage::LandmarkPage(Setup setup, QObject* parent) : QObject(parent), m_s(std::move(setup)) {
    QWidget* rectangle = m_s.grips.front()->parentWidget();
    m_ring = new TDefaultRing(rectangle);
    const QRect box = m_s.sample->Box();
    m_ring->setArea(m_s.sample->fittedRect().translated(box.topLeft()).toAlignedRect() & box);
    m_ring->stackUnder(m_s.grips.front());
    rectangle->installEventFilter(this);

    for (std::size_t i = 0; i < m_s.grips.size(); ++i) {
        TSelectionPoint* grip = m_s.grips[i];
        grip->setToolTip(hint(grip));
        grip->setAccessibleName(hint(grip));
        grip->installEventFilter(this);
        if (i > 0)
            QWidget::setTabOrder(m_s.grips[i - 1], grip); // Tab goes in landmark order
        connectGrip(grip);
    }
    connect(m_s.tabs, &QTabWidget::currentChanged, this, [this] {
        if (!isCurrent() && m_s.loupe && indexOf(m_s.loupe->target()) >= 0)
            m_s.loupe->hideNow();
        refresh();
    });
}

void LandmarkPage::connectGrip(TSelectionPoint* grip) {
    connect(grip, &TSelectionPoint::Pressed, this, [this](TSelectionPoint* g) {
        m_pressedAt = g->Position();
        m_pressedEstimated = g->isEstimated();
        select(g);
        if (m_s.loupe)
            m_s.loupe->showFor(g);
        refresh();
    });
    connect(grip, &TSelectionPoint::Released, this, [this](TSelectionPoint* g) {
        if (m_s.loupe)
            m_s.loupe->hideNow();
        // A grip the user has moved is placed by hand, no longer an estimate.
        if (g->Position() != m_pressedAt)
            g->setEstimated(false);
        if (m_s.history)
            m_s.history->recordDrag(g, {m_pressedAt, m_pressedEstimated},
                                    {g->Position(), g->isEstimated()});
        refresh();
    });
    connect(grip, &TSelectionPoint::KeyMoved, this,
            [this](TSelectionPoint* g, QPointF from, QPointF to) {
                const bool wasEstimated = g->isEstimated();
                g->setEstimated(false);
                if (m_s.history)
                    m_s.history->recordKey(g, {from, wasEstimated}, {to, false});
                if (m_s.loupe) {
                    m_s.loupe->showFor(g);
                    m_s.loupe->hideAfter(kKeyLoupeMs);
                }
                select(g);
            });
    connect(grip, &TSelectionPoint::HotChanged, this, [this](TSelectionPoint* g, bool hot) {
        if (hot)
            m_hot = g;
        else if (m_hot == g)
            m_hot = nullptr;
        refresh();
    });
    connect(grip, &TSelectionPoint::EscapePressed, this, [this] {
        if (m_s.loupe)
            m_s.loupe->hideNow();
        clearSelection();
    });
    connect(grip, &TSelectionPoint::PositionChanged, this, [this] { refresh(); });
    connect(grip, &TSelectionPoint::EstimatedChanged, this, [this](TSelectionPoint* g) {
        g->setToolTip(hint(g));
        g->setAccessibleName(hint(g));
        refresh();
    });
}

bool LandmarkPage::eventFilter(QObject* watched, QEvent* event) {
    auto* grip = qobject_cast<TSelectionPoint*>(watched);
    if (grip && event->type() == QEvent::FocusIn) {
        select(grip);
    } else if (grip && event->type() == QEvent::FocusOut && grip == m_selected) {
        // Selection follows the keyboard focus, but survives a menu or another window.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool away = reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
                          reason == Qt::MenuBarFocusReason;
        auto* next = qobject_cast<TSelectionPoint*>(QApplication::focusWidget());
        if (!away && indexOf(next) < 0)
            clearSelection();
    } else if (!grip && event->type() == QEvent::MouseButtonPress) {
        clearSelection(); // a click beside the grips lets go of the selected one
    }
    return false;
}

int LandmarkPage::indexOf(const TSelectionPoint* grip) const {
    const auto it = std::find(m_s.grips.begin(), m_s.grips.end(), grip);
    return grip && it != m_s.grips.end() ? int(it - m_s.grips.begin()) : -1;
}

QString LandmarkPage::hint(const TSelectionPoint* grip) const {
    const QString hint = m_s.hints.value(indexOf(grip));
    return grip && grip->isEstimated() ? hint + QStringLiteral(" (apytiksliai)") : hint;
}

TSelectionPoint* LandmarkPage::dragged() const {
    for (TSelectionPoint* g : m_s.grips)
        if (g->isDragging())
            return g;
    return nullptr;
}

TSelectionPoint* LandmarkPage::focusGrip() const {
    if (TSelectionPoint* g = dragged())
        return g;
    if (m_hot)
        return m_hot;
    return m_selected;
}

int LandmarkPage::movedCount() const {
    return m_s.set->movedCount();
}

QString LandmarkPage::progressText() const {
    return QStringLiteral("%1: perkelta %2 iš %3 taškų")
        .arg(m_s.title)
        .arg(movedCount())
        .arg(m_s.grips.size());
}

bool LandmarkPage::isCurrent() const {
    return m_s.tabs && m_s.tabs->currentWidget() == m_s.page;
}

void LandmarkPage::select(TSelectionPoint* grip) {
    if (grip != m_selected) {
        for (TSelectionPoint* g : m_s.grips)
            g->setSelected(g == grip);
        m_selected = grip;
    }
    if (grip && !grip->hasFocus())
        grip->setFocus(Qt::OtherFocusReason);
    refresh();
}

void LandmarkPage::clearSelection() {
    TSelectionPoint* was = m_selected;
    m_selected = nullptr;
    if (was) {
        was->setSelected(false);
        if (was->hasFocus())
            was->clearFocus();
    }
    refresh();
}

void LandmarkPage::refresh() {
    TSelectionPoint* g = focusGrip();
    const int i = indexOf(g);
    m_ring->setTarget(i >= 0 ? std::optional<QPointF>(m_s.set->defaultPosition(std::size_t(i)))
                             : std::nullopt);
    if (m_s.status && isCurrent())
        m_s.status->showMessage(i >= 0                  ? hint(g)
                                : !m_activity.isEmpty() ? m_activity
                                                        : progressText());
}

void LandmarkPage::announce(const QString& text) {
    if (m_s.status && isCurrent())
        m_s.status->showMessage(text);
}

void LandmarkPage::setActivity(const QString& text) {
    m_activity = text;
    refresh();
}
