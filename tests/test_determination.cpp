// A whole determination driven through the window as a user would: button, dialog, the
// one-second step, table and banner.
#include "controls.hpp"
#include "face_page.hpp"
#include "front_measurement.hpp"
#include "matrix_label.hpp"
#include "photo.hpp"
#include "ranking.hpp"
#include "sample_face_texts.hpp"
#include "selection_point.hpp"
#include "side_measurement.hpp"
#include "string_grid.hpp"
#include "ui_test_support.hpp"
#include "veidora_window.hpp"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Texts = QList<QPair<QString, QString>>;

Texts texts(const auto& list) {
    Texts t;
    for (const auto& [label, text] : list)
        t.append({QString::fromUtf8(label), QString::fromUtf8(text)});
    return t;
}

const Texts kFrontSample = texts(kFrontSampleTexts);
const Texts kSideSample = texts(kSideSampleTexts);

const QStringList kSampleNames{"Keldaro", "Tovelio", "Jukamo", "Heluvos",
                               "Mirveno", "Agreno",  "Sulgeto"};
const QStringList kSampleScores{"93.75", "81.25", "68.875", "62.625", "56.25", "43.875", "22.625"};
const QStringList kSampleShown{"93.75", "81.25", "68.88", "62.63", "56.25", "43.88", "22.63"};

QString withSep(QString text, QChar sep) {
    return text.replace(QLatin1Char('.'), sep);
}

// The banner keeps rotating while the test looks at it.
bool isRotationOf(const QString& shown, const QString& text) {
    return shown.size() == text.size() && (text + text).contains(shown);
}

