#pragma once

#include <QObject>

class TApie;
class TVeidora;

// The window without a mouse: tab order (buttons, track bar, then the grips in landmark
// order), Enter presses the focused button as Space does, Ctrl+Tab and Ctrl+Shift+Tab switch
// pages, F1 opens the About window and Escape closes it, Ctrl+O opens a photo, Ctrl+Q quits.
// Also keeps the window from shrinking until the menu button covers something.
class KeyboardAccess : public QObject {
    Q_OBJECT
public:
    KeyboardAccess(TVeidora* window, TApie* about);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setTabOrder();
    void addShortcuts();
    void setMinimumSize();

    TVeidora* m_window;
    TApie* m_about;
};
