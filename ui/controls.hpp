#pragma once

#include <QFont>
#include <QHash>
#include <QLabel>
#include <QSlider>
#include <QWidget>

#include <functional>

class QPainter;

// A drawing surface: a light fill with a thin outline; OnPaint runs on every paint.
class TRectangle : public QWidget {
    Q_OBJECT
public:
    explicit TRectangle(QWidget* parent = nullptr);
    std::function<void()> OnPaint;
    // The fill and outline, in the rectangle's own coordinates.
    void paintSurface(QPainter& p) const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Text widths for labels built together: most of a page's labels start with the same few
// texts ("0", "..."), and each text is measured once as long as the font stays the same.
class TextWidths {
public:
    int of(const QFont& font, const QString& text);

private:
    QFont m_font;
    QHash<QString, int> m_widths;
};

// A label that keeps its designed place and width, and grows to the right when its text
// needs more room, so that no figure is ever cut off.
class TLabel : public QLabel {
    Q_OBJECT
public:
    TLabel(const QString& text, QWidget* parent);
    // `widths`, if given, measures the first text.
    void setDesignedGeometry(const QRect& place, TextWidths* widths = nullptr);
    void setText(const QString& text);
    // A screen reader names the label by what it measures and reads the figure as its
    // description, which follows every later text.
    void setCaption(const QString& caption);

private:
    void fit(TextWidths* widths = nullptr);
    int m_designedWidth = -1;
    bool m_showsFigure = false;
};

// A horizontal track bar whose value is a floating-point number. Without a frequency the
// thumb moves in hundredths, so the value can lie between whole numbers.
class TTrackBar : public QSlider {
    Q_OBJECT
    Q_PROPERTY(double Value READ Value WRITE setValue NOTIFY OnChange)
    Q_PROPERTY(double Min READ Min WRITE setMin)
    Q_PROPERTY(double Max READ Max WRITE setMax)
public:
    explicit TTrackBar(QWidget* parent = nullptr);

    double Value() const { return m_value; }
    void setValue(double value);
    double Min() const { return m_min; }
    void setMin(double min);
    double Max() const { return m_max; }
    void setMax(double max);
    void setFrequency(double frequency); // 0: no step

signals:
    void OnChange();

private:
    void syncSlider();
    double m_value = 0;
    double m_min = 0;
    double m_max = 10;
    double m_frequency = 0;
    bool m_syncing = false;
};
