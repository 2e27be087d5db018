#include "controls.hpp"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
constexpr double kSubSteps = 100; // slider positions per unit when there is no frequency
}

TRectangle::TRectangle(QWidget* parent) : QWidget(parent) {}

void TRectangle::paintSurface(QPainter& p) const {
    p.save();
    p.fillRect(rect(), QColor(0xF4, 0xF5, 0xF7));
    p.setPen(QColor(0xB8, 0xBD, 0xC6));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.restore();
}

void TRectangle::paintEvent(QPaintEvent*) {
    {
        QPainter p(this);
        paintSurface(p);
    }
    if (OnPaint)
        OnPaint();
}

int TextWidths::of(const QFont& font, const QString& text) {
    if (!(font == m_font)) {
        m_font = font;
        m_widths.clear();
    }
    if (const auto it = m_widths.constFind(text); it != m_widths.constEnd())
        return *it;
    return *m_widths.insert(text, QFontMetrics(font).horizontalAdvance(text));
}

TLabel::TLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void TLabel::setDesignedGeometry(const QRect& place, TextWidths* widths) {
    m_designedWidth = place.width();
    setGeometry(place);
    fit(widths);
}

void TLabel::setText(const QString& text) {
    QLabel::setText(text);
    if (m_showsFigure)
        setAccessibleDescription(text);
    fit();
}

void TLabel::setCaption(const QString& caption) {
    m_showsFigure = true;
    setAccessibleName(caption);
    setAccessibleDescription(text());
}

void TLabel::fit(TextWidths* widths) {
    if (m_designedWidth < 0)
        return;
    const int needed =
        (widths ? widths->of(font(), text()) : fontMetrics().horizontalAdvance(text())) + 2;
    resize(std::max(m_designedWidth, needed), height());
}

TTrackBar::TTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    syncSlider();
    connect(this, &QSlider::valueChanged, this, [this](int pos) {
        if (m_syncing)
            return;
        const double scale = m_frequency > 0 ? 1.0 / m_frequency : kSubSteps;
        setValue(m_min + pos / scale);
    });
}

void TTrackBar::setValue(double value) {
    value = std::clamp(value, m_min, m_max);
    if (m_frequency > 0)
        value = m_min + std::round((value - m_min) / m_frequency) * m_frequency;
    if (value == m_value)
        return;
    m_value = value;
    syncSlider();
    emit OnChange();
}

void TTrackBar::setMin(double min) {
    m_min = min;
    m_max = std::max(m_max, m_min);
    syncSlider();
    setValue(m_value);
}

void TTrackBar::setMax(double max) {
    m_max = max;
    m_min = std::min(m_min, m_max);
    syncSlider();
    setValue(m_value);
}

void TTrackBar::setFrequency(double frequency) {
    m_frequency = std::max(0.0, frequency);
    syncSlider();
    setValue(m_value);
}

void TTrackBar::syncSlider() {
    const double scale = m_frequency > 0 ? 1.0 / m_frequency : kSubSteps;
    m_syncing = true;
    setRange(0, static_cast<int>(std::lround((m_max - m_min) * scale)));
    setSingleStep(m_frequency > 0 ? 1 : static_cast<int>(kSubSteps));
    setPageStep(static_cast<int>(5 * (m_frequency > 0 ? 1 : kSubSteps)));
    QSlider::setValue(static_cast<int>(std::lround((m_value - m_min) * scale)));
    m_syncing = false;
}
