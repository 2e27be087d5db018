#include "default_ring.hpp"

#include <QPainter>

TDefaultRing::TDefaultRing(QWidget* rectangle) : QWidget(rectangle) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void TDefaultRing::setArea(const QRect& area) {
    setGeometry(area);
}

void TDefaultRing::setTarget(std::optional<QPointF> place) {
    if (place == m_target)
        return;
    m_target = place;
    setVisible(m_target.has_value());
    update();
}

void TDefaultRing::paintRing(QPainter& p, QPointF centre) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x10, 0x10, 0x10, 0xC0), 3.5));
    p.drawEllipse(centre, kRadius, kRadius);
    p.setPen(QPen(QColor(0x00, 0xE0, 0xFF), 2.0));
    p.drawEllipse(centre, kRadius, kRadius);
    p.restore();
}

void TDefaultRing::paintEvent(QPaintEvent*) {
    if (!m_target)
        return;
    QPainter p(this);
    paintRing(p, *m_target - QPointF(pos()));
}
