#pragma once

#include <QPointF>
#include <QWidget>

#include <cstddef>

class LandmarkSet;
class QPainter;

// A landmark grip: shows one landmark of a set as a small circle whose centre is Position, in
// the parent's coordinates, and moves it there; the set holds the place and the mark.
// A left-button drag puts the centre on the pointer, kept inside the parent's box. A click
// selects the grip; the arrow keys then move it (Shift 10 units, Ctrl a quarter unit).
class TSelectionPoint : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QPointF Position READ Position WRITE setPosition NOTIFY PositionChanged)
    Q_PROPERTY(int GripSize READ GripSize)
    Q_PROPERTY(bool Selected READ isSelected WRITE setSelected)
    Q_PROPERTY(bool Estimated READ isEstimated WRITE setEstimated NOTIFY EstimatedChanged)
public:
    TSelectionPoint(LandmarkSet* set, std::size_t index, QWidget* parent, int gripSize = 3);

    LandmarkSet* landmarkSet() const { return m_set; }
    std::size_t index() const { return m_index; }
    QPointF Position() const { return m_position; }
    void setPosition(QPointF centre);
    int GripSize() const { return m_gripSize; }
    bool isHot() const { return m_hot; }
    bool isDragging() const { return m_dragging; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    // Placed by an estimate, not found on the photo: drawn yellow until the user moves it.
    bool isEstimated() const { return m_estimated; }
    void setEstimated(bool estimated);

    // Moves the centre as one drag step would: clamped to the parent, OnTrack first.
    void moveTo(QPointF centre);
    // The step an arrow key with these modifiers moves the grip by.
    static QPointF keyStep(int key, Qt::KeyboardModifiers modifiers);

    // Draws a grip as the screen shows it, centred at `centre` in the painter's coordinates.
    static void paintGrip(QPainter& p, QPointF centre, int gripSize, bool hot, bool selected,
                          bool estimated = false);

signals:
    // Each drag step, before the grip moves: the place it is about to take.
    void OnTrack(TSelectionPoint* sender, qreal X, qreal Y);
    void PositionChanged(QPointF position);
    void Pressed(TSelectionPoint* sender);
    void Released(TSelectionPoint* sender);
    void HotChanged(TSelectionPoint* sender, bool hot);
    // An arrow key moved the grip (after the move).
    void KeyMoved(TSelectionPoint* sender, QPointF from, QPointF to);
    void EscapePressed(TSelectionPoint* sender);
    void EstimatedChanged(TSelectionPoint* sender, bool estimated);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void showLandmark(); // takes the set's place and mark for this landmark
    void place();
    void setHot(bool hot);
    // The selection ring needs a little more room than the bare grip.
    int halfExtent() const { return m_gripSize + (m_selected ? 6 : m_estimated ? 3 : 2); }

    LandmarkSet* m_set;
    std::size_t m_index;
    QPointF m_position; // as last shown
    int m_gripSize;
    bool m_dragging = false;
    bool m_hot = false;
    bool m_selected = false;
    bool m_estimated = false; // as last shown
};
