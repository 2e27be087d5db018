#include "matrix_label.hpp"

#include "led_glyphs.hpp"

#include <QPainter>

int TLEDText::dotSide() const {
    switch (LedStyle) {
    case ls9x13:
        return 1;
    case ls14x20:
        return 2;
    case ls19x27:
        return 3;
    }
    return 2;
}

QSize TLEDText::naturalSize() const {
    return {Leds * cellWidth() + Spacing * (Leds - 1) + Margin, cellHeight() + Margin};
}

void TLEDText::setText(const QString& text) {
    m_text = text;
    derive();
}

void TLEDText::derive() {
    m_display.clear();
    for (char32_t ch : m_text.toUcs4())
        m_display.push_back(TextStyle == tsUpperCase ? veidora::led::toDisplayUpper(ch) : ch);
}

void TLEDText::paint(QPainter& p, QSize size) const {
    p.fillRect(QRect(QPoint(0, 0), size), Background);
    const int d = dotSide();
    const int pitch = d + 1;
    const int x0 = (size.width() - (Leds * cellWidth() + Spacing * (Leds - 1))) / 2;
    const int y0 = (size.height() - cellHeight()) / 2;
    for (int k = 0; k < Leds; ++k) {
        const int X = x0 + k * (cellWidth() + Spacing);
        if (LedsVisible)
            for (int r = 0; r < 7; ++r)
                for (int c = 0; c < 5; ++c)
                    p.fillRect(X + c * pitch, y0 + r * pitch, d, d, Unlit);
        const auto pos = static_cast<std::size_t>(k);
        if (pos >= m_display.size() || m_display[pos] == U' ')
            continue;
        const auto& glyph = veidora::led::glyphFor(m_display[pos]);
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 5; ++c)
                if (glyph[static_cast<std::size_t>(r)] & (0x10 >> c))
                    p.fillRect(X + c * pitch, y0 + r * pitch, d, d, High);
    }
}

TMatrixLabel::TMatrixLabel(QWidget* parent) : QWidget(parent) {
    setFixedSize(m_led.naturalSize()); // any size asked for ends up as the natural one
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TMatrixLabel::setText(const QString& text) {
    if (text == m_led.text())
        return;
    m_led.setText(text);
    update();
    emit TextChanged(text);
}

void TMatrixLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    m_led.paint(p, size());
}

void TMatrixLabel::turnOneCharacter() {
    const QList<uint> text = Text().toUcs4();
    if (text.size() < 2)
        return;
    QList<uint> turned = text.mid(1);
    turned.append(text.front());
    setText(
        QString::fromUcs4(reinterpret_cast<const char32_t*>(turned.constData()), turned.size()));
}
