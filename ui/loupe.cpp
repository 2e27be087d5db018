#include "loupe.hpp"

#include "controls.hpp"
#include "default_ring.hpp"
#include "photo.hpp"
#include "selection_point.hpp"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

TLoupe::TLoupe(QWidget* window) : QWidget(window) {
    setObjectName(QStringLiteral("Loupe"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    resize(kDiameter, kDiameter);
    hide();
    m_hideTimer.setSingleShot(true);
    connect(&m_hideTimer, &QTimer::timeout, this, &TLoupe::hideNow);
}

QPoint TLoupe::placeBeside(QPointF grip, QSize area) {
    const int x = grip.x() + kGap + kDiameter <= area.width()
                      ? static_cast<int>(std::ceil(grip.x())) + kGap
                      : static_cast<int>(std::floor(grip.x())) - kGap - kDiameter;
    const int top = static_cast<int>(std::lround(grip.y())) - kDiameter / 2;
    const int y = std::clamp(top, 0, std::max(0, area.height() - kDiameter));
    return {x, y};
}

void TLoupe::showFor(TSelectionPoint* grip) {
    m_hideTimer.stop();
    if (grip != m_target) {
        disconnect(m_following);
        m_target = grip;
        if (grip)
            m_following = connect(grip, &TSelectionPoint::PositionChanged, this, &TLoupe::follow);
    }
    if (!grip) {
        hideNow();
        return;
    }
    follow();
    raise();
    show();
}

void TLoupe::hideAfter(int milliseconds) {
    m_hideTimer.start(milliseconds);
}

void TLoupe::hideNow() {
    m_hideTimer.stop();
    disconnect(m_following);
    m_target = nullptr;
    hide();
}

void TLoupe::follow() {
    if (!m_target)
        return;
    QWidget* area = m_target->parentWidget();
    const QPoint corner = placeBeside(m_target->Position(), area->size());
    move(parentWidget() ? area->mapTo(parentWidget(), corner) : corner);
    update();
}

void TLoupe::paintScene(QPainter& p) const {
    // What the screen shows around the grip, in the grip's rectangle's coordinates.
    QWidget* area = m_target->parentWidget();
    if (auto* surface = qobject_cast<TRectangle*>(area))
        surface->paintSurface(p);
    p.setClipRect(QRectF(area->rect()), Qt::IntersectClip);
    for (QObject* child : area->children()) { // in stacking order, bottom first
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isHidden())
            continue;
        if (auto* image = qobject_cast<TImage*>(w)) {
            image->paintDetail(p);
        } else if (auto* ring = qobject_cast<TDefaultRing*>(w)) {
            if (ring->target()) {
                p.save();
                p.setClipRect(QRectF(ring->geometry()), Qt::IntersectClip);
                TDefaultRing::paintRing(p, *ring->target());
                p.restore();
            }
        } else if (auto* grip = qobject_cast<TSelectionPoint*>(w); grip && grip != m_target) {
            TSelectionPoint::paintGrip(p, grip->Position(), grip->GripSize(), grip->isHot(),
                                       grip->isSelected(), grip->isEstimated());
        }
    }
}

void TLoupe::paintEvent(QPaintEvent*) {
    if (!m_target)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF disc = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    const QPointF centre = disc.center();

    p.save();
    QPainterPath round;
    round.addEllipse(disc);
    p.setClipPath(round);
    p.fillRect(rect(), palette().window());
    p.translate(centre);
    p.scale(kZoom, kZoom);
    p.translate(-m_target->Position());
    paintScene(p);
    p.restore();

    // The grip itself only as an outline, so the feature under its centre stays visible.
    const qreal r = m_target->GripSize() * kZoom;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x00, 0x00, 0xFF, 0x90), 1.2));
    p.drawEllipse(centre, r, r);
    // Cross-hair with a gap at the centre; a light halo under a dark line shows on any colour.
    const qreal inner = 5, outer = disc.width() / 2 - 6;
    for (const auto& [pen, width] :
         {std::pair{QColor(255, 255, 255, 200), 3.0}, std::pair{QColor(0xC8, 0x00, 0x00), 1.5}}) {
        p.setPen(QPen(pen, width, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(centre + QPointF(inner, 0), centre + QPointF(outer, 0));
        p.drawLine(centre - QPointF(inner, 0), centre - QPointF(outer, 0));
        p.drawLine(centre + QPointF(0, inner), centre + QPointF(0, outer));
        p.drawLine(centre - QPointF(0, inner), centre - QPointF(0, outer));
    }
    p.setPen(QPen(QColor(0x30, 0x34, 0x3A), 2.5));
    p.drawEllipse(disc);
}
