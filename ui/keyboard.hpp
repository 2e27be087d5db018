#pragma once

#include <QList>
#include <QObject>

#include <vector>

class FacePage;
class QAbstractButton;
class QStatusBar;
class QTabWidget;
class QToolButton;
class QWidget;

// The window without a mouse: the tab order (buttons, track bar, then the grips in landmark
// order), Enter presses the focused button as Space does, and the menu button takes the focus.
// Also keeps the window from shrinking until the menu button covers something. The window's
// shortcuts are its actions (window_actions.hpp).
class KeyboardAccess : public QObject {
    Q_OBJECT
public:
    struct Setup {
        QWidget* window = nullptr;
        QList<QWidget*> shellChain;      // the shell's controls in tab order, then the pages'
        QList<QAbstractButton*> buttons; // the shell's buttons Enter presses, as the pages'
        std::vector<FacePage*> pages;
        QToolButton* menuButton = nullptr; // in the top-right corner
        QList<QWidget*> besideMenu;        // what the menu button must not cover
        QTabWidget* tabs = nullptr;
        QStatusBar* status = nullptr;
    };
    KeyboardAccess(Setup setup, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void chain(const QList<QWidget*>& widgets); // in this tab order
    void setMinimumSize();

    Setup m_s;
};
