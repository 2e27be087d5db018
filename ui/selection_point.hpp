#pragma once

#include <QPointF>
#include <QWidget>

// A landmark grip: a small circle whose centre is Position, in the parent's coordinates.
// A left-button drag puts the centre on the pointer, kept inside the parent's box.
class TSelectionPoint : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QPointF Position READ Position WRITE setPosition NOTIFY PositionChanged)
    Q_PROPERTY(int GripSize READ GripSize WRITE setGripSize)
public:
    explicit TSelectionPoint(QWidget* parent, int gripSize = 3);

    QPointF Position() const { return m_position; }
    void setPosition(QPointF centre);
    int GripSize() const { return m_gripSize; }
    void setGripSize(int size);
    bool isHot() const { return m_hot; }

signals:
    // Each drag step, before the grip moves: the place it is about to take.
    void OnTrack(TSelectionPoint* sender, qreal X, qreal Y);
    void PositionChanged(QPointF position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void place();
    void dragTo(QPointF pointerInParent);
    int halfExtent() const { return m_gripSize + 2; }

    QPointF m_position;
    int m_gripSize;
    bool m_dragging = false;
    bool m_hot = false;
};
