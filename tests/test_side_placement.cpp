// "Rasti taškus" on the side page: the 17 side grips put on the profile of the side photo in
// one step, mirrored first when the face looks right.
#include "auto_placement.hpp"
#include "controls.hpp"
#ifdef VEIDORA_AUTO_PLACE
#include "face_search.hpp"
#endif
#include "face_page.hpp"
#include "grip_history.hpp"
#include "landmark_search.hpp"
#include "module_library.hpp"
#include "photo.hpp"
#include "profile_finder_library.hpp"
#include "placement_fixture.hpp"
#include "profile_search.hpp"
#include "selection_point.hpp"
#include "side_landmarks.hpp"
#include "ui_test_support.hpp"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QUndoStack>
#include <QtTest>

#include <cmath>
#include <memory>
#include <optional>

namespace {

QPointF defaultOf(int n) {
    return {veidora::kSideDefaults[n - 101].X, veidora::kSideDefaults[n - 101].Y};
}

const QImage& profile() {
    static const QImage img = QImage(QStringLiteral(VEIDORA_TEST_DATA "/profile-037.jpg"));
    return img;
}

} // namespace

class SidePlacementTest : public QObject, PlacementFixture {
    Q_OBJECT

    void openSide(const QImage& img, const QString& name) { openInto(w->side(), img, name); }

    ProfileSearch* search() const {
        return qobject_cast<ProfileSearch*>(w->sidePlacement()->search());
    }

    LandmarkSearch::Outcome findPoints() {
        return PlacementFixture::findPoints(w->sidePlacement(), w->ButtonAutoSide);
    }

    // Every side grip stands where the outcome's point is drawn on the side photo, which was
    // mirrored first when `mirrored`.
    void expectGripsOn(const LandmarkSearch::Outcome& o, bool mirrored) {
        const int width = w->side()->photo()->Bitmap().width();
        for (int n = 101; n <= 117; ++n) {
            QPointF p(o.points[std::size_t(n - 101)].x, o.points[std::size_t(n - 101)].y);
            if (mirrored)
                p.setX(width - p.x());
            const QPointF expected = shown(w->side()->photo()).map(p);
            const QPointF got = w->SelectionPoint(n)->Position();
            QVERIFY2(std::hypot(got.x() - expected.x(), got.y() - expected.y()) < 0.01,
                     qPrintable(QString::number(n)));
            QCOMPARE(w->SelectionPoint(n)->isEstimated(), !o.found[std::size_t(n - 101)]);
        }
    }

private slots:
    void init() { showWindow(); }
    void cleanup() { closeWindow(); }

    // One step that only moves the side grips along the profile; nothing measured, the front
    // page untouched.
    void aRealProfileIsPlacedInOneStep() {
        openSide(profile(), QStringLiteral("profilis.jpg"));
        w->side()->tilt()->setValue(4);
        const WindowSnapshot before = WindowSnapshot::of(*w);
        const LandmarkSearch::Outcome o = findPoints();
        QCOMPARE(o.kind, LandmarkSearch::Outcome::Found);
        QVERIFY(!o.mirror); // it looks left already
        expectGripsOn(o, false);

        const WindowSnapshot after = WindowSnapshot::of(*w);
        QVERIFY2(after.sameResultAndPhotos(before), qPrintable(after.differencesFrom(before)));
        QCOMPARE(after.frontGrips, before.frontGrips);
        QCOMPARE(w->history()->stack()->count(), 1);
        QCOMPARE(w->TabControl1->currentWidget(), w->TabItem2);
        int found = 0;
        for (bool f : o.found)
            found += f;
        QCOMPARE(w->StatusBar1->currentMessage(),
                 AutoPlacement::resultText(found, 17 - found, false));
        // The outline's own landmarks are read, those off it only estimated.
        for (int n : {101, 103, 104, 107, 108, 109, 114, 115})
            QVERIFY2(!w->SelectionPoint(n)->isEstimated(), qPrintable(QString::number(n)));
        for (int n : {105, 110, 111, 112, 113, 116, 117})
            QVERIFY2(w->SelectionPoint(n)->isEstimated(), qPrintable(QString::number(n)));

        w->history()->undo();
        for (int n = 101; n <= 117; ++n) {
            QCOMPARE(w->SelectionPoint(n)->Position(), defaultOf(n));
            QVERIFY(!w->SelectionPoint(n)->isEstimated());
        }
    }

