#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

class TSelectionPoint;

// A round magnifier beside a grip: the area around the grip's centre at 4x, drawn from the
// photo's decoded pixels and the sample drawing rather than from the screen, with a cross-hair
// on the centre. It never covers the grip and takes no mouse input.
class TLoupe : public QWidget {
    Q_OBJECT
public:
    explicit TLoupe(QWidget* window);

    static constexpr int kDiameter = 130;
    static constexpr qreal kZoom = 4;
    static constexpr int kGap = 18; // from the grip's centre to the loupe's near edge

    // Shows the area around `grip` and follows it until hidden.
    void showFor(TSelectionPoint* grip);
    void hideAfter(int milliseconds);
    void hideNow();
    TSelectionPoint* target() const { return m_target; }

    // The loupe's top-left corner for a grip at `grip` in an area of `area` units: right of
    // the grip, or left of it when there is no room, level with it as far as the area allows.
    static QPoint placeBeside(QPointF grip, QSize area);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void follow();
    void paintScene(QPainter& p) const;

    QPointer<TSelectionPoint> m_target;
    QMetaObject::Connection m_following;
    QTimer m_hideTimer;
};
