#include "selection_point.hpp"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

TSelectionPoint::TSelectionPoint(QWidget* parent, int gripSize)
    : QWidget(parent), m_gripSize(gripSize) {
    setCursor(Qt::PointingHandCursor);
    place();
}

void TSelectionPoint::setPosition(QPointF centre) {
    if (centre == m_position)
        return;
    m_position = centre;
    place();
    emit PositionChanged(m_position);
}

void TSelectionPoint::setGripSize(int size) {
    m_gripSize = std::max(1, size);
    place();
}

void TSelectionPoint::place() {
    // The widget only hosts the circle; its own size plays no part in Position.
    const int e = halfExtent();
    setGeometry(static_cast<int>(std::floor(m_position.x())) - e,
                static_cast<int>(std::floor(m_position.y())) - e, 2 * e + 1, 2 * e + 1);
    update();
}

void TSelectionPoint::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF local = m_position - QPointF(x(), y());
    p.setPen(QPen(QColor(0x00, 0x00, 0xFF), 1));
    p.setBrush(m_hot ? QColor(0xFF, 0x00, 0x00) : QColor(0xFF, 0xFF, 0xFF));
    p.drawEllipse(local, m_gripSize, m_gripSize);
}

void TSelectionPoint::dragTo(QPointF pointer) {
    QWidget* box = parentWidget();
    const qreal X = box ? std::clamp<qreal>(pointer.x(), 0, box->width()) : pointer.x();
    const qreal Y = box ? std::clamp<qreal>(pointer.y(), 0, box->height()) : pointer.y();
    emit OnTrack(this, X, Y);
    setPosition({X, Y});
}

void TSelectionPoint::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_dragging = true;
    raise();
    event->accept();
}

void TSelectionPoint::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging || !(event->buttons() & Qt::LeftButton))
        return;
    dragTo(mapToParent(event->position()));
}

void TSelectionPoint::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    if (!rect().contains(event->position().toPoint())) {
        m_hot = false;
        update();
    }
}

void TSelectionPoint::enterEvent(QEnterEvent*) {
    m_hot = true;
    update();
}

void TSelectionPoint::leaveEvent(QEvent*) {
    if (m_dragging)
        return;
    m_hot = false;
    update();
}
