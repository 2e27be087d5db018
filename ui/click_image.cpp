#include "click_image.hpp"

#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

TClickImage::TClickImage(const QString& svgResource, QWidget* parent)
    : QWidget(parent), m_svg(svgResource) {}

void TClickImage::paintEvent(QPaintEvent*) {
    QSvgRenderer renderer(m_svg);
    if (!renderer.isValid())
        return;
    QPainter p(this);
    const QSizeF fitted =
        QSizeF(renderer.defaultSize()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
    renderer.render(
        &p,
        QRectF(QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted));
}

void TClickImage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Clicked();
}
