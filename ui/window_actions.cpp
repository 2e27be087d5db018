#include "window_actions.hpp"

#include "error_handler.hpp"
#include "face_page.hpp"
#include "grip_history.hpp"
#include "named.hpp"
#include "photo.hpp"
#include "photo_paste.hpp"

#if defined(VEIDORA_AUTO_PLACE) || defined(VEIDORA_AUTO_PLACE_SIDE)
#include "auto_placement.hpp"
#endif
#ifdef VEIDORA_AUTO_PLACE
#include "face_search.hpp"
#endif
#ifdef VEIDORA_AUTO_PLACE_SIDE
#include "profile_search.hpp"
#endif

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>

#include <tuple>

using veidora::ui::named;

#if defined(VEIDORA_AUTO_PLACE) || defined(VEIDORA_AUTO_PLACE_SIDE)
namespace {

// The page's "Rasti taškus" button, right of its reset button, and what it starts.
std::pair<QPushButton*, AutoPlacement*> findLandmarks(QWidget& w, FacePage& page, const char* name,
                                                      LandmarkSearch* search,
                                                      const AutoPlacement::Texts& texts,
                                                      GripHistory* history) {
    auto* button = named(new QPushButton(QStringLiteral("Rasti taškus"), page.tab()), name);
    button->setGeometry(432, 8, 110, 24);
    page.setFindButton(button);
    auto* placement = new AutoPlacement({button, &page, history, search, texts}, &w);
    QObject::connect(button, &QPushButton::clicked, &w, [&w, placement] {
        veidora::ui::guarded(&w, [placement] { placement->start(); });
    });
    return {button, placement};
}

} // namespace
#endif

WindowActions WindowActions::build(const Targets& t) {
    WindowActions a;
    QWidget& w = *t.window;
    // Each runs guarded: an error ends it and reaches the error box.
    const auto action = [&w](const char* name, const QString& text, QList<QKeySequence> keys,
                             auto run) {
        auto* act = named(new QAction(text, &w), name);
        act->setShortcuts(keys);
        w.addAction(act);
        QObject::connect(act, &QAction::triggered, &w,
                         [&w, run] { veidora::ui::guarded(&w, run); });
        return act;
    };

    a.pasting = new PhotoPaste(t.tabs, t.loader, {t.front, t.side}, &w);
    a.paste = action("ActionPaste", QStringLiteral("Įklijuoti nuotrauką"),
                     {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)},
                     [p = a.pasting] { p->paste(); });
    t.menu->addAction(a.paste); // its shortcut shown beside it

    a.about = named(t.menu->addAction(QStringLiteral("Apie")), "MenuItem1");
    a.about->setShortcut(QKeySequence(Qt::Key_F1)); // shown in the menu as well
    w.addAction(a.about);
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), t.about);
    QObject::connect(close, &QShortcut::activated, t.about, &QWidget::close);

    // Through the button, so that its own handler opens the dialog.
    a.open = action("ActionOpen", QStringLiteral("Atidaryti nuotrauką"), {QKeySequence::Open},
                    [b = t.openButton] { b->click(); });
    a.quit = action("ActionQuit", QStringLiteral("Baigti"), {QKeySequence(Qt::CTRL | Qt::Key_Q)},
                    [&w] { w.close(); });
    const auto turnPage = [tabs = t.tabs](int by) {
        const int count = tabs->count();
        tabs->setCurrentIndex((tabs->currentIndex() + by + count) % count);
    };
    a.nextPage = action("ActionNextPage", QStringLiteral("Kitas puslapis"),
                        {QKeySequence(Qt::CTRL | Qt::Key_Tab)}, [turnPage] { turnPage(1); });
    a.previousPage = action("ActionPreviousPage", QStringLiteral("Ankstesnis puslapis"),
                            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)},
                            [turnPage] { turnPage(-1); });
    a.undo = action("ActionUndo", QStringLiteral("Atšaukti"), {QKeySequence(Qt::CTRL | Qt::Key_Z)},
                    [h = t.history] { h->undo(); });
    a.redo =
        action("ActionRedo", QStringLiteral("Grąžinti"),
               {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
               [h = t.history] { h->redo(); });

#ifdef VEIDORA_AUTO_PLACE
    std::tie(a.findFront, a.placeFront) = findLandmarks(w, *t.front, "ButtonAuto", new FaceSearch,
                                                        AutoPlacement::frontTexts(), t.history);
#endif
#ifdef VEIDORA_AUTO_PLACE_SIDE
    auto* profile = new ProfileSearch;
    profile->setShownTilt([page = t.side] { return page->photo()->RotationAngle(); });
    std::tie(a.findSide, a.placeSide) =
        findLandmarks(w, *t.side, "ButtonAutoSide", profile, AutoPlacement::sideTexts(), t.history);
#endif
    return a;
}
