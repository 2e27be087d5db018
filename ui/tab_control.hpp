#pragma once

#include <QSize>
#include <QTabBar>
#include <QTabWidget>

// Tab headers of fixed sizes, whatever the style or the font would make of them.
class TTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit TTabBar(QWidget* parent = nullptr);
    void setHeaderSize(int index, QSize size);

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
};

// A tab control whose pages start right under the headers at the control's left edge, without a
// frame, so that the places on a page are those it was designed with.
class TTabControl : public QTabWidget {
    Q_OBJECT
public:
    explicit TTabControl(QWidget* parent = nullptr);
    int addTab(QWidget* page, const QIcon& icon, const QString& text, QSize headerSize);
    TTabBar* headers() const { return m_bar; }

private:
    TTabBar* m_bar;
};
