// How firmly a result stands, as the window shows it after a determination: the status line,
// the marked word labels and their hints, and when all of it goes again.
#include "controls.hpp"
#include "face_page.hpp"
#include "landmark_page.hpp"
#include "selection_point.hpp"
#include "side_measurement.hpp"
#include "ui_test_support.hpp"
#include "veidora_window.hpp"
#include "verdict_marks.hpp"

#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The eight word labels: those of the sample faces' codes at their boundary, then the others.
const QStringList kAtBoundary{"Label139", "Label53", "Label95", "Label137"};
const QStringList kFirm{"Label130", "Label132", "Label152", "Label150"};

const QString kSampleStatus = QStringLiteral("Prie ribos: nosikaulis, nosikaulio pakrypimas, "
                                             "žandikaulio asimetrija, smakras. Galėtų laimėti "
                                             "ir Tovelio.");

} // namespace

class FirmnessTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TVeidora> w;
    QTemporaryDir dir;

    void fresh() {
        w.reset();
        w = std::make_unique<TVeidora>();
        holdSecondStep(*w);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }

    QString status() const { return w->StatusBar1->currentMessage(); }

    bool marked(const QString& name) const {
        const TLabel* l = w->label(name);
        return !l->toolTip().isEmpty() ||
               l->palette().color(QPalette::WindowText) == VerdictMarks::markColour();
    }

    void expectNoMarks() {
        for (const QStringList& names : {kAtBoundary, kFirm})
            for (const QString& name : names) {
                QVERIFY2(!marked(name), qPrintable(name));
                QCOMPARE(w->label(name)->accessibleDescription(), w->label(name)->text());
            }
    }

    void openPhotos() {
        QImage img(300, 400, QImage::Format_RGB32);
        img.fill(QColor(180, 150, 130));
        openPhoto(*w, w->front(), img, dir.filePath(QStringLiteral("priekis.png")));
        openPhoto(*w, w->side(), img, dir.filePath(QStringLiteral("sonas.png")));
    }

    void secondStep() { runSecondStep(*w); }