    // A face looking right: the mirror is turned on as the page's own button does it, and the
    // grips land where the same profile looking left puts them.
    void aProfileLookingRightIsMirroredFirst() {
        openSide(profile().mirrored(true, false), QStringLiteral("atvirkscias.png"));
        QSignalSpy mirrored(w->side()->mirrorButton(), &QPushButton::clicked);
        const LandmarkSearch::Outcome o = findPoints();
        QCOMPARE(o.kind, LandmarkSearch::Outcome::Found);
        QVERIFY(o.mirror);
        QCOMPARE(mirrored.count(), 1);
        QVERIFY(w->StatusBar1->currentMessage().startsWith(
            QStringLiteral("Profilis žiūri į dešinę – nuotrauka apsukta. Rasta ")));
        expectGripsOn(o, true);

        // The photo now looks left: a second search needs no mirror and agrees.
        QList<QPointF> first;
        for (int n = 101; n <= 117; ++n)
            first << w->SelectionPoint(n)->Position();
        const LandmarkSearch::Outcome again = findPoints();
        QVERIFY(!again.mirror);
        QCOMPARE(mirrored.count(), 1);
        for (int n = 101; n <= 117; ++n) {
            const QPointF d = w->SelectionPoint(n)->Position() - first[n - 101];
            QVERIFY2(std::hypot(d.x(), d.y()) < 3, qPrintable(QString::number(n)));
        }
    }

    void theLineToLevelTurnsTheSideWhenSeen_data() {
        QTest::addColumn<bool>("lookingRight");
        QTest::addColumn<bool>("seen");
        QTest::addColumn<double>("tilt");
        QTest::newRow("looking left") << false << true << -3.0;
        QTest::newRow("looking right: mirrored, so the line falls the other way")
            << true << true << 3.0;
        QTest::newRow("no ear seen: the hand's angle stays") << false << false << 4.0;
    }

    // The search's line slopes 3 degrees on the picture as opened.
    void theLineToLevelTurnsTheSideWhenSeen() {
        QFETCH(bool, lookingRight);
        QFETCH(bool, seen);
        QFETCH(double, tilt);
        openSide(lookingRight ? profile().mirrored(true, false) : profile(),
                 QStringLiteral("profilis.png"));
        w->side()->tilt()->setValue(4);
        search()->setJobOverride([seen, own = search()->job()](const QImage& picture) {
            LandmarkSearch::Outcome o = own(picture);
            o.levels = true;
            o.slope = seen ? std::optional<double>(3.0) : std::nullopt;
            return o;
        });
        QCOMPARE(findPoints().kind, LandmarkSearch::Outcome::Found);
        QCOMPARE(w->side()->tilt()->Value(), tilt);
        QCOMPARE(w->label(QStringLiteral("Label124"))->text(), QString::number(int(tilt)));
        QCOMPARE(w->side()->photo()->RotationAngle(), tilt);
        const QString said = w->StatusBar1->currentMessage();
        QVERIFY2(said.endsWith(seen ? QStringLiteral(" Nuotrauka pasukta %1°.").arg(tilt)
                                    : QLatin1Char(' ') + AutoPlacement::sideTexts().noLevel),
                 qPrintable(said));
    }

    void noProfileSaysSoAndMovesNothing_data() {
        QTest::addColumn<QImage>("photo");
        QImage plain(400, 500, QImage::Format_RGB32);
        plain.fill(QColor(200, 170, 150));
        QTest::newRow("a face from the front")
            << QImage(QStringLiteral(VEIDORA_TEST_DATA "/astronaut.png"));
        QTest::newRow("no one") << plain;
    }

    void noProfileSaysSoAndMovesNothing() {
        QFETCH(QImage, photo);
        openSide(photo, QStringLiteral("ne-profilis.png"));
        const WindowSnapshot before = WindowSnapshot::of(*w);
        QString text;
        {
            const auto ok = answerNextMessageBox(QMessageBox::Ok, [&](QMessageBox* box) {
                text = box->text();
                QCOMPARE(box->icon(), QMessageBox::Information);
            });
            findPoints();
        }
        QCOMPARE(text, QStringLiteral("Nuotraukoje profilio nerasta. Perkelkite taškus rankomis."));
        const WindowSnapshot after = WindowSnapshot::of(*w);
        QCOMPARE(after.sideGrips, before.sideGrips);
        QVERIFY(after.sameResultAndPhotos(before)); // not mirrored either
        QCOMPARE(w->history()->stack()->count(), 0);
        QVERIFY(w->ButtonAutoSide->isEnabled());
    }

