// The landmark pages: grips, their copies, resets, photo tilt and mirroring, labels.
#include "controls.hpp"
#include "face_page.hpp"
#include "front_landmarks.hpp"
#include "photo.hpp"
#include "selection_point.hpp"
#include "side_landmarks.hpp"
#include "ui_test_support.hpp"
#include "veidora_window.hpp"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using veidora::TPointF;

namespace {

TPointF asPoint(QPointF p) {
    return {float(p.x()), float(p.y())};
}

void paintNow(QWidget* w) {
    w->repaint();
    QCoreApplication::processEvents();
}

QString writeImage(const QTemporaryDir& dir, const QString& name, const QImage& img) {
    const QString path = dir.filePath(name);
    img.save(path);
    return path;
}

// Left half dark, right half light, so a mirroring shows.
QImage asymmetric(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 3; ++x)
            img.setPixel(x, y, qRgb(20, 40, 60 + y % 100));
    return img;
}

} // namespace

class PagesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TVeidora> w;

private slots:
    void init() {
        w = std::make_unique<TVeidora>();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    void cleanup() { w.reset(); }

    void copiesEqualTheDefaultsOnceThePagesHavePainted() {
        for (int n = 1; n <= 28; ++n) {
            QCOMPARE(w->P(n), veidora::kFrontDefaults[n - 1]);
            QCOMPARE(w->SelectionPoint(n)->Position(),
                     QPointF(veidora::kFrontDefaults[n - 1].X, veidora::kFrontDefaults[n - 1].Y));
        }
        QCOMPARE(w->P(3), (TPointF{420, 76}));
        QCOMPARE(w->P(4), (TPointF{421, 292}));
        // The side page has not been shown yet.
        for (int n = 1; n <= 17; ++n)
            QCOMPARE(w->S(n), (TPointF{0, 0}));
        w->TabControl1->setCurrentWidget(w->TabItem2);
        QTRY_COMPARE_WITH_TIMEOUT(w->S(6), (TPointF{517, 166}), kPatienceMs);
        for (int n = 1; n <= 17; ++n)
            QCOMPARE(w->S(n), veidora::kSideDefaults[n - 1]);
    }

    void draggingFollowsThePointerAndStopsAtTheBorder() {
        TSelectionPoint* grip = w->SelectionPoint(3);
        QList<TPointF> seen;
        dragGrip(grip, {300, 120}, 4, [&] { seen << w->P(3); });
        QCOMPARE(grip->Position(), QPointF(300, 120));
        QCOMPARE(w->P(3), (TPointF{300, 120}));
        // P3 followed the grip at every step, not only at the end.
        QVERIFY(seen.size() == 4 && seen.first() != seen.last());

        struct Case {
            int grip;
            QPointF target;
            QPointF expected;
        };
        const Case cases[] = {
            {3, {700, 120}, {561, 120}},  {4, {300, 500}, {300, 377}}, {5, {-40, -30}, {0, 0}},
            {27, {600, 400}, {561, 377}}, {9, {-5, 200}, {0, 200}},
        };
        for (const auto& c : cases) {
            dragGrip(w->SelectionPoint(c.grip), c.target);
            QCOMPARE(w->SelectionPoint(c.grip)->Position(), c.expected);
        }
        paintNow(w->front()->rectangle());
        QCOMPARE(w->P(27), (TPointF{561, 377}));

        w->TabControl1->setCurrentWidget(w->TabItem2);
        dragGrip(w->SelectionPoint(108), {10, 390});
        QCOMPARE(w->SelectionPoint(108)->Position(), QPointF(10, 377));
        QTRY_COMPARE_WITH_TIMEOUT(w->S(8), (TPointF{10, 377}), kPatienceMs);
    }

    void gripsAreWhiteAndTurnRedUnderThePointer() {
        TSelectionPoint* grip = w->SelectionPoint(1);
        const QPoint centre = (grip->Position() - QPointF(grip->pos())).toPoint();
        auto colour = [&] { return grip->grab().toImage().pixelColor(centre); };
        QCOMPARE(colour(), QColor(Qt::white));
        const QPointF at(centre);
        QEnterEvent enter(at, at, at);
        QCoreApplication::sendEvent(grip, &enter);
        QCOMPARE(colour(), QColor(Qt::red));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(grip, &leave);
        QCOMPARE(colour(), QColor(Qt::white));
    }

    void resetPutsEveryGripBackExactly() {
        for (int n : {1, 4, 13, 28})
            dragGrip(w->SelectionPoint(n), {50.0 + n, 60.0 + n});
        QTest::mouseClick(w->front()->resetButton(), Qt::LeftButton);
        for (int pass = 0; pass < 2; ++pass) {
            for (int n = 1; n <= 28; ++n)
                QCOMPARE(asPoint(w->SelectionPoint(n)->Position()), veidora::kFrontDefaults[n - 1]);
            paintNow(w->front()->rectangle());
            for (int n = 1; n <= 28; ++n)
                QCOMPARE(w->P(n), veidora::kFrontDefaults[n - 1]);
            QTest::mouseClick(w->front()->resetButton(),
                              Qt::LeftButton); // a second reset changes nothing
        }

        w->TabControl1->setCurrentWidget(w->TabItem2);
        dragGrip(w->SelectionPoint(117), {20, 30});
        dragGrip(w->SelectionPoint(105), {40, 50}); // read by no measurement, reset all the same
        QTest::mouseClick(w->side()->resetButton(), Qt::LeftButton);
        for (int n = 1; n <= 17; ++n)
            QCOMPARE(asPoint(w->SelectionPoint(100 + n)->Position()),
                     veidora::kSideDefaults[n - 1]);
    }

    void sideCopiesFollowOnlyAfterAPaint() {
        w->TabControl1->setCurrentWidget(w->TabItem2);
        QTRY_COMPARE_WITH_TIMEOUT(w->S(1), (TPointF{330, 101}), kPatienceMs);
        w->TabControl1->setCurrentWidget(w->TabItem1);
        QCoreApplication::processEvents();
        w->SelectionPoint(101)->setPosition({100, 100});
        QCoreApplication::processEvents();
        QCOMPARE(w->S(1), (TPointF{330, 101})); // the hidden page has not painted
        w->TabControl1->setCurrentWidget(w->TabItem2);
        QTRY_COMPARE_WITH_TIMEOUT(w->S(1), (TPointF{100, 100}), kPatienceMs);
    }

    void tiltShowsWholeDegreesAndTurnsThePhoto() {
        struct Case {
            double value;
            const char* shown;
        };
        const Case cases[] = {{7.9, "7"}, {-7.9, "-7"}, {0.7, "0"}, {-0.7, "0"},
                              {20, "20"}, {-20, "-20"}, {25, "20"}, {0, "0"}};
        for (const auto& c : cases) {
            w->front()->tilt()->setValue(c.value);
            QCOMPARE(w->label("Label127")->text(), QLatin1String(c.shown));
            QCOMPARE(w->front()->photo()->RotationAngle(), QString::fromLatin1(c.shown).toDouble());
        }
        // The side bar moves in whole steps.
        w->side()->tilt()->setValue(7.4);
        QCOMPARE(w->side()->tilt()->Value(), 7.0);
        QCOMPARE(w->label("Label124")->text(), QStringLiteral("7"));
        QCOMPARE(w->side()->photo()->RotationAngle(), 7.0);
        w->side()->tilt()->setValue(-20);
        QCOMPARE(w->label("Label124")->text(), QStringLiteral("-20"));
        // Turning the photo moves no grip.
        QCOMPARE(w->P(1), veidora::kFrontDefaults[0]);
    }

    void aTurnedPhotoIsDrawnWhole() {
        QTemporaryDir dir;
        w->TabControl1->setCurrentWidget(w->TabItem1);
        w->loadPhotoIntoCurrentPage(writeImage(dir, "a.png", asymmetric(257, 321)));
        QCOMPARE(w->front()->photo()->geometry(), QRect(8, 8, 257, 321));
        w->front()->tilt()->setValue(20);
        const QRect grown = w->front()->photo()->geometry();
        QVERIFY(grown.contains(QRect(8, 8, 257, 321)));
        QVERIFY(grown.width() > 340 && grown.height() > 380);
        QCOMPARE(w->front()->photo()->Box(), QRect(8, 8, 257, 321));
        // A corner of the turned picture lies outside the unturned box and is painted.
        const QImage shot = w->front()->rectangle()->grab().toImage();
        const QPoint corner(8 + 257 + 10, 8 + 150); // right of the box, inside the turned photo
        QVERIFY(shot.pixelColor(corner) != QColor(0xF4, 0xF5, 0xF7));
    }

    void mirroringTwiceGivesBackTheOriginalAndANewPhotoDropsIt() {
        QTemporaryDir dir;
        const QImage original = asymmetric(120, 90);
        w->TabControl1->setCurrentWidget(w->TabItem2);
        w->side()->mirrorButton()->click(); // no photo yet: nothing happens
        QCOMPARE(w->side()->photo()->BitmapWidth(), 0);
        w->loadPhotoIntoCurrentPage(writeImage(dir, "a.png", original));
        const QImage loaded = w->side()->photo()->Bitmap();
        QTest::mouseClick(w->side()->mirrorButton(), Qt::LeftButton);
        QCOMPARE(w->side()->photo()->Bitmap(), loaded.mirrored(true, false));
        QVERIFY(w->side()->photo()->Bitmap() != loaded);
        QTest::mouseClick(w->side()->mirrorButton(), Qt::LeftButton);
        QCOMPARE(w->side()->photo()->Bitmap(), loaded);

        w->side()->tilt()->setValue(5);
        QTest::mouseClick(w->side()->mirrorButton(), Qt::LeftButton);
        const QImage second = asymmetric(100, 100);
        w->loadPhotoIntoCurrentPage(writeImage(dir, "b.png", second));
        QCOMPARE(w->side()->photo()->Bitmap().convertToFormat(QImage::Format_RGB32), second);
        QCOMPARE(w->side()->photo()->RotationAngle(), 5.0);
        QCOMPARE(w->label("Label124")->text(), QStringLiteral("5"));
        QCOMPARE(w->front()->photo()->BitmapWidth(), 0); // only the current page's photo changes
    }

    void pagesCarryTheirControlsAndFirstTexts() {
        struct Case {
            const char* name;
            const char* text;
            QPoint pos;
        };
        const Case cases[] = {
            {"Label15", "Perkelkite  taškus nuo pavyzdžio. ", {344, 37}},
            {"Label123", "Perkelkite  taškus nuo pavyzdžio. ", {344, 37}},
            {"Label126", "Veido tiesumo korekcija", {24, 12}},
            {"Label33", "0", {121, 462}},
            {"Label152", "...", {121, 559}},
            {"Label53", "...", {351, 515}},
            {"Label150", "...", {328, 568}},
            {"Label95", "0", {371, 586}},
            {"Label94", "Ap. žangikaulio asimetrija:", {216, 586}},
            {"Label57", "0", {113, 456}},
            {"Label89", "Smakras Nosikaulio p.", {208, 571}},
            {"Label121", "0", {160, 596}},
            {"Label138", "Nosikaulis: ", {424, 543}},
        };
        for (const auto& c : cases) {
            TLabel* l = w->label(QLatin1String(c.name));
            QVERIFY2(l, c.name);
            QCOMPARE(l->text(), QString::fromUtf8(c.text));
            QCOMPARE(l->pos(), c.pos);
        }
        QCOMPARE(w->front()->rectangle()->geometry(), QRect(16, 62, 561, 377));
        QCOMPARE(w->side()->rectangle()->geometry(), QRect(24, 62, 561, 377));
        QCOMPARE(w->front()->sample()->Box(), QRect(288, 7, 265, 321));
        QCOMPARE(w->side()->sample()->Box(), QRect(288, 9, 265, 321));
        QCOMPARE(w->side()->mirrorButton()->text(), QStringLiteral("&Apsukimas"));
        QCOMPARE(w->front()->tilt()->Min(), -20.0);
        QCOMPARE(w->side()->tilt()->Max(), 20.0);
        for (int n = 1; n <= 28; ++n)
            QCOMPARE(w->SelectionPoint(n)->parentWidget(), w->front()->rectangle());
        for (int n = 101; n <= 117; ++n)
            QCOMPARE(w->SelectionPoint(n)->objectName(), QStringLiteral("SelectionPoint%1").arg(n));
    }

    // The side page builds its controls when it first appears; it must then be the page a window
    // that built it at once shows: the same controls, places, texts, names and tab order.
    void theSidePageBuiltOnFirstShowIsThePageBuiltAtOnce() {
        QVERIFY(!w->side()->isBuilt());
        QVERIFY(!w->findChild<QWidget*>(QStringLiteral("SelectionPoint101")));
        TVeidora atOnce;
        buildEveryPage(atOnce);
        atOnce.show();
        QVERIFY(QTest::qWaitForWindowExposed(&atOnce));
        for (TVeidora* window : {w.get(), &atOnce})
            window->TabControl1->setCurrentWidget(window->TabItem2);
        QVERIFY(w->side()->isBuilt());

        auto* tilt = w->findChild<TTrackBar*>(QStringLiteral("TrackBar1"));
        QVERIFY(tilt);
        QCOMPARE(tilt->Min(), -20.0);
        QCOMPARE(tilt->Max(), 20.0);
        QCOMPARE(tilt->Value(), 0.0);
        QCOMPARE(controlsOf(w->TabItem2), controlsOf(atOnce.TabItem2));
        QCOMPARE(tabOrder(*w), tabOrder(atOnce));
        QCOMPARE(w->TabItem2->grab().toImage(), atOnce.TabItem2->grab().toImage());
    }

    // A screen reader walks the pages not shown too: once one runs, every page is there.
    void aScreenReaderFindsEveryPageBuilt() {
        QVERIFY(!w->side()->isBuilt());
        QAccessible::setActive(true);
        const bool built = w->side()->isBuilt();
        QAccessible::setActive(false);
        QVERIFY(built);
    }

private:
    // Every control on a page as a line: kind, name, place, whether shown, texts and names.
    static QStringList controlsOf(QWidget* page) {
        QStringList lines;
        for (const QWidget* c : page->findChildren<QWidget*>()) {
            QString text;
            if (const auto* l = qobject_cast<const QLabel*>(c))
                text = l->text();
            else if (const auto* b = qobject_cast<const QAbstractButton*>(c))
                text = b->text();
            const QRect g = c->geometry();
            lines << QStringLiteral("%1 %2 %3,%4 %5x%6 %7 %8 |%9|%10|%11|%12")
                         .arg(QLatin1String(c->metaObject()->className()), c->objectName())
                         .arg(g.x())
                         .arg(g.y())
                         .arg(g.width())
                         .arg(g.height())
                         .arg(c->isVisible())
                         .arg(c->isEnabled())
                         .arg(text, c->accessibleName(), c->accessibleDescription(), c->toolTip());
        }
        lines.sort();
        return lines;
    }

    // The names of the controls Tab reaches, in the window's focus chain.
    static QStringList tabOrder(TVeidora& window) {
        QStringList names;
        for (QWidget* c = window.nextInFocusChain(); c != &window; c = c->nextInFocusChain())
            if ((c->focusPolicy() & Qt::TabFocus) && !c->objectName().isEmpty())
                names << c->objectName();
        return names;
    }
};

QTEST_MAIN(PagesTest)
#include "test_pages.moc"
