#pragma once

// One click on a page's "Rasti taškus", timed to the end of its search; the grips are put back
// afterwards so that the next click starts from the same places.
#include "auto_placement.hpp"
#include "grip_history.hpp"
#include "veidora_window.hpp"

#include <QEventLoop>
#include <QPushButton>
#include <QUndoStack>

#include <chrono>
#include <iostream>

inline double clickToGrips(TVeidora& w, AutoPlacement* placement, QPushButton* button) {
    QEventLoop loop;
    QObject::connect(placement, &AutoPlacement::done, &loop, &QEventLoop::quit);
    const auto start = std::chrono::steady_clock::now();
    button->click();
    loop.exec();
    const auto end = std::chrono::steady_clock::now();
    if (w.history()->stack()->count() == 0)
        std::cerr << "the grips did not move\n";
    w.history()->undo();
    w.history()->stack()->clear();
    return std::chrono::duration<double>(end - start).count();
}
