#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <memory>

#include "photo_reader.hpp"

class QPainter;
class QSvgRenderer;

// A picture control: the bitmap is fitted into the box (aspect kept, centred) and turned by
// RotationAngle degrees about the box centre. A turned picture is drawn whole; the widget
// grows around its box for that, so Box() and not geometry() is the control's place.
class TImage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double RotationAngle READ RotationAngle WRITE setRotationAngle)
public:
    explicit TImage(QWidget* parent = nullptr);
    ~TImage() override;

    void setBox(const QRect& box);
    QRect Box() const { return m_box; }

    const QImage& Bitmap() const; // a drawing is rendered at its own size on the first call
    int BitmapWidth() const { return pictureSize().width(); }
    void setBitmap(const QImage& image);
    void setSvg(const QString& resource); // a drawing, rendered sharp at any size
    void mirror();                        // left-right, in place

    double RotationAngle() const { return m_angle; }
    void setRotationAngle(double degrees);

    // The size to decode photos at: the box at this screen's pixel ratio, with room for a
    // 4x magnified view.
    QSize decodeBound() const;
    // The pixmap paint draws (for tests): the fitted picture at device pixels.
    const QPixmap& cachedPixmap() const { return m_cache; }
    QRectF fittedRect() const; // in box coordinates

signals:
    void BitmapChanged();

public:
    // Paints the picture as the screen shows it, in the parent's coordinates, from the full
    // decoded pixels (or from the drawing itself), for a magnified view.
    void paintDetail(QPainter& p) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void relayout();
    void rebuildCache();
    QSize pictureSize() const {
        return m_svg.isEmpty() || m_svgSize.isEmpty() ? m_bitmap.size() : m_svgSize;
    }

    QRect m_box;
    mutable QImage m_bitmap;
    QString m_svg;
    mutable std::unique_ptr<QSvgRenderer> m_renderer; // made on the first magnified view
    QSize m_svgSize;
    QPixmap m_cache;
    double m_angle = 0;
};
