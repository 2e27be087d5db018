// "Rasti taškus": the front grips put on the face of the front photo in one step.
#include "auto_placement.hpp"
#include "controls.hpp"
#include "face_page.hpp"
#include "face_search.hpp"
#include "front_landmarks.hpp"
#include "grip_history.hpp"
#include "photo.hpp"
#include "placement_fixture.hpp"
#include "selection_point.hpp"
#include "side_landmarks.hpp"
#include "string_grid.hpp"
#include "ui_test_support.hpp"
#include "veidora_window.hpp"

#include <QImageWriter>
#include <QPainter>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStatusBar>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QUndoStack>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

QPointF defaultOf(int n) {
    return {veidora::kFrontDefaults[n - 1].X, veidora::kFrontDefaults[n - 1].Y};
}

// The sample face drawn as a photo of the given width.
QImage sampleAsPhoto(int width) {
    QSvgRenderer svg(QStringLiteral(":/faces/front.svg"));
    const QRectF drawn = svg.viewBoxF(); // the drawing's own proportions
    const QSize size(width, qRound(width * drawn.height() / drawn.width()));
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    svg.render(&p);
    return img;
}

// The picture turned by `degrees` (clockwise on the screen) about its centre, on white.
QImage turnedBy(const QImage& img, double degrees) {
    const QImage turned = img.convertToFormat(QImage::Format_ARGB32)
                              .transformed(QTransform().rotate(degrees), Qt::SmoothTransformation);
    QImage out(turned.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter(&out).drawImage(0, 0, turned);
    return out;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

class AutoPlacementTest : public QObject, PlacementFixture {
    Q_OBJECT

    void openFront(const QImage& img, const QString& name) { openInto(w->front(), img, name); }

    // The colour a grip is filled with, at its centre.
    static QColor centreColour(TSelectionPoint* g) {
        const QPointF centre = g->Position() - QPointF(g->pos());
        return g->grab().toImage().pixelColor(centre.toPoint());
    }

    FaceSearch* faceSearch() const {
        return qobject_cast<FaceSearch*>(w->autoPlacement()->search());
    }

    LandmarkSearch::Outcome findPoints() {
        return PlacementFixture::findPoints(w->autoPlacement(), w->ButtonAuto);
    }

private slots:
    void init() { showWindow(); }
    void cleanup() { closeWindow(); }

    void theButtonSitsOnItsPageClearOfEverything_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("front");
        QTest::newRow("front") << QStringLiteral("ButtonAuto") << true;
        QTest::newRow("side") << QStringLiteral("ButtonAutoSide") << false;
    }

    void theButtonSitsOnItsPageClearOfEverything() {
        QFETCH(QString, name);
        QFETCH(bool, front);
        FacePage* page = front ? w->front() : w->side();
        w->TabControl1->setCurrentWidget(page->tab());
        QPushButton* b = w->findChild<QPushButton*>(name);
        QVERIFY(b);
        QCOMPARE(b->text(), QStringLiteral("Rasti taškus"));
        QCOMPARE(b->parentWidget(), page->tab());
        QCOMPARE(page->findButton(), b);
        QVERIFY(!b->toolTip().isEmpty());
        for (QWidget* other : page->tab()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (other != b && other->isVisible())
                QVERIFY2(!other->geometry().intersects(b->geometry()),
                         qPrintable(other->objectName()));
        QVERIFY(page->tab()->rect().contains(b->geometry()));
        QVERIFY(!b->isEnabled()); // no photo yet
        QImage photo(300, 400, QImage::Format_RGB32);
        photo.fill(Qt::gray);
        const QString path = dir.filePath(QStringLiteral("p.png"));
        QVERIFY(photo.save(path));
        w->loadPhotoIntoCurrentPage(path);
        QVERIFY(b->isEnabled());
    }

    void theSampleFaceAsAPhotoGetsItsOwnLandmarks_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<double>("tilt");
        QTest::addColumn<bool>("exifTurned");
        for (int width : {568, 1136})
            for (double tilt : {0.0, 10.0, -10.0})
                QTest::newRow(qPrintable(QStringLiteral("%1 px, %2°").arg(width).arg(tilt)))
                    << width << tilt << false;
        QTest::newRow("stored on its side, upright by EXIF, 5°") << 900 << 5.0 << true;
    }

    // Each grip lands where the same feature lies on the photo as the screen shows it.
    void theSampleFaceAsAPhotoGetsItsOwnLandmarks() {
        QFETCH(int, width);
        QFETCH(double, tilt);
        QFETCH(bool, exifTurned);
        if (exifTurned) {
            // Stored turned a quarter to the left; the orientation tag turns it back.
            const QString path = dir.filePath(QStringLiteral("side.jpg"));
            QImageWriter writer(path, "jpeg");
            writer.setQuality(95);
            writer.setTransformation(QImageIOHandler::TransformationRotate90);
            QVERIFY(writer.write(sampleAsPhoto(width).transformed(QTransform().rotate(-90))));
            w->TabControl1->setCurrentWidget(w->TabItem1);
            w->loadPhotoIntoCurrentPage(path);
            QVERIFY(w->front()->photo()->Bitmap().height() >
                    w->front()->photo()->Bitmap().width()); // upright
        } else {
            openFront(sampleAsPhoto(width), QStringLiteral("sample.png"));
        }
        w->front()->tilt()->setValue(tilt);
        findPoints();

        // The defaults sit on the sample picture; the same picture pixel on the photo.
        const QRectF sample =
            w->front()->sample()->fittedRect().translated(w->front()->sample()->Box().topLeft());
        const double toPhoto = double(w->front()->photo()->Bitmap().width()) / sample.width();
        std::vector<double> misses;
        for (int n = 1; n <= 28; ++n) {
            const QPointF pixel = (defaultOf(n) - sample.topLeft()) * toPhoto;
            const QPointF expected = shown(w->front()->photo()).map(pixel);
            const QPointF got = w->SelectionPoint(n)->Position();
            const double miss = std::hypot(got.x() - expected.x(), got.y() - expected.y());
            QVERIFY2(miss <= 8, qPrintable(QStringLiteral("P%1 misses by %2").arg(n).arg(miss)));
            misses.push_back(miss);
        }
        QVERIFY2(median(misses) <= 3, qPrintable(QString::number(median(misses))));
    }

    void aRealPortraitGetsAPlausibleFace() {
        openFront(QImage(QStringLiteral(VEIDORA_TEST_DATA "/astronaut.png")),
                  QStringLiteral("astronaut.png"));
        w->front()->tilt()->setValue(-6);
        LandmarkSearch::Outcome landmarks;
        connect(w->autoPlacement()->search(), &LandmarkSearch::finished, this,
                [&](const LandmarkSearch::Outcome& o) { landmarks = o; });
        findPoints();
        QCOMPARE(landmarks.kind, LandmarkSearch::Outcome::Found);

        // The grips go where the search put the landmarks: her hairline under the fringe and
        // the nostril wings estimated.
        for (int n : {1, 2, 3})
            QVERIFY2(!landmarks.found[std::size_t(n - 1)], qPrintable(QString::number(n)));
        QVERIFY(!landmarks.found[18] && !landmarks.found[19]);
        for (int n = 1; n <= 28; ++n) {
            const veidora::facefit::Point p = landmarks.points[std::size_t(n - 1)];
            const QPointF expected = shown(w->front()->photo()).map(QPointF(p.x, p.y));
            const QPointF got = w->SelectionPoint(n)->Position();
            QVERIFY2(std::hypot(got.x() - expected.x(), got.y() - expected.y()) < 0.01,
                     qPrintable(QString::number(n)));
        }

        // Turned back upright, in photo pixels, the face reads as a face.
        const QTransform toPhoto = shown(w->front()->photo()).inverted();
        auto P = [&](int n) { return toPhoto.map(w->SelectionPoint(n)->Position()); };
        for (int n = 1; n <= 28; ++n)
            if (n != 4)
                QVERIFY2(P(4).y() > P(n).y(), qPrintable(QString::number(n)));
        for (int brow : {5, 6, 7, 8})
            for (int eye : {9, 10, 11, 12})
                QVERIFY(P(brow).y() < P(eye).y());
        for (int eye : {9, 10, 11, 12})
            QVERIFY(P(eye).y() < P(15).y());
        for (int mouth : {23, 24, 25, 26})
            QVERIFY(P(15).y() < P(mouth).y());
        const std::pair<int, int> leftRight[] = {{1, 2},   {5, 8},   {6, 7},   {9, 12},
                                                 {10, 11}, {13, 14}, {17, 18}, {19, 20},
                                                 {21, 22}, {23, 24}, {27, 28}};
        for (auto [l, r] : leftRight)
            QVERIFY2(P(l).x() < P(r).x(), qPrintable(QStringLiteral("P%1 P%2").arg(l).arg(r)));
        // On the photo, and the hairline above the brows.
        const QRectF photo(QPointF(0, 0), w->front()->photo()->Bitmap().size());
        for (int n = 1; n <= 28; ++n)
            QVERIFY2(photo.contains(P(n)), qPrintable(QString::number(n)));
        for (int hair : {1, 2, 3})
            for (int brow : {5, 6, 7, 8})
                QVERIFY(P(hair).y() < P(brow).y());
    }

    void aTurnedFaceIsLevelledBeforeTheGripsGoOn_data() {
        QTest::addColumn<double>("turn");
        QTest::addColumn<double>("byHand");
        for (double turn : {-8.0, -4.0, 4.0, 8.0, 13.0})
            QTest::newRow(qPrintable(QStringLiteral("%1°").arg(turn))) << turn << 0.0;
        QTest::newRow("4°, a hand's 7° replaced") << 4.0 << 7.0;
        QTest::newRow("level, a hand's -5° undone") << 0.0 << -5.0;
    }

    // The photo is turned back by the face's own turn, exactly as the track bar turns it, and
    // the grips sit on the levelled picture.
    void aTurnedFaceIsLevelledBeforeTheGripsGoOn() {
        QFETCH(double, turn);
        QFETCH(double, byHand);
        openFront(turnedBy(sampleAsPhoto(800), turn), QStringLiteral("turned.png"));
        w->front()->tilt()->setValue(byHand);
        findPoints();

        const double tilt = w->front()->tilt()->Value();
        QVERIFY2(std::abs(tilt + turn) <= 1, qPrintable(QString::number(tilt)));
        QCOMPARE(tilt, std::trunc(tilt));
        QCOMPARE(w->front()->photo()->RotationAngle(), tilt);
        QCOMPARE(w->label("Label127")->text(), QString::number(int(tilt)));
        const QString turned = tilt != 0 ? QStringLiteral(" Nuotrauka pasukta %1°.").arg(tilt)
                                         : QStringLiteral(" Nuotrauka atsukta tiesiai.");
        QVERIFY2(w->StatusBar1->currentMessage().endsWith(turned),
                 qPrintable(w->StatusBar1->currentMessage()));
        // Levelled: the corners of the eyes and of the mouth stand level.
        auto P = [&](int n) { return w->SelectionPoint(n)->Position(); };
        for (auto [l, r] : {std::pair{9, 12}, {23, 24}})
            QVERIFY2(std::abs(P(l).y() - P(r).y()) < 0.03 * (P(r).x() - P(l).x()) + 0.5,
                     qPrintable(QStringLiteral("P%1 P%2").arg(l).arg(r)));
    }

    void aTurnBeyondTheRangeGoesAsFarAsItAllows() {
        openFront(turnedBy(sampleAsPhoto(800), 8), QStringLiteral("turned.png"));
        w->front()->setTiltRange(-3, 3, 0);
        findPoints();
        QCOMPARE(w->front()->tilt()->Value(), -3.0);
        QVERIFY2(w->StatusBar1->currentMessage().endsWith(
                     QStringLiteral(" Veidas pakreiptas 8°, o nuotrauką galima pasukti tik -3°.")),
                 qPrintable(w->StatusBar1->currentMessage()));
    }

    // The turn is part of the search's step: undo puts back the angle with the grips.
    void undoAndRedoTakeTheTurnWithTheGrips() {
        openFront(turnedBy(sampleAsPhoto(800), -6), QStringLiteral("turned.png"));
        w->front()->tilt()->setValue(2);
        const int steps = w->history()->stack()->count();
        findPoints();
        QCOMPARE(w->history()->stack()->count(), steps + 1);
        const double levelled = w->front()->tilt()->Value();
        QCOMPARE(levelled, 6.0);
        std::vector<QPointF> placed;
        for (int n = 1; n <= 28; ++n)
            placed.push_back(w->SelectionPoint(n)->Position());

        w->history()->undo();
        QCOMPARE(w->front()->tilt()->Value(), 2.0);
        QCOMPARE(w->label("Label127")->text(), QStringLiteral("2"));
        QCOMPARE(w->front()->photo()->RotationAngle(), 2.0);
        for (int n = 1; n <= 28; ++n)
            QCOMPARE(w->SelectionPoint(n)->Position(), defaultOf(n));

        w->history()->redo();
        QCOMPARE(w->front()->tilt()->Value(), levelled);
        QCOMPARE(w->label("Label127")->text(), QStringLiteral("6"));
        QCOMPARE(w->front()->photo()->RotationAngle(), levelled);
        for (int n = 1; n <= 28; ++n)
            QCOMPARE(w->SelectionPoint(n)->Position(), placed[std::size_t(n - 1)]);
    }

    // One step that only moves the front grips; no measurement, the side page untouched.
    void allFrontGripsMoveInOneStepAndNothingElse() {
        openFront(sampleAsPhoto(568), QStringLiteral("sample.png"));
        const WindowSnapshot before = WindowSnapshot::of(*w);
        const int steps = w->history()->stack()->count();
        findPoints();

        QCOMPARE(w->history()->stack()->count(), steps + 1);
        int moved = 0;
        const QSize rectangle = w->front()->rectangle()->size();
        for (int n = 1; n <= 28; ++n) {
            const QPointF p = w->SelectionPoint(n)->Position();
            moved += p != defaultOf(n);
            QVERIFY(p.x() >= 0 && p.x() <= rectangle.width() && p.y() >= 0 &&
                    p.y() <= rectangle.height());
            QCOMPARE(double(float(p.x())), p.x()); // the copies hold exactly what the grips do
        }
        QCOMPARE(moved, 28);
        QTRY_COMPARE_WITH_TIMEOUT(w->P(16),
                                  (veidora::TPointF{float(w->SelectionPoint(16)->Position().x()),
                                                    float(w->SelectionPoint(16)->Position().y())}),
                                  kPatienceMs);
        QCOMPARE(w->TabControl1->currentWidget(), w->TabItem1);
        VERIFY_SAME_RESULT_AND_PHOTOS(*w, before); // nothing measured
        QCOMPARE(WindowSnapshot::of(*w).sideGrips, before.sideGrips);
        // On the drawing only the nostril wings are estimated.
        QCOMPARE(w->StatusBar1->currentMessage(),
                 QStringLiteral("Rasta 26 taškai, 2 apytiksliai – patikrinkite pažymėtus."));

        w->history()->undo();
        for (int n = 1; n <= 28; ++n)
            QCOMPARE(w->SelectionPoint(n)->Position(), defaultOf(n));
    }

    // Grips the search only estimated look different and say so until the user moves them;
    // undo and redo bring the marks back with the places.
    void estimatedGripsAreMarkedUntilMoved() {
        openFront(QImage(QStringLiteral(VEIDORA_TEST_DATA "/astronaut.png")),
                  QStringLiteral("astronaut.png"));
        findPoints();
        // Her fringe hides the hairline; one side of the nose bridge and the nostril wings do
        // not show either.
        QCOMPARE(w->StatusBar1->currentMessage(),
                 QStringLiteral("Rasta 21 taškas, 7 apytiksliai – patikrinkite pažymėtus. "
                                "Nuotrauka pasukta -3°."));
        for (int n = 1; n <= 28; ++n) {
            TSelectionPoint* g = w->SelectionPoint(n);
            const bool estimated = n <= 3 || (n >= 17 && n <= 20);
            QCOMPARE(g->isEstimated(), estimated);
            QCOMPARE(g->toolTip().endsWith(QStringLiteral(" (apytiksliai)")), estimated);
            QCOMPARE(g->accessibleName(), g->toolTip());
            QCOMPARE(centreColour(g), estimated ? QColor(0xFF, 0xD4, 0x00) : QColor(Qt::white));
        }

        TSelectionPoint* wing = w->SelectionPoint(19);
        const QPointF placed = wing->Position();
        dragGrip(wing, placed + QPointF(3, 2)); // now the user's
        QVERIFY(!wing->isEstimated());
        QVERIFY(!wing->toolTip().endsWith(QStringLiteral(" (apytiksliai)")));
        QCOMPARE(centreColour(wing), QColor(Qt::white));
        w->history()->undo();
        QCOMPARE(wing->Position(), placed);
        QVERIFY(wing->isEstimated());
        w->history()->redo();
        QVERIFY(!wing->isEstimated());
        QTest::keyClick(w->SelectionPoint(20), Qt::Key_Left); // keys too
        QVERIFY(!w->SelectionPoint(20)->isEstimated());

        w->history()->undo();
        w->history()->undo();
        w->history()->undo(); // before the search: the sample's places, nothing estimated
        for (int n = 1; n <= 28; ++n) {
            QCOMPARE(w->SelectionPoint(n)->Position(), defaultOf(n));
            QVERIFY(!w->SelectionPoint(n)->isEstimated());
        }
        w->history()->redo();
        QVERIFY(w->SelectionPoint(19)->isEstimated() && w->SelectionPoint(20)->isEstimated());
    }

    void whileSearchingTheButtonWaitsAndThePageSaysSo() {
        openFront(sampleAsPhoto(568), QStringLiteral("sample.png"));
        // The search is held until the page has been looked at.
        const auto gate = std::make_shared<QSemaphore>();
        struct Open { // a failing check must not leave the search waiting
            std::shared_ptr<QSemaphore> gate;
            ~Open() { gate->release(); }
        } open{gate};
        w->autoPlacement()->search()->setJobOverride(
            [gate, own = w->autoPlacement()->search()->job()](const QImage& picture) {
                gate->acquire();
                return own(picture);
            });
        QSignalSpy done(w->autoPlacement(), &AutoPlacement::done);
        QTest::mouseClick(w->ButtonAuto, Qt::LeftButton);
        QVERIFY(!w->ButtonAuto->isEnabled());
        QCOMPARE(w->TabItem1->cursor().shape(), Qt::BusyCursor);
        QCOMPARE(w->StatusBar1->currentMessage(), QStringLiteral("Ieškoma veido…"));
        QTest::mouseClick(w->ButtonAuto, Qt::LeftButton); // a second click starts nothing
        gate->release();
        QVERIFY(done.wait(60000));
        QCoreApplication::processEvents();
        QCOMPARE(done.count(), 1);
        QVERIFY(w->ButtonAuto->isEnabled());
        QVERIFY(!w->TabItem1->testAttribute(Qt::WA_SetCursor));
        QCOMPARE(w->history()->stack()->count(), 1);
    }

    void aPhotoOpenedDuringTheSearchDropsItsResult() {
        openFront(sampleAsPhoto(568), QStringLiteral("sample.png"));
        ErrorRecorder errors;
        QTest::mouseClick(w->ButtonAuto, Qt::LeftButton);
        QImage plain(300, 400, QImage::Format_RGB32);
        plain.fill(QColor(90, 120, 150));
        openFront(plain, QStringLiteral("plain.png"));
        QVERIFY(w->ButtonAuto->isEnabled()); // the new photo can be searched at once
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents(); // the finished search reports through the event loop
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(errors.messages.isEmpty());
        for (int n = 1; n <= 28; ++n)
            QCOMPARE(w->SelectionPoint(n)->Position(), defaultOf(n));
        QCOMPARE(w->history()->stack()->count(), 0);
    }

    void noFaceSaysSoAndMovesNothing() {
        QImage plain(400, 500, QImage::Format_RGB32);
        plain.fill(QColor(200, 170, 150));
        openFront(plain, QStringLiteral("plain.png"));
        QString text;
        {
            const auto ok = answerNextMessageBox(QMessageBox::Ok, [&](QMessageBox* box) {
                text = box->text();
                QCOMPARE(box->icon(), QMessageBox::Information);
            });
            findPoints();
        }
        QCOMPARE(text, QStringLiteral("Nuotraukoje veido nerasta. Perkelkite taškus rankomis."));
        for (int n = 1; n <= 28; ++n)
            QCOMPARE(w->SelectionPoint(n)->Position(), defaultOf(n));
        QCOMPARE(w->history()->stack()->count(), 0);
        QVERIFY(w->ButtonAuto->isEnabled());
    }

    void aMissingModelNamesTheFileAndThePackage_data() {
        QTest::addColumn<QString>("model");
        QTest::newRow("missing") << QStringLiteral("missing.dat");
        QTest::newRow("garbage") << QStringLiteral("garbage.dat");
    }

    void aMissingModelNamesTheFileAndThePackage() {
        QFETCH(QString, model);
        QFile garbage(dir.filePath(QStringLiteral("garbage.dat")));
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(5000, 'x'));
        garbage.close();
        const QString path = dir.filePath(model);
        faceSearch()->setModelPath(path);
        openFront(sampleAsPhoto(568), QStringLiteral("sample.png"));
        ErrorRecorder errors;
        findPoints();
        QCOMPARE(errors.messages.size(), 1);
        QCOMPARE(errors.messages[0], FaceSearch::modelErrorText(path));
        QVERIFY(errors.messages[0].contains(path));
        QVERIFY(errors.messages[0].contains(QStringLiteral("libdlib-data")));
        for (int n = 1; n <= 28; ++n)
            QCOMPARE(w->SelectionPoint(n)->Position(), defaultOf(n));
        QVERIFY(w->ButtonAuto->isEnabled()); // still usable, and it tries again
        findPoints();
        QCOMPARE(errors.messages.size(), 2);
    }

    // The module that holds the finder cannot be loaded: the box names the module and the
    // package that ships it, not the model file.
    void aModuleThatCannotBeLoadedNamesItAndThePackage() {
        QFile garbage(dir.filePath(QStringLiteral("garbage.so")));
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(5000, 'x'));
        garbage.close();
        const QString missing = dir.filePath(QStringLiteral("missing.so"));
        faceSearch()->setModuleCandidates({missing, garbage.fileName()});
        openFront(sampleAsPhoto(568), QStringLiteral("sample.png"));
        ErrorRecorder errors;
        findPoints();
        QCOMPARE(errors.messages.size(), 1);
        const QString& text = errors.messages[0];
        QVERIFY2(text.startsWith(
                     QStringLiteral("Nepavyko įkelti veido paieškos modulio „%1“").arg(missing)),
                 qPrintable(text));
        QVERIFY2(text.contains(garbage.fileName()), qPrintable(text)); // every place tried
        QVERIFY(text.contains(QStringLiteral("paketas „veidora“")));
        QVERIFY(!text.contains(faceSearch()->modelPath()));
        for (int n = 1; n <= 28; ++n)
            QCOMPARE(w->SelectionPoint(n)->Position(), defaultOf(n));
        QVERIFY(w->ButtonAuto->isEnabled());
    }
};

QTEST_MAIN(AutoPlacementTest)
#include "test_auto_placement.moc"
