#pragma once

#include <QWidget>

#include <optional>

class QPainter;

// A ring on the sample face at a landmark's default place, so a grip already moved onto the
// photo still shows which feature it stands for. It covers the sample picture only and takes
// no mouse input.
class TDefaultRing : public QWidget {
    Q_OBJECT
public:
    explicit TDefaultRing(QWidget* rectangle);

    // The area it may draw in (the sample picture), in the rectangle's coordinates.
    void setArea(const QRect& area);
    // The default place to mark, in the rectangle's coordinates; nothing hides the ring.
    void setTarget(std::optional<QPointF> place);
    std::optional<QPointF> target() const { return m_target; }

    static constexpr qreal kRadius = 8.5;
    // Draws the ring at `centre` in the painter's coordinates.
    static void paintRing(QPainter& p, QPointF centre);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QPointF> m_target;
};
