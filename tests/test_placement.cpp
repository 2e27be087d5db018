// Placing landmarks: hints, the ring on the sample face, selection and keyboard moves, the
// loupe, undo and redo, and the status bar line.
#include "controls.hpp"
#include "default_ring.hpp"
#include "face_page.hpp"
#include "front_landmarks.hpp"
#include "grip_history.hpp"
#include "landmark_page.hpp"
#include "loupe.hpp"
#include "photo.hpp"
#include "selection_point.hpp"
#include "side_landmarks.hpp"
#include "string_grid.hpp"
#include "ui_test_support.hpp"
#include "veidora_window.hpp"

#include <QAction>
#include <QLineF>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

namespace {

QPointF defaultOf(int n) {
    const veidora::TPointF p =
        n <= 28 ? veidora::kFrontDefaults[n - 1] : veidora::kSideDefaults[n - 101];
    return {p.X, p.Y};
}

// Vertical stripes two pixels wide, at exactly the size the front photo is decoded at: on
// screen four photo pixels make one, so the stripes average out to grey there.
QImage fineStripes(QSize size) {
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = (x / 2) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
    }
    return img;
}

} // namespace

class PlacementTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TVeidora> w;
    QTemporaryDir dir;
    qint64 now = 0; // the history's clock

    void fresh() {
        w = std::make_unique<TVeidora>();
        buildEveryPage(*w);
        w->history()->setClock([this] { return now; });
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }

    void showSide() {
        w->TabControl1->setCurrentWidget(w->TabItem2);
        QCoreApplication::processEvents();
    }
    void showFront() {
        w->TabControl1->setCurrentWidget(w->TabItem1);
        QCoreApplication::processEvents();
    }

    void key(TSelectionPoint* grip, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(grip, k, m);
        QCoreApplication::processEvents();
    }

    QString openFrontPhoto(const QImage& img, const QString& name = QStringLiteral("f.png")) {
        const QString path = dir.filePath(name);
        img.save(path);
        showFront();
        w->loadPhotoIntoCurrentPage(path);
        return path;
    }

    QString status() const { return w->StatusBar1->currentMessage(); }

    void hover(TSelectionPoint* grip, bool in) {
        if (in) {
            const QPointF at(grip->width() / 2.0, grip->height() / 2.0);
            QEnterEvent enter(at, at, at);
            QCoreApplication::sendEvent(grip, &enter);
        } else {
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(grip, &leave);
        }
    }