private slots:
    void init() {
        QLocale::setDefault(QLocale::c());
        fresh();
    }
    void cleanup() {
        w.reset();
        QLocale::setDefault(QLocale::c());
    }

    void theDemonstrationSaysWhichCodesAreAtTheirBoundary_data() {
        QTest::addColumn<QString>("locale");
        QTest::newRow("comma, Lithuanian") << "lt_LT";
        QTest::newRow("point") << "C";
    }

    void theDemonstrationSaysWhichCodesAreAtTheirBoundary() {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        fresh();
        const QString sep = QLocale().decimalPoint();
        QMap<QString, QRect> places;
        for (const QStringList& names : {kAtBoundary, kFirm})
            for (const QString& name : names)
                places.insert(name, w->label(name)->geometry());

        runDemonstration(*w);
        QCOMPARE(status(), kSampleStatus);
        const QMap<QString, QString> hints{
            {"Label139", "Prie ribos: pastūmus S4 0,5 vnt. į kairę – „Mažas“."},
            {"Label53", "Prie ribos: pastūmus P16 0,5 vnt. į dešinę – „Centras“."},
            {"Label95", "Prie ribos: pastūmus P4 1 vnt. į dešinę – „Centras“."},
            {"Label137", "Prie ribos: pastūmus S14 1 vnt. į kairę – „Vidutinis“."},
        };
        const QMap<QString, QString> words{{"Label139", "Vidutinis"},
                                           {"Label53", "Kairę"},
                                           {"Label95", "Kairę"},
                                           {"Label137", "Didelis"}};
        for (const QString& name : kAtBoundary) {
            TLabel* l = w->label(name);
            const QString hint =
                QString(hints[name]).replace(QStringLiteral("0,5"), "0" + sep + "5");
            QCOMPARE(l->toolTip(), hint);
            QCOMPARE(l->accessibleDescription(), words[name] + ". " + hint);
            QCOMPARE(l->palette().color(QPalette::WindowText), VerdictMarks::markColour());
            QCOMPARE(l->text(), words[name]); // the word and its place stay
            QCOMPARE(l->geometry(), places[name]);
        }
        for (const QString& name : kFirm) {
            QVERIFY2(!marked(name), qPrintable(name));
            QCOMPARE(w->label(name)->geometry(), places[name]);
        }

        // A hint over a grip takes the line for a while; leaving the grip brings it back.
        TSelectionPoint* grip = w->SelectionPoint(101);
        QEnterEvent enter(QPointF(3, 3), grip->mapToGlobal(QPointF(3, 3)),
                          grip->mapToGlobal(QPointF(3, 3)));
        QCoreApplication::sendEvent(grip, &enter);
        QCOMPARE(status(), w->side()->landmarks()->hint(grip));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(grip, &leave);
        QCOMPARE(status(), kSampleStatus);
        w->TabControl1->setCurrentWidget(w->TabItem1);
        QCOMPARE(status(), kSampleStatus);
    }

    void aMovedGripTakesTheMarksAway_data() {
        QTest::addColumn<int>("grip");
        QTest::newRow("front, far from every boundary") << 1;
        QTest::newRow("side") << 110;
    }

    void aMovedGripTakesTheMarksAway() {
        QFETCH(int, grip);
        runDemonstration(*w);
        QCOMPARE(status(), kSampleStatus);
        const WindowSnapshot result = WindowSnapshot::of(*w);

        TSelectionPoint* g = w->SelectionPoint(grip);
        FacePage* page = grip > 100 ? w->side() : w->front();
        w->TabControl1->setCurrentWidget(page->tab());
        dragGrip(g, g->Position() + QPointF(5, 5));
        expectNoMarks();
        // What placing shows: the hint of the grip just moved, then the count.
        QCOMPARE(status(), page->landmarks()->hint(g));
        page->landmarks()->clearSelection();
        QCOMPARE(status(), page->landmarks()->progressText());
        VERIFY_SAME_RESULT_AND_PHOTOS(*w, result);
    }

    void aFarFromEveryBoundaryResultSaysSo() {
        // Bridge and jaw halves four and ten units apart, a hollow nose bridge, a chin well
        // ahead: every code three units or more from its threshold.
        openPhotos();
        const std::pair<int, QPointF> places[] = {
            {17, {412, 175}}, {4, {417, 292}}, {107, {318, 175}}, {114, {327, 248}}};
        for (const auto& [n, at] : places) {
            w->TabControl1->setCurrentWidget(n > 100 ? w->TabItem2 : w->TabItem1);
            dragGrip(w->SelectionPoint(n), at);
        }
        QTest::mouseClick(w->Button2, Qt::LeftButton);
        secondStep();
        QCOMPARE(status(), QStringLiteral("Visi požymiai toli nuo ribų."));
        expectNoMarks();
    }

    // The side cannot be measured at the second step: the run fails and shows none of this,
    // nor keeps what the last run showed.
    void aFailedDeterminationShowsNoneOfIt() {
        openPhotos();
        QTest::mouseClick(w->Button2, Qt::LeftButton);
        secondStep();
        QCOMPARE(status(), kSampleStatus);

        ErrorRecorder errors;
        QTest::mouseClick(w->Button2, Qt::LeftButton);
        QVERIFY(status() != kSampleStatus); // a new run starts from nothing
        expectNoMarks();
        QCOMPARE(w->TabControl1->currentWidget(), w->TabItem2);
        dragGrip(w->SelectionPoint(115), {323, 101}); // level with the top of the head
        secondStep();
        QCOMPARE(errors.messages, QStringList{QString::fromUtf8(veidora::kSideZeroHeadMessage)});
        QVERIFY(!status().startsWith(QStringLiteral("Prie ribos")));
        QVERIFY(status() != QStringLiteral("Visi požymiai toli nuo ribų."));
        expectNoMarks();
    }
};

QTEST_MAIN(FirmnessTest)
#include "test_firmness.moc"
