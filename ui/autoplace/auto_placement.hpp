#pragma once

#include "face_search.hpp"

#include <QObject>
#include <QString>

#include <vector>

class GripHistory;
class LandmarkPage;
class QPushButton;
class TImage;
class TSelectionPoint;

// "Rasti taškus": finds the face on the front photo and puts the 28 front grips on it in one
// step that can be undone. The user then only corrects them.
class AutoPlacement : public QObject {
    Q_OBJECT
public:
    struct Setup {
        QPushButton* button = nullptr;
        QWidget* page = nullptr;
        TImage* photo = nullptr;
        std::vector<TSelectionPoint*> grips; // P1..P28
        LandmarkPage* landmarks = nullptr;
        GripHistory* history = nullptr;
    };
    AutoPlacement(Setup setup, QObject* parent);

    FaceSearch* search() const { return m_search; }

    static const char* const kNoFaceText;
    static const char* const kSearchingText;
    static const char* const kModelPackage;
    static QString modelErrorText(const QString& path);
    // The module that holds the finder could not be loaded; `why` names every place tried.
    static QString moduleErrorText(const QString& module, const QString& why);

    // The button's click.
    void start();

signals:
    // A search came to an end and its outcome was shown (or dropped): for tests and benches.
    void done();

private:
    void photoChanged();
    void searchFinished(const FaceSearch::Outcome& outcome, const QImage& searched);
    void place(const veidora::facefit::FrontPoints& found, QSize picture);
    void updateButton();

    Setup m_s;
    FaceSearch* m_search;
};
