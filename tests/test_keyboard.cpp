// The window without a mouse, and what a screen reader hears: tab order, keys, shortcuts,
// the smallest window, and the Lithuanian names of the controls.
#include "about_window.hpp"
#include "controls.hpp"
#include "face_page.hpp"
#include "matrix_label.hpp"
#include "selection_point.hpp"
#include "string_grid.hpp"
#include "ui_test_support.hpp"
#include "veidora_window.hpp"

#include <QAccessible>
#include <QFileDialog>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

namespace {

QString spoken(QObject* o, QAccessible::Text what) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(o);
    return a ? a->text(what) : QStringLiteral("<no interface>");
}

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TVeidora> w;

    void showPage(QWidget* page) {
        w->TabControl1->setCurrentWidget(page);
        QCoreApplication::processEvents();
    }

    // The keys reach the focused widget through the window, shortcuts first, as typed.
    void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : w.get();
        QTest::keyClick(target, key, mods);
        QCoreApplication::processEvents();
    }

private slots:
    void init() {
        QLocale::setDefault(QLocale::c());
        w = std::make_unique<TVeidora>();
        buildEveryPage(*w);
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    void cleanup() { w.reset(); }

    void tabGoesThroughButtonsTrackBarThenGripsInLandmarkOrder_data() {
        QTest::addColumn<int>("page");
        QTest::newRow("Priekis") << 0;
        QTest::newRow("Šonas") << 1;
    }
    void tabGoesThroughButtonsTrackBarThenGripsInLandmarkOrder() {
        QFETCH(int, page);
        showPage(page == 0 ? w->TabItem1 : w->TabItem2);
        QStringList expected{"Button1", "Button2", "SpeedButton1", "TabControl1"};
        if (page == 0) {
            expected << "Button6";
            if (w->ButtonAuto && w->ButtonAuto->isEnabled()) // it waits for a photo
                expected << "ButtonAuto";
            expected << "TrackBar2";
            for (int n = 1; n <= 28; ++n)
                expected << QStringLiteral("SelectionPoint%1").arg(n);
        } else {
            expected << "Button7"
                     << "Button5"
                     << "TrackBar1";
            for (int n = 101; n <= 117; ++n)
                expected << QStringLiteral("SelectionPoint%1").arg(n);
        }
        w->Button1->setFocus(Qt::TabFocusReason);
        QStringList seen;
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QWidget* f = QApplication::focusWidget();
            QVERIFY(f);
            // The tab control takes the focus on its header row.
            seen << (f == w->TabControl1->tabBar() ? QStringLiteral("TabControl1")
                                                   : f->objectName());
            press(Qt::Key_Tab);
        }
        QCOMPARE(seen, expected);
    }

    void enterAndSpacePressTheFocusedButton_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        for (const char* b : {"Button6", "Button7", "Button5"}) {
            QTest::addRow("%s, Return", b) << b << int(Qt::Key_Return);
            QTest::addRow("%s, Enter", b) << b << int(Qt::Key_Enter);
            QTest::addRow("%s, Space", b) << b << int(Qt::Key_Space);
        }
    }
    void enterAndSpacePressTheFocusedButton() {
        QFETCH(QString, button);
        QFETCH(int, key);
        auto* b = w->findChild<QPushButton*>(button);
        QVERIFY(b);
        showPage(b->parentWidget());
        b->setFocus(Qt::TabFocusReason);
        QSignalSpy clicked(b, &QPushButton::clicked);
        press(Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(clicked.count(), 1);
    }

    void enterOnTheMenuButtonOpensTheMenu() {
        w->SpeedButton1->setFocus(Qt::TabFocusReason);
        press(Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(w->PopupMenu1->isVisible(), kPatienceMs);
        w->PopupMenu1->close();
    }

    void shortcutsWorkFromButtonsAndGrips_data() {
        QTest::addColumn<QString>("from");
        QTest::newRow("button") << "Button1";
        QTest::newRow("grip") << "SelectionPoint7";
    }
    void shortcutsWorkFromButtonsAndGrips() {
        QFETCH(QString, from);
        w->findChild<QWidget*>(from)->setFocus(Qt::TabFocusReason);

        press(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(w->TabControl1->currentWidget(), w->TabItem2);
        press(Qt::Key_Tab, Qt::ControlModifier); // two pages: back to the first
        QCOMPARE(w->TabControl1->currentWidget(), w->TabItem1);
        press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w->TabControl1->currentWidget(), w->TabItem2);

        // "&Apsukimas" answers Alt+A on its page.
        QSignalSpy mirrored(w->side()->mirrorButton(), &QPushButton::clicked);
        press(Qt::Key_A, Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(
            mirrored.count(), 1, kPatienceMs); // the button shows itself pressed for a moment first
        press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w->TabControl1->currentWidget(), w->TabItem1);
        press(Qt::Key_A, Qt::AltModifier);             // the side page's button is not there
        QVERIFY(!w->side()->mirrorButton()->isDown()); // a shortcut would have pressed it at once
        QCOMPARE(mirrored.count(), 1);

        // F1 shows the About window, Escape there hides it again.
        press(Qt::Key_F1);
        QVERIFY(w->Apie()->isVisible());
        QTest::keyClick(w->Apie(), Qt::Key_Escape);
        QVERIFY(!w->Apie()->isVisible());

        // Ctrl+O opens the photo dialog for the current page.
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->findChild<QWidget*>(from)->setFocus(Qt::TabFocusReason);
        {
            const auto cancel = answerNextFileDialog(QString());
            press(Qt::Key_O, Qt::ControlModifier);
        }
        w->activateWindow(); // as the desktop does when the dialog goes
        QVERIFY(QTest::qWaitForWindowActive(w.get()));

        // Ctrl+Q closes the window, and with it the program.
        press(Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!w->isVisible());
    }

    void theSmallestWindowLeavesTheMenuButtonClear() {
        QVERIFY(w->minimumWidth() <= 700);
        QVERIFY(w->minimumHeight() <= 798);
        QVERIFY(w->minimumHeight() >= 400); // the drawing rectangles stay in view
        w->resize(1, 1);
        QCoreApplication::processEvents();
        QCOMPARE(w->size(), w->minimumSize());
        const QRect menu = w->SpeedButton1->geometry();
        for (QWidget* other :
             {static_cast<QWidget*>(w->MatrixLabel1), static_cast<QWidget*>(w->StringGrid1),
              static_cast<QWidget*>(w->Button1), static_cast<QWidget*>(w->Button2),
              static_cast<QWidget*>(w->TabControl1)})
            QVERIFY2(!menu.intersects(other->geometry()), qPrintable(other->objectName()));
        QVERIFY(w->rect().contains(menu));
    }

    void controlsHaveLithuanianNames() {
        const QList<std::pair<QWidget*, QString>> named{
            {w->Button1, "Nuotrauka"},
            {w->Button2, "Genotipo nustatymas"},
            {w->SpeedButton1, "Meniu"},
            {w->front()->resetButton(), "Atstatymas"},
            {w->side()->resetButton(), "Atstatymas"},
            {w->side()->mirrorButton(), "Apsukimas"},
            {w->front()->tilt(), "Veido tiesumo korekcija"},
            {w->side()->tilt(), "Veido tiesumo korekcija"},
            {w->StringGrid1, "Genotipų reitingas"},
            {w->MatrixLabel1, "Švieslentė"},
        };
        for (const auto& [widget, name] : named)
            QCOMPARE(spoken(widget, QAccessible::Name), name);
        for (const char* link : {"SpeedButton1", "SpeedButton2", "Image2"})
            QVERIFY2(!spoken(w->Apie()->findChild<QWidget*>(link), QAccessible::Name).isEmpty(),
                     link);
        if (w->ButtonAuto)
            QCOMPARE(spoken(w->ButtonAuto, QAccessible::Name), QStringLiteral("Rasti taškus"));
        // Every button, track bar and grip the keyboard reaches says something.
        for (QWidget* c : w->findChildren<QWidget*>()) {
            if (!(c->focusPolicy() & Qt::TabFocus))
                continue;
            if (qobject_cast<QAbstractButton*>(c) || qobject_cast<TTrackBar*>(c) ||
                qobject_cast<TSelectionPoint*>(c))
                QVERIFY2(!spoken(c, QAccessible::Name).isEmpty(), qPrintable(c->objectName()));
        }
        // Every label that holds a figure is named by a caption, never by its own figure.
        for (TLabel* l : w->findChildren<TLabel*>()) {
            if (l->text() != QLatin1String("0") && l->text() != QLatin1String("..."))
                continue;
            const QString name = spoken(l, QAccessible::Name);
            QVERIFY2(!name.isEmpty() && name != l->text(), qPrintable(l->objectName()));
        }
    }

    void gripsAreFocusableAndAnnounceTheirLandmark() {
        for (int n : {1, 13, 28, 101, 117}) {
            TSelectionPoint* g = w->SelectionPoint(n);
            QCOMPARE(g->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
            const QString prefix =
                n < 100 ? QStringLiteral("P%1 – ").arg(n) : QStringLiteral("S%1 – ").arg(n - 100);
            const QString name = spoken(g, QAccessible::Name);
            QVERIFY2(name.startsWith(prefix) && name.size() > prefix.size(), qPrintable(name));
        }
    }

    void valueLabelsAreNamedByTheirCaption_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("name");
        // Front: one and two figures on a row, words, and the tilt in degrees.
        QTest::newRow("head height") << "Label33"
                                     << "Galvos aukštis";
        QTest::newRow("forehead %") << "Label36"
                                    << "Kaktos aukštis";
        QTest::newRow("cheeks, a word") << "Label152"
                                        << "Skruostų ilgis %";
        QTest::newRow("bridge direction") << "Label53"
                                          << "Nosikaulio pakrypimas";
        QTest::newRow("jaw, second column") << "Label44"
                                            << "Ap. žandikaulis";
        QTest::newRow("lips, third column") << "Label141"
                                            << "Lūpos";
        QTest::newRow("smile word") << "Label148"
                                    << "Fiksuojama šypsena";
        QTest::newRow("front tilt") << "Label127"
                                    << "Veido tiesumo korekcija";
        // Side: figures listed apart from their captions, in three columns.
        QTest::newRow("side head height") << "Label57"
                                          << "Galvos aukštis";
        QTest::newRow("forehead slope") << "Label93"
                                        << "Kaktos palinkimas";
        QTest::newRow("lower jaw, lower figure") << "Label87"
                                                 << "Apatinis žandikaulis";
        QTest::newRow("forehead word") << "Label130"
                                       << "Kakta";
        QTest::newRow("slope word") << "Label132"
                                    << "Kaktos palinkimas";
        QTest::newRow("chin word") << "Label137"
                                   << "Smakras";
        QTest::newRow("nostrils %") << "Label121"
                                    << "Šnervių ilgis";
        QTest::newRow("nose hump") << "Label128"
                                   << "Nosies iškilimas";
        QTest::newRow("side tilt") << "Label124"
                                   << "Veido tiesumo korekcija";
    }
    void valueLabelsAreNamedByTheirCaption() {
        QFETCH(QString, label);
        QFETCH(QString, name);
        TLabel* l = w->label(label);
        QVERIFY(l);
        QCOMPARE(spoken(l, QAccessible::Name), name);
        QCOMPARE(spoken(l, QAccessible::Description), l->text());
    }

    void aDeterminationIsReadAsCaptionAndFigure() {
        runDemonstration(*w);
        for (const char* name : {"Label33", "Label36", "Label53", "Label57", "Label130"}) {
            TLabel* l = w->label(QLatin1String(name));
            QVERIFY2(l->text() != QLatin1String("0") && l->text() != QLatin1String("..."), name);
            // A word at its boundary is followed by the hint its label shows.
            const QString hint = l->toolTip();
            QCOMPARE(spoken(l, QAccessible::Description),
                     hint.isEmpty() ? l->text() : l->text() + QStringLiteral(". ") + hint);
        }
        const QString heard = spoken(w->label(QStringLiteral("Label33")), QAccessible::Name) +
                              QStringLiteral(": ") +
                              spoken(w->label(QStringLiteral("Label33")), QAccessible::Description);
        QCOMPARE(heard, QStringLiteral("Galvos aukštis: ") + w->label("Label33")->text());
    }
};

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"
