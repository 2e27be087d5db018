#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <string>

class QPainter;

// Dot-matrix renderer: a row of 5 x 7 dot cells, unlit dots grey, lit dots in the high colour.
class TLEDText {
public:
    enum TLedStyle { ls9x13, ls14x20, ls19x27 };
    enum TTextStyle { tsAsIs, tsUpperCase };

    int Leds = 17;
    TLedStyle LedStyle = ls14x20;
    int Spacing = 2;
    int Margin = 10;
    TTextStyle TextStyle = tsUpperCase;
    bool LedsVisible = true;
    QColor High{0x00, 0xFF, 0x00};
    QColor Background{0x00, 0x00, 0x00};
    QColor Unlit{0x80, 0x80, 0x80};

    void setText(const QString& text);
    const QString& text() const { return m_text; }
    // One code point per cell, upper-cased for display when the style says so.
    const std::u32string& displayText() const { return m_display; }

    int dotSide() const;
    int cellWidth() const { return 5 * (dotSide() + 1) - 1; }
    int cellHeight() const { return 7 * (dotSide() + 1) - 1; }
    QSize naturalSize() const;
    void paint(QPainter& painter, QSize size) const;

private:
    void derive();
    QString m_text;
    std::u32string m_display;
};

// The banner control: always the renderer's natural size (280 x 30 with the values above).
class TMatrixLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText NOTIFY TextChanged)
public:
    explicit TMatrixLabel(QWidget* parent = nullptr);

    QString Text() const { return m_led.text(); }
    void setText(const QString& text);
    // The first character goes to the end: one step of the scrolling text.
    void turnOneCharacter();
    const TLEDText& led() const { return m_led; }

    QSize sizeHint() const override { return m_led.naturalSize(); }

signals:
    void TextChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TLEDText m_led;
};