QJsonObject referenceCase(int id) {
    QFile f(QStringLiteral(VEIDORA_TEST_DATA "/landmark-cases.json"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QJsonArray cases = QJsonDocument::fromJson(f.readAll()).object().value("cases").toArray();
    for (const auto& c : cases)
        if (c.toObject().value("id").toInt() == id)
            return c.toObject();
    return {};
}

} // namespace

class DeterminationTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TVeidora> w;
    QTemporaryDir dir;

    void openPhotos() {
        QImage img(300, 400, QImage::Format_RGB32);
        img.fill(QColor(180, 150, 130));
        const QString path = dir.filePath(QStringLiteral("veidas.png"));
        QVERIFY(img.save(path));
        w->TabControl1->setCurrentWidget(w->TabItem1);
        w->loadPhotoIntoCurrentPage(path);
        w->TabControl1->setCurrentWidget(w->TabItem2);
        w->loadPhotoIntoCurrentPage(path);
        w->TabControl1->setCurrentWidget(w->TabItem1);
        QCoreApplication::processEvents();
    }

    // A new window whose second step waits for the test (see secondStep).
    void fresh() {
        w.reset();
        w = std::make_unique<TVeidora>();
        holdSecondStep(*w);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }

    // The waiting second is over: the second step runs, once.
    void secondStep() { runSecondStep(*w); }

    void expectLabels(const Texts& texts, QChar sep = QLatin1Char('.')) {
        for (const auto& [name, text] : texts)
            QCOMPARE(w->label(name)->text(), withSep(text, sep));
    }

    QColor rowColour(int row) {
        TStringGrid* g = w->StringGrid1;
        g->scrollTo(g->model()->index(row, 1));
        QCoreApplication::processEvents();
        const QRect cell = g->visualRect(g->model()->index(row, 1));
        return g->viewport()->grab().toImage().pixelColor(cell.right() - 2, cell.center().y());
    }

    void expectSampleResult(QChar sep) {
        for (int row = 0; row < 7; ++row) {
            QCOMPARE(w->StringGrid1->cell(0, row), QString::number(row + 1));
            QCOMPARE(w->StringGrid1->cell(1, row), kSampleNames[row]);
            QCOMPARE(w->StringGrid1->cell(2, row), withSep(kSampleScores[row], sep));
            QCOMPARE(w->FloatColumn2->displayText(w->StringGrid1->cell(2, row), QLocale()),
                     withSep(kSampleShown[row], sep));
        }
        QCOMPARE(w->StringGrid1->header(0), QStringLiteral("Nr:"));
        QCOMPARE(w->StringGrid1->header(1), QStringLiteral("Genotipas"));
        QCOMPARE(w->StringGrid1->header(2), QStringLiteral("Procentai"));
        QVERIFY(
            isRotationOf(w->MatrixLabel1->Text(), QStringLiteral("Nustatytas Keldaro genotipas ")));
        QCOMPARE(rowColour(0), QColor(0, 0x80, 0));
        for (int row : {1, 2, 3, 6, 7, 50, 99})
            QCOMPARE(rowColour(row), QColor(0xFF, 0, 0));
        expectLabels(kFrontSample, sep);
        expectLabels(kSideSample, sep);
        QCOMPARE(w->codes(), (veidora::TraitCodes{1, 3, 2, 1, 2, 3, 1, 3}));
    }

private slots:
    void init() {
        QLocale::setDefault(QLocale::c());
        fresh();
    }
    void cleanup() {
        w.reset();
        QLocale::setDefault(QLocale::c());
    }

    void demonstrationOnTheSampleFaces_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("dragFirst");
        QTest::newRow("point") << "C" << false;
        QTest::newRow("comma, Lithuanian") << "lt_LT" << false;
        QTest::newRow("grips dragged before") << "C" << true;
    }

    void demonstrationOnTheSampleFaces() {
        QFETCH(QString, locale);
        QFETCH(bool, dragFirst);
        QLocale::setDefault(QLocale(locale));
        fresh();
        const QChar sep = QLocale().decimalPoint().front();
        if (dragFirst) {
            dragGrip(w->SelectionPoint(13), {100, 160});
            dragGrip(w->SelectionPoint(4), {120, 300});
            w->TabControl1->setCurrentWidget(w->TabItem2);
            dragGrip(w->SelectionPoint(103), {90, 150});
            w->TabControl1->setCurrentWidget(w->TabItem1);
            QCoreApplication::processEvents();
        }

        QString message;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        {
            const auto yes = answerNextMessageBox(QMessageBox::Yes, [&](QMessageBox* box) {
                message = box->text();
                defaultButton = box->standardButton(box->defaultButton());
            });
            QTest::mouseClick(w->Button2, Qt::LeftButton);
        }
        QCOMPARE(message, QStringLiteral("Neatidaryta nuotrauka iš priekio ir iš šono (nustatymui "
                                         "reikalinga nuotrauka iš priekio ir iš šono). \"YES\" "
                                         "Atstatomi taškai, jungiamas „demo“ rėžimas, \"NO\" "
                                         "nieko nekeisti"));
        QCOMPARE(defaultButton, QMessageBox::No);

        // First step done: the side page shows, the front is measured, the side not yet.
        QCOMPARE(w->TabControl1->currentWidget(), w->TabItem2);
        QVERIFY(w->Timer2->isActive());
        expectLabels(kFrontSample, sep);
        QCOMPARE(w->label("Label57")->text(), QStringLiteral("0"));
        QCOMPARE(w->StringGrid1->cell(0, 0), QString());

        secondStep();
        expectSampleResult(sep);
        for (int n = 1; n <= 28; ++n)
            QCOMPARE(w->P(n), veidora::kFrontDefaults[n - 1]);
    }

    void theMessageNamesWhatIsMissing() {
        QImage img(50, 50, QImage::Format_RGB32);
        img.fill(Qt::gray);
        const QString path = dir.filePath(QStringLiteral("m.png"));
        QVERIFY(img.save(path));
        struct Case {
            QWidget* page;
            const char* missing;
        };
        const Case cases[] = {{w->TabItem1, "iš šono"}, {w->TabItem2, "iš priekio"}};
        for (const auto& c : cases) {
            const bool front = c.page == cases[0].page;
            fresh();
            w->TabControl1->setCurrentWidget(front ? w->TabItem1 : w->TabItem2);
            w->loadPhotoIntoCurrentPage(path);
            QString message;
            {
                const auto no = answerNextMessageBox(
                    QMessageBox::No, [&](QMessageBox* box) { message = box->text(); });
                QTest::mouseClick(w->Button2, Qt::LeftButton);
            }
            const QString missing = QString::fromUtf8(c.missing);
            QCOMPARE(message, TVeidora::confirmationText(missing));
            QVERIFY(message.startsWith(QStringLiteral("Neatidaryta nuotrauka ") + missing + " ("));
            QCOMPARE(w->missingText(), missing);
        }
        // The closing text is the 72 characters the users know.
        const QString closing =
            TVeidora::confirmationText(QString()).section(QStringLiteral("nuotrauka "), 2);
        QCOMPARE(closing.size(), 72);
    }

    void noChangesNothing() {
        dragGrip(w->SelectionPoint(1), {30, 40});
        {
            const auto no = answerNextMessageBox(QMessageBox::No);
            QTest::mouseClick(w->Button2, Qt::LeftButton);
        }
        QCoreApplication::processEvents();
        QVERIFY(!w->Timer2->isActive()); // no second step is coming
        QCOMPARE(w->TabControl1->currentWidget(), w->TabItem1);
        QCOMPARE(w->SelectionPoint(1)->Position(), QPointF(30, 40));
        QCOMPARE(w->label("Label33")->text(), QStringLiteral("0"));
        QCOMPARE(w->label("Label152")->text(), QStringLiteral("..."));
        QCOMPARE(w->StringGrid1->cell(1, 0), QString());
        QCOMPARE(w->codes(), veidora::TraitCodes{});
    }

    void gripsPlacedByMouseGiveThePureMeasurement() {
        openPhotos();
        const QJsonObject ref = referenceCase(161); // whole-number landmarks
        QVERIFY(!ref.isEmpty());
        const QJsonArray front = ref.value("front_points").toArray();
        const QJsonArray side = ref.value("side_points").toArray();
        for (int n = 1; n <= 28; ++n) {
            const QJsonArray p = front[n - 1].toArray();
            dragGrip(w->SelectionPoint(n), {p[0].toDouble(), p[1].toDouble()});
        }
        w->TabControl1->setCurrentWidget(w->TabItem2);
        QCoreApplication::processEvents();
        for (int n = 1; n <= 17; ++n) {
            const QJsonArray p = side[n - 1].toArray();
            dragGrip(w->SelectionPoint(100 + n), {p[0].toDouble(), p[1].toDouble()});
        }
        w->TabControl1->setCurrentWidget(w->TabItem1);
        QCoreApplication::processEvents();

        QSignalSpy ticks(w->Timer2, &QTimer::timeout);
        QTest::mouseClick(w->Button2, Qt::LeftButton); // both photos open: no dialog
        secondStep();
        QCOMPARE(ticks.count(), 1);

        for (const QString& group :
             {QStringLiteral("front_labels"), QStringLiteral("side_labels")}) {
            const QJsonObject labels = ref.value(group).toObject();
            for (auto it = labels.begin(); it != labels.end(); ++it)
                QVERIFY2(w->label(it.key())->text() == it.value().toString(),
                         qPrintable(it.key() + ": " + w->label(it.key())->text()));
        }
        const QJsonArray rows = ref.value("rows").toArray();
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 3; ++col)
                QCOMPARE(w->StringGrid1->cell(col, row), rows[row].toArray()[col].toString());
        QVERIFY(isRotationOf(w->MatrixLabel1->Text(), ref.value("banner").toString()));
    }

    // Every reference set, placed on the grips and run through the button, with both separators.
    void everyReferenceSetThroughTheWindow_data() {
        QTest::addColumn<QString>("locale");
        QTest::newRow("point") << "C";
        QTest::newRow("comma") << "lt_LT";
    }

    void everyReferenceSetThroughTheWindow() {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        fresh();
        const QChar sep = QLocale().decimalPoint().front();
        openPhotos();

        QFile f(QStringLiteral(VEIDORA_TEST_DATA "/landmark-cases.json"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QJsonArray cases =
            QJsonDocument::fromJson(f.readAll()).object().value("cases").toArray();
        QCOMPARE(cases.size(), 34);
        for (const auto& item : cases) {
            const QJsonObject c = item.toObject();
            const QString id = QString::number(c.value("id").toInt());
            auto place = [&](const char* key, int first, QWidget* page) {
                w->TabControl1->setCurrentWidget(page);
                const QJsonArray points = c.value(QLatin1String(key)).toArray();
                for (int i = 0; i < points.size(); ++i)
                    w->SelectionPoint(first + i)->setPosition(
                        {points[i].toArray()[0].toDouble(), points[i].toArray()[1].toDouble()});
                QCoreApplication::processEvents();
            };
            place("front_points", 1, w->TabItem1);
            place("side_points", 101, w->TabItem2);
            QTest::mouseClick(w->Button2, Qt::LeftButton);
            secondStep();

            const QJsonObject alternatives = c.value("alternatives").toObject();
            for (const QString& group :
                 {QStringLiteral("front_labels"), QStringLiteral("side_labels")}) {
                const QJsonObject labels = c.value(group).toObject();
                for (auto it = labels.begin(); it != labels.end(); ++it) {
                    QStringList accepted{withSep(it.value().toString(), sep)};
                    for (const auto& alt : alternatives.value(it.key()).toArray())
                        accepted << withSep(alt.toString(), sep);
                    const QString shown = w->label(it.key())->text();
                    QVERIFY2(accepted.contains(shown),
                             qPrintable(id + " " + it.key() + ": " + shown));
                }
            }
            const QJsonArray rows = c.value("rows").toArray();
            for (int row = 0; row < 7; ++row) {
                const QJsonArray r = rows[row].toArray();
                QCOMPARE(w->StringGrid1->cell(0, row), r[0].toString());
                QCOMPARE(w->StringGrid1->cell(1, row), r[1].toString());
                QCOMPARE(w->StringGrid1->cell(2, row), withSep(r[2].toString(), sep));
                QCOMPARE(w->FloatColumn2->displayText(w->StringGrid1->cell(2, row), QLocale()),
                         withSep(r[3].toString(), sep));
            }
            QVERIFY2(isRotationOf(w->MatrixLabel1->Text(), c.value("banner").toString()),
                     qPrintable(id));
        }
    }

    // The one test that lets the second step wait its real second.
    void theSecondStepComesAtTheTimersFirstTick() {
        w.reset();
        w = std::make_unique<TVeidora>();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        openPhotos();
        QCOMPARE(w->Timer2->interval(), 1000);
        QSignalSpy ticks(w->Timer2, &QTimer::timeout);
        QTest::mouseClick(w->Button2, Qt::LeftButton);
        QVERIFY(w->Timer2->isActive());
        QCOMPARE(w->StringGrid1->cell(1, 0), QString());
        QTRY_VERIFY_WITH_TIMEOUT(!w->Timer2->isActive(), kPatienceMs);
        QCOMPARE(ticks.count(), 1);
        QCOMPARE(w->StringGrid1->cell(1, 0), QStringLiteral("Keldaro"));
    }

    void aClickDuringTheWaitMeasuresTheFrontAgainAndRanksOnce() {
        openPhotos();
        QSignalSpy ticks(w->Timer2, &QTimer::timeout);
        QTest::mouseClick(w->Button2, Qt::LeftButton);
        QCOMPARE(w->label("Label33")->text(), QStringLiteral("216"));
        const int left = w->Timer2->remainingTime();
        QElapsedTimer clock;
        clock.start();
        // The user moves the chin during the waiting second and clicks again.
        w->TabControl1->setCurrentWidget(w->TabItem1);
        dragGrip(w->SelectionPoint(4), {421, 300});
        QTest::qWait(100);
        const qint64 passed = clock.elapsed();
        QTest::mouseClick(w->Button2, Qt::LeftButton);
        QCOMPARE(w->label("Label33")->text(), QStringLiteral("224"));
        QCOMPARE(w->TabControl1->currentWidget(), w->TabItem2);
        // Switching the running timer on again neither restarted nor doubled it.
        QVERIFY(w->Timer2->isActive());
        QVERIFY2(w->Timer2->remainingTime() <= left - passed + 1,
                 qPrintable(QStringLiteral("%1 left after %2 ms of %3")
                                .arg(w->Timer2->remainingTime())
                                .arg(passed)
                                .arg(left)));
        QCOMPARE(ticks.count(), 0);
        secondStep();
        QCOMPARE(ticks.count(), 1); // and the timer is off: no later tick
        QVERIFY(w->MatrixLabel1->Text().contains(QStringLiteral("genotipas")));

        // A later run starts a fresh wait and rewrites the rows and the banner.
        w->TabControl1->setCurrentWidget(w->TabItem2);
        dragGrip(w->SelectionPoint(103), {316, 170}); // a higher forehead
        QTest::mouseClick(w->Button2, Qt::LeftButton);
        secondStep();
        QCOMPARE(ticks.count(), 2);
        QCOMPARE(w->label("Label130")->text(), QStringLiteral("Aukšta"));
        QCOMPARE(w->codes().tKD, 3.0);
        const auto expected = veidora::rankGenotypes(w->codes(), '.');
        for (int row = 0; row < 7; ++row)
            QCOMPARE(w->StringGrid1->cell(1, row), QString::fromStdString(expected.rows[row].name));
        QVERIFY(isRotationOf(w->MatrixLabel1->Text(), QString::fromStdString(expected.banner)));
        QCOMPARE(rowColour(0), QColor(0, 0x80, 0));
        QCOMPARE(rowColour(1), QColor(0xFF, 0, 0));
    }

    // Front or side unmeasurable at the click: the run is refused at once, nothing of the last
    // result changes, or the front's figures would stand beside the previous ranking.
    void aPageThatCannotBeMeasuredAtTheClickKeepsTheWholeLastResult_data() {
        QTest::addColumn<bool>("front"); // which page cannot be measured
        QTest::newRow("front") << true;
        QTest::newRow("side") << false;
    }

    void aPageThatCannotBeMeasuredAtTheClickKeepsTheWholeLastResult() {
        QFETCH(bool, front);
        openPhotos();
        QTest::mouseClick(w->Button2, Qt::LeftButton);
        secondStep();
        const WindowSnapshot before = WindowSnapshot::of(*w);

        ErrorRecorder errors;
        w->TabControl1->setCurrentWidget(w->TabItem1);
        if (front) {
            dragGrip(w->SelectionPoint(4), {421, 76}); // chin level with the top of the forehead
        } else {
            dragGrip(w->SelectionPoint(4), w->SelectionPoint(4)->Position() + QPointF(0, 30));
            w->TabControl1->setCurrentWidget(w->TabItem2);
            dragGrip(w->SelectionPoint(115), {323, 101}); // chin level with the top of the head
        }
        QWidget* page = w->TabControl1->currentWidget();
        QTest::mouseClick(w->Button2, Qt::LeftButton);
        QCOMPARE(errors.messages,
                 QStringList{QString::fromUtf8(front ? veidora::kFrontZeroHeadMessage
                                                     : veidora::kSideZeroHeadMessage)});
        QVERIFY(!w->Timer2->isActive()); // no second step is coming
        QCOMPARE(w->TabControl1->currentWidget(), page);
        VERIFY_SAME_RESULT_AND_PHOTOS(*w, before);
    }

    // The side becomes unmeasurable during the waiting second: the front shows this run's
    // figures, so no ranking of an earlier run may stay beside them.
    void aSideThatCannotBeMeasuredAtTheSecondStepLeavesNoRanking() {
        openPhotos();
        QTest::mouseClick(w->Button2, Qt::LeftButton);
        secondStep();
        QCOMPARE(w->StringGrid1->cell(1, 0), QStringLiteral("Keldaro"));
        const WindowSnapshot first = WindowSnapshot::of(*w);

        ErrorRecorder errors;
        w->TabControl1->setCurrentWidget(w->TabItem1);
        dragGrip(w->SelectionPoint(4), {421, 300}); // a longer head on the front
        QTest::mouseClick(w->Button2, Qt::LeftButton);
        QVERIFY(errors.messages.isEmpty());
        QCOMPARE(w->TabControl1->currentWidget(), w->TabItem2);
        dragGrip(w->SelectionPoint(115), {323, 101}); // chin level with the top of the head
        secondStep();

        QCOMPARE(errors.messages, QStringList{QString::fromUtf8(veidora::kSideZeroHeadMessage)});
        QCOMPARE(w->TabControl1->currentWidget(), w->TabItem2);
        const WindowSnapshot after = WindowSnapshot::of(*w);
        QCOMPARE(after.table, QStringList(3 + 7 * 3, QString())); // as before any determination
        QCOMPARE(after.banner, WindowSnapshot::firstRotation(TVeidora::openingText()));
        QCOMPARE(w->label("Label33")->text(), QStringLiteral("224")); // this run's front
        for (const auto& [name, text] : kSideSample)
            QCOMPARE(after.labels.value(name), first.labels.value(name));
        QCOMPARE(rowColour(0), QColor(0xFF, 0, 0));

        // The next run that can measure both pages ranks again.
        dragGrip(w->SelectionPoint(115), {323, 266});
        QTest::mouseClick(w->Button2, Qt::LeftButton);
        secondStep();
        QCOMPARE(errors.messages.size(), 1);
        QVERIFY(!w->StringGrid1->cell(1, 0).isEmpty());
        QCOMPARE(w->StringGrid1->header(1), QStringLiteral("Genotipas"));
    }
};

QTEST_MAIN(DeterminationTest)
#include "test_determination.moc"
