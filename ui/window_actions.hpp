#pragma once

class AutoPlacement;
class FacePage;
class GripHistory;
class PhotoLoader;
class PhotoPaste;
class QAbstractButton;
class QAction;
class QMenu;
class QPushButton;
class QTabWidget;
class QWidget;

// Every action of the window, built in one place: "Apie" in the menu (F1), opening a photo
// (Ctrl+O, as the "Nuotrauka" button), quitting (Ctrl+Q), the next and previous page
// (Ctrl+Tab, Ctrl+Shift+Tab), undo (Ctrl+Z) and redo (Ctrl+Shift+Z, Ctrl+Y) of grip moves,
// pasting a photo (Ctrl+V, Shift+Insert; in the menu above "Apie"), Escape on the About window, and
// "Rasti taškus" on each page.
struct WindowActions {
    struct Targets {
        QWidget* window = nullptr;
        QMenu* menu = nullptr;
        QTabWidget* tabs = nullptr;
        QAbstractButton* openButton = nullptr;
        QWidget* about = nullptr;
        GripHistory* history = nullptr;
        FacePage* front = nullptr;
        FacePage* side = nullptr;
        PhotoLoader* loader = nullptr;
    };

    QAction* about = nullptr; // the menu's item; its handler is the window's
    QAction* open = nullptr;
    QAction* quit = nullptr;
    QAction* nextPage = nullptr;
    QAction* previousPage = nullptr;
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    QAction* paste = nullptr; // the menu's "Įklijuoti nuotrauką"
    PhotoPaste* pasting = nullptr;
    // "Rasti taškus" on each page; null when built without it.
    QPushButton* findFront = nullptr;
    AutoPlacement* placeFront = nullptr;
    QPushButton* findSide = nullptr;
    AutoPlacement* placeSide = nullptr;

    static WindowActions build(const Targets& targets);
};
