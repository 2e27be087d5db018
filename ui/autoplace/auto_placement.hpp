#pragma once

#include "landmark_search.hpp"

#include <QObject>
#include <QPointF>
#include <QSize>
#include <QString>

class FacePage;
class GripHistory;
class QPushButton;

// "Rasti taškus" on a page: looks for the landmarks on the page's photo and puts the page's
// grips on them in one step that can be undone; grips the search only estimated are marked as
// such. The user then only checks and corrects them. Nothing is measured.
class AutoPlacement : public QObject {
    Q_OBJECT
public:
    struct Texts {
        QString tooltip;     // the button's
        QString searching;   // the status bar's while the search runs
        QString notFound;    // the information box's when nothing is found
        QString notFoundBox; // that box's object name
        QString noLevel;     // the status bar's when the line to level was not seen
    };
    struct Setup {
        QPushButton* button = nullptr;
        FacePage* page = nullptr;
        GripHistory* history = nullptr;
        LandmarkSearch* search = nullptr; // taken over
        Texts texts;
    };
    AutoPlacement(Setup setup, QObject* parent);

    LandmarkSearch* search() const { return m_s.search; }

    // The front page's and the side page's own.
    static Texts frontTexts();
    static Texts sideTexts();
    // The status line after a search: how many were found, how many are estimates.
    static QString resultText(int found, int estimated, bool mirrored);
    // What the status line adds on the photo's turn: `tilt` now, `before` the search, `wanted`
    // the turn that would level the face (more than the tilt's range allows when they differ).
    static QString turnText(int tilt, int before, int wanted);

    // Where a point of a picture searched on `page` is drawn on the page's rectangle, with the
    // page's photo box and tilt as they are now; the picture mirrored first when `mirror`.
    static QPointF toRectangle(const FacePage& page, QSize picture, veidora::facefit::Point point,
                               bool mirror);

    // The button's click.
    void start();

signals:
    // A search came to an end and its outcome was shown (or dropped): for tests and benches.
    void done();

private:
    void photoChanged();
    void searchFinished(const LandmarkSearch::Outcome& outcome, const QImage& searched);
    void place(const LandmarkSearch::Outcome& outcome, QSize picture);
    QString level(const LandmarkSearch::Outcome& outcome, bool mirrored);
    void updateButton();

    Setup m_s;
};
