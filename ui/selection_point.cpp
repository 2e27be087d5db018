#include "selection_point.hpp"

#include "landmark_set.hpp"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

TSelectionPoint::TSelectionPoint(LandmarkSet* set, std::size_t index, QWidget* parent, int gripSize)
    : QWidget(parent), m_set(set), m_index(index), m_position(set->position(index)),
      m_gripSize(gripSize), m_estimated(set->isEstimated(index)) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_set, &LandmarkSet::changed, this, [this](std::size_t i) {
        if (i == m_index)
            showLandmark();
    });
    place();
}

void TSelectionPoint::setPosition(QPointF centre) {
    m_set->setPosition(m_index, centre);
}

void TSelectionPoint::setSelected(bool selected) {
    if (selected == m_selected)
        return;
    m_selected = selected;
    if (selected)
        raise(); // a selected grip is never hidden under its neighbours
    place();
}

void TSelectionPoint::setEstimated(bool estimated) {
    m_set->setEstimated(m_index, estimated);
}

void TSelectionPoint::showLandmark() {
    const QPointF position = m_set->position(m_index);
    const bool estimated = m_set->isEstimated(m_index);
    const bool moved = position != m_position;
    const bool marked = estimated != m_estimated;
    m_position = position;
    m_estimated = estimated;
    if (moved || marked)
        place();
    if (moved)
        emit PositionChanged(m_position);
    if (marked)
        emit EstimatedChanged(this, estimated);
}

void TSelectionPoint::place() {
    // The widget only hosts the circle; its own size plays no part in Position.
    const int e = halfExtent();
    setGeometry(static_cast<int>(std::floor(m_position.x())) - e,
                static_cast<int>(std::floor(m_position.y())) - e, 2 * e + 1, 2 * e + 1);
    update();
}

void TSelectionPoint::paintGrip(QPainter& p, QPointF centre, int gripSize, bool hot, bool selected,
                                bool estimated) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (selected) {
        // Orange on a dark rim reads on light skin and on dark hair alike.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0x20, 0x20, 0x20), 3.2));
        p.drawEllipse(centre, gripSize + 3.0, gripSize + 3.0);
        p.setPen(QPen(QColor(0xFF, 0x9A, 0x00), 1.6));
        p.drawEllipse(centre, gripSize + 3.0, gripSize + 3.0);
    }
    if (estimated) {
        // A dark rim keeps the yellow apart from light skin as well as from dark hair.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.5));
        p.drawEllipse(centre, gripSize + 1.5, gripSize + 1.5);
    }
    p.setPen(QPen(QColor(0x00, 0x00, 0xFF), 1));
    p.setBrush(hot         ? QColor(0xFF, 0x00, 0x00)
               : estimated ? QColor(0xFF, 0xD4, 0x00)
                           : QColor(0xFF, 0xFF, 0xFF));
    p.drawEllipse(centre, gripSize, gripSize);
    p.restore();
}

void TSelectionPoint::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintGrip(p, m_position - QPointF(x(), y()), m_gripSize, m_hot, m_selected, m_estimated);
}

void TSelectionPoint::moveTo(QPointF centre) {
    QWidget* box = parentWidget();
    const qreal X = box ? std::clamp<qreal>(centre.x(), 0, box->width()) : centre.x();
    const qreal Y = box ? std::clamp<qreal>(centre.y(), 0, box->height()) : centre.y();
    emit OnTrack(this, X, Y);
    setPosition({X, Y});
}

QPointF TSelectionPoint::keyStep(int key, Qt::KeyboardModifiers modifiers) {
    const qreal unit = modifiers & Qt::ShiftModifier     ? 10.0
                       : modifiers & Qt::ControlModifier ? 0.25
                                                         : 1.0;
    switch (key) {
    case Qt::Key_Left:
        return {-unit, 0};
    case Qt::Key_Right:
        return {unit, 0};
    case Qt::Key_Up:
        return {0, -unit};
    case Qt::Key_Down:
        return {0, unit};
    default:
        return {};
    }
}

void TSelectionPoint::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        emit EscapePressed(this);
        return;
    }
    const QPointF step = keyStep(event->key(), event->modifiers());
    if (step.isNull() || m_dragging) {
        QWidget::keyPressEvent(event);
        return;
    }
    const QPointF from = m_position;
    moveTo(m_position + step);
    emit KeyMoved(this, from, m_position);
}

void TSelectionPoint::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_dragging = true;
    raise();
    setFocus(Qt::MouseFocusReason);
    event->accept();
    emit Pressed(this);
}

void TSelectionPoint::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging || !(event->buttons() & Qt::LeftButton))
        return;
    moveTo(mapToParent(event->position()));
}

void TSelectionPoint::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_dragging)
        return;
    m_dragging = false;
    if (!rect().contains(event->position().toPoint()))
        setHot(false);
    emit Released(this);
}

void TSelectionPoint::setHot(bool hot) {
    if (hot == m_hot)
        return;
    m_hot = hot;
    update();
    emit HotChanged(this, hot);
}

void TSelectionPoint::enterEvent(QEnterEvent*) {
    setHot(true);
}

void TSelectionPoint::leaveEvent(QEvent*) {
    if (!m_dragging)
        setHot(false);
}
