#pragma once

#include <QWidget>

// A picture drawn from an SVG resource, fitted into the control and sharp at any pixel
// ratio; clicking it raises Clicked.
class TClickImage : public QWidget {
    Q_OBJECT
public:
    TClickImage(const QString& svgResource, QWidget* parent);

signals:
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString m_svg;
};