    // The search held back: the page shows it is busy; a photo opened meanwhile drops it.
    void whileSearchingThePageWaitsAndANewPhotoDropsIt() {
        openSide(profile(), QStringLiteral("profilis.jpg"));
        const auto gate = std::make_shared<QSemaphore>();
        struct Open { // a failing check must not leave the search waiting
            std::shared_ptr<QSemaphore> gate;
            ~Open() { gate->release(); }
        } open{gate};
        search()->setJobOverride([gate, own = search()->job()](const QImage& picture) {
            gate->acquire();
            return own(picture);
        });
        ErrorRecorder errors;
        QSignalSpy done(w->sidePlacement(), &AutoPlacement::done);
        QTest::mouseClick(w->ButtonAutoSide, Qt::LeftButton);
        QVERIFY(!w->ButtonAutoSide->isEnabled());
        QCOMPARE(w->TabItem2->cursor().shape(), Qt::BusyCursor);
        QCOMPARE(w->StatusBar1->currentMessage(), QStringLiteral("Ieškoma profilio…"));
        QVERIFY(w->ButtonAuto == nullptr || !w->ButtonAuto->isEnabled()); // the front: no photo

        QImage plain(300, 400, QImage::Format_RGB32);
        plain.fill(QColor(90, 120, 150));
        openSide(plain, QStringLiteral("kita.png"));
        QCOMPARE(done.count(), 1); // the search's result is dropped
        QVERIFY(w->ButtonAutoSide->isEnabled());
        QVERIFY(!w->TabItem2->testAttribute(Qt::WA_SetCursor));
        gate->release();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents(); // the finished search reports through the event loop
        QVERIFY(errors.messages.isEmpty());
        for (int n = 101; n <= 117; ++n)
            QCOMPARE(w->SelectionPoint(n)->Position(), defaultOf(n));
        QCOMPARE(w->history()->stack()->count(), 0);
    }

    // The search's module, and OpenCV with it, is loaded in the background as soon as a side
    // photo opens, so the first click does not wait for it; a front photo loads nothing.
    void aSidePhotoLoadsTheSearchModuleAhead() {
        // A copy under a name of its own: this process may have loaded the module already.
        QString built;
        for (const QString& path : ProfileFinderLibrary::candidates())
            if (built.isEmpty() && QFileInfo(path).isFile())
                built = path;
        QVERIFY2(!built.isEmpty(), qPrintable(ProfileFinderLibrary::candidates().join(' ')));
        const QString copy = dir.filePath(QStringLiteral("warm-profile-finder.so"));
        QVERIFY(QFile::copy(built, copy));
        search()->setModuleCandidates({copy});

#ifdef VEIDORA_AUTO_PLACE
        // The front search reads its 100 MB model when a front photo opens; not needed here.
        qobject_cast<FaceSearch*>(w->autoPlacement()->search())
            ->setModelPath(dir.filePath(QStringLiteral("nera-modelio.dat")));
#endif
        openPhoto(*w, w->front(), profile(), dir.filePath(QStringLiteral("priekis.jpg")));
        QThreadPool::globalInstance()->waitForDone();
        QVERIFY(!ModuleLibrary::isLoaded(copy));

        openSide(profile(), QStringLiteral("profilis.jpg"));
        QTRY_VERIFY_WITH_TIMEOUT(ModuleLibrary::isLoaded(copy), kPatienceMs);
        QVERIFY(w->ButtonAutoSide->isEnabled()); // the page did not wait for it
    }

    void aModuleThatCannotBeLoadedNamesItAndThePackage() {
        const QString missing = dir.filePath(QStringLiteral("missing.so"));
        search()->setModuleCandidates({missing});
        openSide(profile(), QStringLiteral("profilis.jpg"));
        ErrorRecorder errors;
        findPoints();
        QCOMPARE(errors.messages.size(), 1);
        QVERIFY2(errors.messages[0].startsWith(
                     QStringLiteral("Nepavyko įkelti profilio paieškos modulio „%1“").arg(missing)),
                 qPrintable(errors.messages[0]));
        QVERIFY(errors.messages[0].contains(QStringLiteral("paketas „veidora“")));
        for (int n = 101; n <= 117; ++n)
            QCOMPARE(w->SelectionPoint(n)->Position(), defaultOf(n));
    }
};

QTEST_MAIN(SidePlacementTest)
#include "test_side_placement.moc"
