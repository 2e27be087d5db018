#pragma once

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

// A label that keeps its designed place and width, and grows to the right when its text
// needs more room, so that no figure is ever cut off.
class TLabel : public QLabel {
    Q_OBJECT
public:
    TLabel(const QString& text, QWidget* parent);
    void setDesignedGeometry(int x, int y, int width, int height);
    void setText(const QString& text);
    // A screen reader names the label by what it measures and reads the figure as its
    // description, which follows every later text.
    void setCaption(const QString& caption);

private:
    void fit();
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