private slots:
    void init() { fresh(); }
    void cleanup() { w.reset(); }

    void everyGripNamesItsLandmark_data() {
        QTest::addColumn<int>("grip");
        QTest::addColumn<QString>("hint");
        const std::pair<int, const char*> hints[] = {
            {1, "P1 – kairysis kaktos kraštas ties plaukų linija"},
            {2, "P2 – dešinysis kaktos kraštas ties plaukų linija"},
            {3, "P3 – kaktos viršus ties plaukų linija, veido viduryje"},
            {4, "P4 – žemiausias smakro taškas, veido viduryje"},
            {5, "P5 – kairiojo antakio išorinis galas"},
            {6, "P6 – kairiojo antakio vidinis galas"},
            {7, "P7 – dešiniojo antakio vidinis galas"},
            {8, "P8 – dešiniojo antakio išorinis galas"},
            {9, "P9 – kairiosios akies išorinis kampas"},
            {10, "P10 – kairiosios akies vidinis kampas"},
            {11, "P11 – dešiniosios akies vidinis kampas"},
            {12, "P12 – dešiniosios akies išorinis kampas"},
            {13, "P13 – kairysis veido kraštas ties skruostikauliu"},
            {14, "P14 – dešinysis veido kraštas ties skruostikauliu"},
            {15, "P15 – nosies pagrindas, veido viduryje"},
            {16, "P16 – nosies šaknis tarp akių, veido viduryje"},
            {17, "P17 – kairysis nosies nugarėlės šonas"},
            {18, "P18 – dešinysis nosies nugarėlės šonas"},
            {19, "P19 – kairysis šnervių sparnelis"},
            {20, "P20 – dešinysis šnervių sparnelis"},
            {21, "P21 – kairysis apatinio žandikaulio kontūras"},
            {22, "P22 – dešinysis apatinio žandikaulio kontūras"},
            {23, "P23 – kairysis lūpų kampas"},
            {24, "P24 – dešinysis lūpų kampas"},
            {25, "P25 – viršutinės lūpos viršus, veido viduryje"},
            {26, "P26 – apatinės lūpos apačia, veido viduryje"},
            {27, "P27 – kairysis smakro šonas"},
            {28, "P28 – dešinysis smakro šonas"},
            {101, "S1 – galvos viršus"},
            {102, "S2 – kaktos viršutinis galas"},
            {103, "S3 – kaktos apatinis galas"},
            {104, "S4 – nosies šaknis, nosikaulio viršutinis galas"},
            {105, "S5 – akies išorinis kampas (matavimams nenaudojamas)"},
            {106, "S6 – pakaušis"},
            {107, "S7 – nosikaulio taškas tarp S4 ir S8 (tikrinama kuprelė)"},
            {108, "S8 – nosies galiukas"},
            {109, "S9 – nosies pagrindas po galiuku"},
            {110, "S10 – viršutinės lūpos priekis (matavimams nenaudojamas)"},
            {111, "S11 – lūpų kampas (matavimams nenaudojamas)"},
            {112, "S12 – apatinės lūpos priekis (matavimams nenaudojamas)"},
            {113, "S13 – apatinio žandikaulio galinis galas"},
            {114, "S14 – smakro priekis"},
            {115, "S15 – smakro apačia"},
            {116, "S16 – kaklo linija po smakru (matavimams nenaudojamas)"},
            {117, "S17 – apatinio žandikaulio ilgio priekinis galas"},
        };
        for (const auto& [grip, hint] : hints)
            QTest::newRow(qPrintable(QString::number(grip))) << grip << QString::fromUtf8(hint);
    }

    // The tooltip, the status bar while hovered and the ring on the sample face.
    void everyGripNamesItsLandmark() {
        QFETCH(int, grip);
        QFETCH(QString, hint);
        if (grip > 100)
            showSide();
        TSelectionPoint* g = w->SelectionPoint(grip);
        QCOMPARE(g->toolTip(), hint);
        QCOMPARE(g->accessibleName(), hint);

        auto* ring = w->findChild<TDefaultRing*>(grip > 100 ? "DefaultRing2" : "DefaultRing1");
        QVERIFY(ring);
        QVERIFY(!ring->isVisible());
        dragGrip(g, {120, 150}); // a grip already on the photo still shows where it belongs
        hover(g, true);
        QCOMPARE(status(), hint);
        QVERIFY(ring->isVisible());
        QCOMPARE(ring->target(), defaultOf(grip));
        QVERIFY(ring->testAttribute(Qt::WA_TransparentForMouseEvents));
        QVERIFY(ring->geometry().contains(defaultOf(grip).toPoint()));
        hover(g, false);
        QCOMPARE(status(), hint); // still selected by the drag
    }

    void theRingCoversOnlyTheSamplePicture() {
        for (const char* name : {"DefaultRing1", "DefaultRing2"}) {
            auto* ring = w->findChild<TDefaultRing*>(name);
            TImage* sample =
                QByteArray(name).endsWith('1') ? w->front()->sample() : w->side()->sample();
            QVERIFY(sample->Box().contains(ring->geometry()));
            // Drawn below every grip, above the pictures.
            const QObjectList order = ring->parentWidget()->children();
            QVERIFY(order.indexOf(ring) > order.indexOf(sample));
            for (QObject* o : order)
                if (qobject_cast<TSelectionPoint*>(o))
                    QVERIFY(order.indexOf(o) > order.indexOf(ring));
        }
    }

    void statusBarCountsTheMovedGrips() {
        QCOMPARE(status(), QStringLiteral("Priekis: perkelta 0 iš 28 taškų"));
        TSelectionPoint* g = w->SelectionPoint(13);
        dragGrip(g, {100, 160});
        hover(g, false);
        w->front()->landmarks()->clearSelection();
        QCOMPARE(status(), QStringLiteral("Priekis: perkelta 1 iš 28 taškų"));
        dragGrip(w->SelectionPoint(4), {120, 300});
        w->front()->landmarks()->clearSelection();
        QCOMPARE(status(), QStringLiteral("Priekis: perkelta 2 iš 28 taškų"));
        // A grip brought back by hand onto its default counts as not moved.
        dragGrip(g, defaultOf(13));
        w->front()->landmarks()->clearSelection();
        QCOMPARE(status(), QStringLiteral("Priekis: perkelta 1 iš 28 taškų"));
        showSide();
        QCOMPARE(status(), QStringLiteral("Šonas: perkelta 0 iš 17 taškų"));
        w->history()->undo(); // the last step was on the front: the page comes back with it
        QCOMPARE(w->TabControl1->currentWidget(), w->TabItem1);
        QCOMPARE(status(), QStringLiteral("Priekis: perkelta 2 iš 28 taškų"));
        w->history()->redo();
        QCOMPARE(status(), QStringLiteral("Priekis: perkelta 1 iš 28 taškų"));
        QTest::mouseClick(w->front()->resetButton(), Qt::LeftButton);
        QCOMPARE(status(), QStringLiteral("Priekis: perkelta 0 iš 28 taškų"));
    }

    void aClickSelectsOneGripAndTabGoesInLandmarkOrder() {
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        TSelectionPoint* a = w->SelectionPoint(5);
        QTest::mouseClick(a, Qt::LeftButton, {}, (a->Position() - QPointF(a->pos())).toPoint());
        QVERIFY(a->isSelected());
        QCOMPARE(w->front()->landmarks()->selected(), a);
        QCOMPARE(status(), a->toolTip());
        // The selected grip carries an orange ring around it.
        const QImage shot = a->grab().toImage();
        const QPoint centre = (a->Position() - QPointF(a->pos())).toPoint();
        bool orange = false;
        for (int dx = 4; dx <= 7; ++dx) {
            const QColor c = shot.pixelColor(centre + QPoint(dx, 0));
            orange |= c.red() > 200 && c.green() > 90 && c.green() < 190 && c.blue() < 80;
        }
        QVERIFY(orange);

        QTest::keyClick(a, Qt::Key_Tab);
        QCOMPARE(w->front()->landmarks()->selected(), w->SelectionPoint(6));
        QVERIFY(!a->isSelected());
        QTest::keyClick(w->SelectionPoint(6), Qt::Key_Backtab);
        QCOMPARE(w->front()->landmarks()->selected(), a);
        int selected = 0;
        for (int n = 1; n <= 28; ++n)
            selected += w->SelectionPoint(n)->isSelected();
        QCOMPARE(selected, 1);
        TSelectionPoint* g = a;
        for (int n = 6; n <= 28; ++n) {
            QTest::keyClick(g, Qt::Key_Tab);
            g = w->front()->landmarks()->selected();
            QCOMPARE(g, w->SelectionPoint(n));
        }
        // Escape lets go: the status bar shows the count again.
        QTest::keyClick(g, Qt::Key_Escape);
        QCOMPARE(w->front()->landmarks()->selected(), nullptr);
        QCOMPARE(status(), QStringLiteral("Priekis: perkelta 0 iš 28 taškų"));

        // Each page keeps its own selection state; a click beside the grips clears it.
        QTest::mouseClick(a, Qt::LeftButton, {}, (a->Position() - QPointF(a->pos())).toPoint());
        QTest::mouseClick(w->front()->rectangle(), Qt::LeftButton, {}, QPoint(540, 360));
        QCOMPARE(w->front()->landmarks()->selected(), nullptr);
        QVERIFY(!a->isSelected());
    }

    void arrowKeysMoveTheSelectedGrip_data() {
        QTest::addColumn<int>("pressed");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QPointF>("step");
        QTest::newRow("right 1") << int(Qt::Key_Right) << 0 << QPointF(1, 0);
        QTest::newRow("left 1") << int(Qt::Key_Left) << 0 << QPointF(-1, 0);
        QTest::newRow("up 1") << int(Qt::Key_Up) << 0 << QPointF(0, -1);
        QTest::newRow("down 1") << int(Qt::Key_Down) << 0 << QPointF(0, 1);
        QTest::newRow("shift right 10")
            << int(Qt::Key_Right) << int(Qt::ShiftModifier) << QPointF(10, 0);
        QTest::newRow("shift up 10")
            << int(Qt::Key_Up) << int(Qt::ShiftModifier) << QPointF(0, -10);
        QTest::newRow("ctrl left 0.25")
            << int(Qt::Key_Left) << int(Qt::ControlModifier) << QPointF(-0.25, 0);
        QTest::newRow("ctrl down 0.25")
            << int(Qt::Key_Down) << int(Qt::ControlModifier) << QPointF(0, 0.25);
    }

    // A key move is a drag step: the same track notification and the copies follow.
    void arrowKeysMoveTheSelectedGrip() {
        QFETCH(int, pressed);
        QFETCH(int, modifiers);
        QFETCH(QPointF, step);
        TSelectionPoint* g = w->SelectionPoint(3);
        QSignalSpy track(g, &TSelectionPoint::OnTrack);
        QPointF expected = g->Position();
        for (int press = 0; press < 3; ++press) {
            key(g, Qt::Key(pressed), Qt::KeyboardModifiers(modifiers));
            expected += step;
            QCOMPARE(g->Position(), expected);
            QCOMPARE(w->P(3), (veidora::TPointF{float(expected.x()), float(expected.y())}));
        }
        QCOMPARE(track.count(), 3);
        QCOMPARE(track.last().at(1).toReal(), expected.x());
        QCOMPARE(track.last().at(2).toReal(), expected.y());
        QCOMPARE(w->front()->landmarks()->selected(), g);
    }

    void keyMovesStopAtTheRectanglesEdges() {
        struct Case {
            int grip;
            QPointF start;
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            QPointF expected;
        };
        const Case cases[] = {
            {5, {4, 100}, Qt::Key_Left, Qt::ShiftModifier, {0, 100}},
            {6, {556, 100}, Qt::Key_Right, Qt::ShiftModifier, {561, 100}},
            {7, {200, 0.5}, Qt::Key_Up, Qt::NoModifier, {200, 0}},
            {8, {200, 376.9}, Qt::Key_Down, Qt::ControlModifier, {200, 377}},
            {9, {0, 0}, Qt::Key_Left, Qt::NoModifier, {0, 0}},
        };
        for (const auto& c : cases) {
            TSelectionPoint* g = w->SelectionPoint(c.grip);
            g->setPosition(c.start);
            key(g, c.key, c.modifiers);
            QCOMPARE(g->Position(), c.expected);
            QCOMPARE(w->P(c.grip),
                     (veidora::TPointF{float(c.expected.x()), float(c.expected.y())}));
        }
        // The side page clamps the same way and its copies follow too.
        showSide();
        TSelectionPoint* s = w->SelectionPoint(117);
        s->setPosition({3, 376});
        key(s, Qt::Key_Down, Qt::ShiftModifier);
        key(s, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(s->Position(), QPointF(0, 377));
        QTRY_COMPARE_WITH_TIMEOUT(w->S(17), (veidora::TPointF{0, 377}), kPatienceMs);
    }

    void loupeShowsDuringADragBesideTheGripAndHidesAfter() {
        TLoupe* loupe = w->findChild<TLoupe*>("Loupe");
        QVERIFY(loupe);
        QVERIFY(!loupe->isVisible());
        TSelectionPoint* g = w->SelectionPoint(16);
        bool seen = false;
        dragGrip(g, {200, 150}, 3, [&] {
            QVERIFY(loupe->isVisible());
            QCOMPARE(loupe->target(), g);
            const QRect onScreen(loupe->mapTo(w.get(), QPoint()), loupe->size());
            const QPoint grip = w->front()->rectangle()->mapTo(w.get(), g->Position().toPoint());
            QVERIFY(!onScreen.adjusted(-8, -8, 8, 8).contains(grip)); // never over the grip
            seen = true;
        });
        QVERIFY(seen);
        QVERIFY(!loupe->isVisible());

        // A key press shows it for about a second.
        key(g, Qt::Key_Right);
        QVERIFY(loupe->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!loupe->isVisible(), kPatienceMs);
    }

    void loupeMovesToTheOtherSideNearTheEdges_data() {
        QTest::addColumn<QPointF>("grip");
        QTest::addColumn<QPoint>("corner");
        const int d = TLoupe::kDiameter, gap = TLoupe::kGap;
        QTest::newRow("room on the right") << QPointF(100, 200) << QPoint(100 + gap, 200 - d / 2);
        QTest::newRow("right edge") << QPointF(561, 200) << QPoint(561 - gap - d, 200 - d / 2);
        QTest::newRow("just no room")
            << QPointF(561 - gap - d + 0.5, 100) << QPoint(561 - gap - d - gap - d, 100 - d / 2);
        QTest::newRow("top edge") << QPointF(50, 0) << QPoint(50 + gap, 0);
        QTest::newRow("bottom corner") << QPointF(561, 377) << QPoint(561 - gap - d, 377 - d);
    }

    void loupeMovesToTheOtherSideNearTheEdges() {
        QFETCH(QPointF, grip);
        QFETCH(QPoint, corner);
        const QPoint at = TLoupe::placeBeside(grip, QSize(561, 377));
        QCOMPARE(at, corner);
        const QRect loupe(at, QSize(TLoupe::kDiameter, TLoupe::kDiameter));
        QVERIFY(QRect(0, 0, 561, 377).contains(loupe));
        // Clear of the grip's widest drawing (the selection ring) on every side.
        QVERIFY(!loupe.intersects(QRectF(grip - QPointF(9, 9), QSizeF(18, 18)).toAlignedRect()));
    }

    // The loupe draws the decoded photo: stripes too fine for the screen show in it.
    void loupeMagnifiesTheDecodedPhotoNotTheScreen() {
        const QSize decoded = w->front()->photo()->decodeBound();
        openFrontPhoto(fineStripes(decoded));
        QCOMPARE(w->front()->photo()->Bitmap().size(), decoded);
        const qreal dpr = w->devicePixelRatioF();

        TSelectionPoint* g = w->SelectionPoint(10);
        TLoupe* loupe = w->findChild<TLoupe*>("Loupe");
        const QPointF target(100, 150);
        QImage magnified;
        dragGrip(g, target, 2, [&] {
            if (g->Position() == target)
                magnified = loupe->grab().toImage();
        });
        QVERIFY(!magnified.isNull());
        const int c = qRound(TLoupe::kDiameter / 2.0 * dpr);
        int darkest = 255, lightest = 0;
        for (int dx = -3; dx <= 3; ++dx) {
            const int v = qGray(magnified.pixel(c + dx, c));
            darkest = std::min(darkest, v);
            lightest = std::max(lightest, v);
        }
        QVERIFY2(darkest < 40 && lightest > 215,
                 qPrintable(QStringLiteral("%1..%2").arg(darkest).arg(lightest)));
        // Stripes two pixels wide: two dark, two light around the centre.
        QVERIFY(qGray(magnified.pixel(c, c)) != qGray(magnified.pixel(c + 2, c)));

        // The screen itself shows only grey there.
        const QImage screen = w->front()->rectangle()->grab().toImage();
        for (int dx = -3; dx <= 3; ++dx) {
            const int v =
                qGray(screen.pixel(qRound((target.x() + 20 + dx) * dpr), qRound(target.y() * dpr)));
            QVERIFY2(v > 70 && v < 185, qPrintable(QString::number(v)));
        }
    }

    void loupeShowsTheTurnedPhotoTheSampleAndTheOtherGrips() {
        // A photo dark on the left half, light on the right, turned by 20 degrees.
        QImage halves(400, 500, QImage::Format_RGB32);
        halves.fill(Qt::white);
        for (int y = 0; y < 500; ++y)
            for (int x = 0; x < 200; ++x)
                halves.setPixel(x, y, qRgb(0, 0, 0));
        openFrontPhoto(halves);
        w->front()->tilt()->setValue(20);
        TLoupe* loupe = w->findChild<TLoupe*>("Loupe");
        // The photo's turned dividing line passes through the box centre (136.5, 168.5);
        // 40 units below it, it lies 40 * tan(20) = 14.6 units to the left.
        TSelectionPoint* g = w->SelectionPoint(9);
        QImage shot;
        const QPointF target(136.5 - 14.6, 208.5);
        dragGrip(g, target, 2, [&] {
            if (QLineF(g->Position(), target).length() < 1e-3) // as the set keeps it
                shot = loupe->grab().toImage();
        });
        const qreal dpr = w->devicePixelRatioF();
        const int c = qRound(TLoupe::kDiameter / 2.0 * dpr);
        const int off = qRound(20 * dpr);
        const int row = c + qRound(8 * dpr);            // clear of the cross-hair
        QVERIFY(qGray(shot.pixel(c - off, row)) < 60);  // left of the line: dark
        QVERIFY(qGray(shot.pixel(c + off, row)) > 200); // right of it: light
        // Up and down the line the border leans as the photo does.
        QVERIFY(qGray(shot.pixel(c + qRound(12 * dpr), c - qRound(40 * dpr))) < 60);
        QVERIFY(qGray(shot.pixel(c - qRound(12 * dpr), c + qRound(40 * dpr))) > 200);

        // Over the sample face, next to another grip, the loupe shows both.
        TSelectionPoint* nose = w->SelectionPoint(16);
        nose->setPosition({412, 168});
        key(nose, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(loupe->target(), nose);
        const QImage nearGrips = loupe->grab().toImage();
        const QPointF p17 = (QPointF(417, 175) - nose->Position()) * TLoupe::kZoom * dpr;
        QCOMPARE(nearGrips.pixelColor(QPoint(c, c) + p17.toPoint()), QColor(Qt::white));
        const QColor face = nearGrips.pixelColor(c - off, c + off);
        QVERIFY(face != QColor(0xF4, 0xF5, 0xF7) && face.red() > face.blue());
    }

    void undoAndRedoPutGripsBackExactly() {
        QImage photo(300, 400, QImage::Format_RGB32);
        photo.fill(QColor(180, 150, 130));
        openFrontPhoto(photo);
        w->front()->tilt()->setValue(5);
        const WindowSnapshot before = WindowSnapshot::of(*w);
        QUndoStack* stack = w->history()->stack();

        dragGrip(w->SelectionPoint(13), {100, 160});  // step 1
        dragGrip(w->SelectionPoint(4), {120.0, 300}); // step 2
        TSelectionPoint* brow = w->SelectionPoint(5); // step 3: one run of keys
        for (auto [k, m] : {std::pair{Qt::Key_Right, Qt::KeyboardModifiers()},
                            std::pair{Qt::Key_Right, Qt::KeyboardModifiers(Qt::ShiftModifier)},
                            std::pair{Qt::Key_Down, Qt::KeyboardModifiers(Qt::ControlModifier)}}) {
            now += 400;
            key(brow, k, m);
        }
        const QPointF browAfter = QPointF(345 + 11, 140.25);
        QCOMPARE(brow->Position(), browAfter);
        std::vector<QPointF> frontPlaced;
        for (int n = 1; n <= 28; ++n)
            frontPlaced.push_back(w->SelectionPoint(n)->Position());
        QTest::mouseClick(w->front()->resetButton(), Qt::LeftButton); // step 4
        showSide();
        dragGrip(w->SelectionPoint(103), {90.5, 150}); // step 5
        QCOMPARE(stack->count(), 5);

        // Undo walks back, bringing each step's page.
        w->history()->undo();
        QCOMPARE(w->SelectionPoint(103)->Position(), defaultOf(103));
        QCOMPARE(w->TabControl1->currentWidget(), w->TabItem2);
        w->history()->undo();
        QCOMPARE(w->TabControl1->currentWidget(), w->TabItem1);
        for (int n = 1; n <= 28; ++n)
            QCOMPARE(w->SelectionPoint(n)->Position(), frontPlaced[n - 1]);
        QTRY_COMPARE_WITH_TIMEOUT(w->P(5), (veidora::TPointF{356, 140.25f}),
                                  kPatienceMs); // the copies follow
        w->history()->undo();
        QCOMPARE(brow->Position(), defaultOf(5));
        w->history()->undo();
        QCOMPARE(w->SelectionPoint(4)->Position(), defaultOf(4));
        QCOMPARE(w->SelectionPoint(13)->Position(), QPointF(100, 160));
        w->history()->undo();
        w->history()->undo(); // nothing more to undo
        for (int n = 1; n <= 28; ++n)
            QCOMPARE(w->SelectionPoint(n)->Position(), defaultOf(n));
        VERIFY_SAME_RESULT_AND_PHOTOS(*w, before);

        // Redo walks forward to the same places.
        for (int i = 0; i < 5; ++i)
            w->history()->redo();
        QCOMPARE(w->SelectionPoint(103)->Position(), QPointF(90.5, 150));
        QCOMPARE(w->TabControl1->currentWidget(), w->TabItem2);
        for (int n = 1; n <= 28; ++n)
            QCOMPARE(w->SelectionPoint(n)->Position(), defaultOf(n));
        w->history()->undo();
        w->history()->undo();
        QCOMPARE(brow->Position(), browAfter);
        VERIFY_SAME_RESULT_AND_PHOTOS(*w, before);
    }

    void keyRunsBreakAtAPauseOrAnotherGrip() {
        QUndoStack* stack = w->history()->stack();
        TSelectionPoint* a = w->SelectionPoint(7);
        TSelectionPoint* b = w->SelectionPoint(8);
        for (qint64 t : {0, 900, 1800}) { // pauses under a second: one step
            now = t;
            key(a, Qt::Key_Up);
        }
        QCOMPARE(stack->count(), 1);
        now = 2900; // a pause
        key(a, Qt::Key_Up);
        QCOMPARE(stack->count(), 2);
        now = 3000;
        key(b, Qt::Key_Up); // another grip
        QCOMPARE(stack->count(), 3);
        now = 3100;
        key(a, Qt::Key_Up); // back to the first: a new run
        QCOMPARE(stack->count(), 4);
        w->history()->undo();
        w->history()->undo();
        w->history()->undo();
        QCOMPARE(a->Position(), defaultOf(7) - QPointF(0, 3));
        w->history()->undo();
        QCOMPARE(a->Position(), defaultOf(7));
        QCOMPARE(b->Position(), defaultOf(8));
    }

    void stepsThatMoveNothingAreNotKept() {
        QUndoStack* stack = w->history()->stack();
        QTest::mouseClick(w->front()->resetButton(),
                          Qt::LeftButton); // everything on its default already
        showSide();
        QTest::mouseClick(w->side()->resetButton(), Qt::LeftButton);
        showFront();
        TSelectionPoint* g = w->SelectionPoint(20);
        dragGrip(g, {300, 300});
        dragGrip(g, {300, 300}); // dropped where it was
        QCOMPARE(stack->count(), 1);
        now += 100;
        key(g, Qt::Key_Left);
        now += 100;
        key(g, Qt::Key_Right); // the run ends where it began
        QCOMPARE(stack->count(), 1);
        g->setPosition({0, 10});
        key(g, Qt::Key_Left); // clamped: no move
        QCOMPARE(stack->count(), 1);
    }

    void aDemonstrationIsOneStepAndUndoLeavesItsResults() {
        dragGrip(w->SelectionPoint(13), {100, 160});
        showSide();
        dragGrip(w->SelectionPoint(103), {90, 150});
        showFront();
        runDemonstration(*w);
        const WindowSnapshot result = WindowSnapshot::of(*w);
        QCOMPARE(result.table.at(4), QStringLiteral("Keldaro"));
        QCOMPARE(w->history()->stack()->count(), 3);

        w->history()->undo(); // both pages' grips come back at once
        QCOMPARE(w->SelectionPoint(13)->Position(), QPointF(100, 160));
        QCOMPARE(w->SelectionPoint(103)->Position(), QPointF(90, 150));
        VERIFY_SAME_RESULT_AND_PHOTOS(*w, result);
        w->history()->redo();
        QCOMPARE(w->SelectionPoint(13)->Position(), defaultOf(13));
        QCOMPARE(w->SelectionPoint(103)->Position(), defaultOf(103));
        VERIFY_SAME_RESULT_AND_PHOTOS(*w, result);
    }

    void theKeysReachUndoAndRedo() {
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        TSelectionPoint* g = w->SelectionPoint(21);
        dragGrip(g, {60, 250});
        QTest::keyClick(g, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(g->Position(), defaultOf(21));
        QTest::keyClick(g, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(g->Position(), QPointF(60, 250));
        QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(w.get(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(g->Position(), QPointF(60, 250));
    }
};

QTEST_MAIN(PlacementTest)
#include "test_placement.moc"
