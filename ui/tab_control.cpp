#include "tab_control.hpp"

#include <QVariant>

TTabBar::TTabBar(QWidget* parent) : QTabBar(parent) {
    setExpanding(false);
    setElideMode(Qt::ElideNone);
    setUsesScrollButtons(false);
}

void TTabBar::setHeaderSize(int index, QSize size) {
    setTabData(index, size);
    updateGeometry();
}

QSize TTabBar::tabSizeHint(int index) const {
    const QSize designed = tabData(index).toSize();
    return designed.isValid() ? designed : QTabBar::tabSizeHint(index);
}

QSize TTabBar::minimumTabSizeHint(int index) const {
    return tabSizeHint(index);
}

TTabControl::TTabControl(QWidget* parent) : QTabWidget(parent), m_bar(new TTabBar(this)) {
    setTabBar(m_bar);
    setDocumentMode(true); // no frame around the pages
}

int TTabControl::addTab(QWidget* page, const QIcon& icon, const QString& text, QSize headerSize) {
    const int index = QTabWidget::addTab(page, icon, text);
    m_bar->setHeaderSize(index, headerSize);
    return index;
}
