#pragma once
// What the "Rasti taškus" tests of both pages share: the window, shown and closed for each
// test; photos opened into a page from a temporary folder; a search clicked and waited for.
#include "auto_placement.hpp"
#include "face_page.hpp"
#include "landmark_search.hpp"
#include "ui_test_support.hpp"
#include "veidora_window.hpp"

#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

#include <memory>

class PlacementFixture {
protected:
    std::unique_ptr<TVeidora> w;
    QTemporaryDir dir;

    void showWindow() {
        w = std::make_unique<TVeidora>();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    void closeWindow() {
        QThreadPool::globalInstance()->waitForDone();
        w.reset();
    }

    void openInto(FacePage* page, const QImage& img, const QString& name) {
        openPhoto(*w, page, img, dir.filePath(name));
    }

    // Clicks the page's "Rasti taškus" and waits for the outcome to be shown; hands it over.
    LandmarkSearch::Outcome findPoints(AutoPlacement* placement, QPushButton* button) {
        LandmarkSearch::Outcome outcome;
        const auto keep =
            QObject::connect(placement->search(), &LandmarkSearch::finished, placement,
                             [&](const LandmarkSearch::Outcome& o) { outcome = o; });
        QSignalSpy done(placement, &AutoPlacement::done);
        [&] {
            QVERIFY(button->isEnabled());
            QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY(done.count() == 1 || done.wait(60000));
        }();
        QObject::disconnect(keep);
        return outcome;
    }
};
