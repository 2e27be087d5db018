#pragma once

#include <QAccessible>
#include <QObject>

#include <vector>

class FacePage;
class QWidget;

// Names every control of the window in Lithuanian for screen readers: the menu button, the
// result table, the banner, the pages' drawing rectangles and track bars, and each value label
// by the caption of its row (the figure itself is the label's description, so "Galvos aukštis:
// 216" is read). Buttons are named by their own text.
class AccessibleNames {
public:
    struct Targets {
        QWidget* menuButton = nullptr;
        QWidget* menuImage = nullptr;
        QWidget* table = nullptr;
        QWidget* banner = nullptr;
        QWidget* tabs = nullptr;
        std::vector<FacePage*> pages; // front, then side
        QWidget* about = nullptr;
    };
    static void describe(const Targets& targets);
};

// A screen reader walks every page, shown or not: while one runs, every page is built.
class PagesForScreenReaders : public QObject, public QAccessible::ActivationObserver {
    Q_OBJECT
public:
    PagesForScreenReaders(std::vector<FacePage*> pages, QObject* parent);
    ~PagesForScreenReaders() override;
    void accessibilityActiveChanged(bool active) override;

private:
    void buildAll();
    std::vector<FacePage*> m_pages;
};
