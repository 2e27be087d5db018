// Nothing on the pages or in the About window runs into its neighbour or is cut off: every
// label's text ends at least 3 px before the next text on its row, with the widest figures a
// measurement can write and with the demonstration's, under both decimal separators, measured
// with the font the labels actually use.
#include "about_window.hpp"
#include "application.hpp"
#include "controls.hpp"
#include "error_handler.hpp"
#include "ui_test_support.hpp"
#include "veidora_window.hpp"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

namespace {

constexpr qreal kAir = 3; // px between a text and the next one on its row

// What a value label can show. Landmarks stay inside their 561 x 377 rectangle, so a
// difference or distance of coordinates has at most three digits before the separator; an area
// and a share of the head height are allowed four. Every figure keeps two decimals at most.
enum class Kind {
    Difference, // signed, general or fixed: "-ddd.dd"
    Distance,   // never negative: "ddd.dd"
    Area,       // signed: "-dddd.dd"
    Percent,    // signed (a head height can be negative): "-dddd.dd%"
    Angle,      // the tilt in whole degrees, -20 ... 20
    Words,      // one of the listed texts
};

struct ValueLabel {
    const char* name;
    Kind kind;
    const char* words = ""; // Words: the texts it can show, '|' between them
};

// Every value label of both pages, with "0" or "..." before the first determination.
const ValueLabel kValueLabels[] = {
    // front
    {"Label127", Kind::Angle},
    {"Label33", Kind::Difference},
    {"Label35", Kind::Difference},
    {"Label36", Kind::Percent},
    {"Label42", Kind::Difference},
    {"Label43", Kind::Percent},
    {"Label97", Kind::Difference},
    {"Label98", Kind::Percent},
    {"Label39", Kind::Difference},
    {"Label47", Kind::Percent},
    {"Label152", Kind::Words, "...|Mažas|Didelis"},
    {"Label46", Kind::Difference},
    {"Label51", Kind::Difference},
    {"Label52", Kind::Difference},
    {"Label53", Kind::Words, "...|Kairę|Dešinę|Centras"},
    {"Label143", Kind::Difference},
    {"Label55", Kind::Percent},
    {"Label40", Kind::Difference},
    {"Label44", Kind::Percent},
    {"Label150", Kind::Words, "...|Mažas|Vidutinis|Didelis"},
    {"Label95", Kind::Words, "0|Kairę|Dešinę|Centras"},
    {"Label141", Kind::Difference},
    {"Label142", Kind::Percent},
    {"Label145", Kind::Difference},
    {"Label146", Kind::Percent},
    {"Label148", Kind::Words, "0|Šypsena"},
    // side
    {"Label124", Kind::Angle},
    {"Label57", Kind::Difference},
    {"Label59", Kind::Difference},
    {"Label60", Kind::Percent},
    {"Label130", Kind::Words, "0|Maža|Vidutinė|Aukšta"},
    {"Label62", Kind::Distance},
    {"Label73", Kind::Percent},
    {"Label64", Kind::Distance},
    {"Label118", Kind::Percent},
    {"Label75", Kind::Distance},
    {"Label117", Kind::Percent},
    {"Label66", Kind::Distance},
    {"Label119", Kind::Percent},
    {"Label68", Kind::Distance},
    {"Label120", Kind::Percent},
    {"Label70", Kind::Distance},
    {"Label121", Kind::Percent},
    {"Label72", Kind::Difference},
    {"Label93", Kind::Percent},
    {"Label132", Kind::Words, "0|Mažas|Vidutinis|Didelis"},
    {"Label79", Kind::Difference},
    {"Label122", Kind::Percent},
    {"Label81", Kind::Difference},
    {"Label87", Kind::Percent},
    {"Label83", Kind::Difference},
    {"Label88", Kind::Percent},
    {"Label90", Kind::Difference},
    {"Label92", Kind::Percent},
    {"Label85", Kind::Difference},
    {"Label91", Kind::Percent},
    {"Label137", Kind::Words, "0|Mažas|Vidutinis|Didelis"},
    {"Label77", Kind::Words, "0|Taip|Ne"},
    {"Label100", Kind::Difference}, // a minus sign before the hump distance
    {"Label128", Kind::Percent},
    {"Label134", Kind::Area},
    {"Label135", Kind::Percent},
    {"Label139", Kind::Words, "0|Mažas|Vidutinis|Didelis"},
};

QString widest(const QStringList& candidates, const QFontMetricsF& fm) {
    QString best;
    for (const QString& c : candidates)
        if (best.isNull() || fm.horizontalAdvance(c) > fm.horizontalAdvance(best))
            best = c;
    return best;
}

// The widest text `label` can show, in the font it shows it with.
QString widestText(const ValueLabel& label, const QFontMetricsF& fm, QChar separator) {
    QStringList digits;
    for (char d = '0'; d <= '9'; ++d)
        digits << QString(QLatin1Char(d));
    const QString d = widest(digits, fm);
    const auto figure = [&](bool sign, int whole) {
        return (sign ? QStringLiteral("-") : QString()) + d.repeated(whole) + separator +
               d.repeated(2);
    };
    switch (label.kind) {
    case Kind::Difference:
        return figure(true, 3);
    case Kind::Distance:
        return figure(false, 3);
    case Kind::Area:
        return figure(true, 4);
    case Kind::Percent:
        return figure(true, 4) + QLatin1Char('%');
    case Kind::Angle: {
        QStringList angles;
        for (int a = -20; a <= 20; ++a)
            angles << QString::number(a);
        return widest(angles, fm);
    }
    case Kind::Words:
        return widest(QString::fromUtf8(label.words).split(QLatin1Char('|')), fm);
    }
    return {};
}

// Where a label's text is drawn, in its parent's coordinates.
QRectF textBox(const QLabel* l) {
    const QFontMetricsF fm(l->font());
    QRectF room =
        QRectF(l->contentsRect()).adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
    room.translate(l->pos());
    const qreal width = fm.horizontalAdvance(l->text());
    const Qt::Alignment a = QStyle::visualAlignment(l->layoutDirection(), l->alignment());
    const qreal indent = std::max(0, l->indent());
    qreal x = room.left() + indent;
    if (a & Qt::AlignRight)
        x = room.right() - indent - width;
    else if (a & Qt::AlignHCenter)
        x = room.center().x() - width / 2;
    qreal y = room.top();
    if (a & Qt::AlignBottom)
        y = room.bottom() - fm.height();
    else if (a & Qt::AlignVCenter)
        y = room.center().y() - fm.height() / 2;
    return {x, y, width, fm.height()};
}

QString describe(const QLabel* l) {
    return QStringLiteral("%1 \"%2\" at %3..%4")
        .arg(l->objectName(), l->text())
        .arg(textBox(l).left(), 0, 'f', 1)
        .arg(textBox(l).right(), 0, 'f', 1);
}

// Every pair of texts on a row of `container` keeps its air; no text leaves its label or the
// container.
void expectAirOnEveryRow(QWidget* container) {
    const QList<QLabel*> labels = container->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    QVERIFY(!labels.isEmpty());
    for (const QLabel* a : labels) {
        if (!a->isVisibleTo(container) || a->text().isEmpty())
            continue;
        const QRectF ta = textBox(a);
        QVERIFY2(ta.right() <= a->geometry().right() + 1 && ta.right() <= container->width(),
                 qPrintable(describe(a) + QStringLiteral(" is cut off")));
        for (const QLabel* b : labels) {
            if (b == a || !b->isVisibleTo(container) || b->text().isEmpty())
                continue;
            const QRectF tb = textBox(b);
            const bool sameRow = ta.top() < tb.bottom() && tb.top() < ta.bottom();
            if (!sameRow || tb.left() <= ta.left())
                continue;
            QVERIFY2(ta.right() + kAir <= tb.left(),
                     qPrintable(describe(a) + QStringLiteral(" runs into ") + describe(b)));
        }
    }
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TVeidora> w;

    void open(const QString& locale) {
        QLocale::setDefault(QLocale(locale));
        w = std::make_unique<TVeidora>();
        buildEveryPage(*w);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }

private slots:
    void cleanup() {
        w.reset();
        QLocale::setDefault(QLocale::c());
    }

    // The metrics below are those of the program's font, not of a stand-in.
    void theProgramFontIsTheOneInUse() {
        open(QStringLiteral("C"));
        const QFont font = veidora::ui::programFont();
        QCOMPARE(QApplication::font().family(), font.family());
        const QList<QWidget*> shown{w->label(QStringLiteral("Label144")),
                                    w->label(QStringLiteral("Label134")), w->TabControl1->tabBar(),
                                    w->Apie()};
        for (QWidget* widget : shown) {
            const QFontInfo info(widget->font());
            QCOMPARE(info.family(), font.family());
            QCOMPARE(info.pixelSize(), font.pixelSize());
        }
    }

    void everyTextKeepsItsAir_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("demonstration");
        QTest::newRow("widest figures, point") << "C" << false;
        QTest::newRow("widest figures, comma") << "lt_LT" << false;
        QTest::newRow("demonstration, point") << "C" << true;
        QTest::newRow("demonstration, comma") << "lt_LT" << true;
    }

    void everyTextKeepsItsAir() {
        QFETCH(QString, locale);
        QFETCH(bool, demonstration);
        open(locale);
        const QChar separator = QLocale().decimalPoint().front();
        QCOMPARE(separator, QLatin1Char(locale == QLatin1String("C") ? '.' : ','));

        // The table names every value label the pages have.
        QSet<QString> listed;
        for (const ValueLabel& v : kValueLabels)
            listed.insert(QLatin1String(v.name));
        for (QWidget* page : {w->TabItem1, w->TabItem2})
            for (const TLabel* l : page->findChildren<TLabel*>())
                if (l->text() == QLatin1String("0") || l->text() == QLatin1String("..."))
                    QVERIFY2(listed.contains(l->objectName()), qPrintable(l->objectName()));

        if (demonstration) {
            runDemonstration(*w);
            QCOMPARE(w->label(QStringLiteral("Label145"))->text(),
                     QStringLiteral("10") + separator + QStringLiteral("00"));
            QCOMPARE(w->label(QStringLiteral("Label134"))->text(),
                     QStringLiteral("531") + separator + QStringLiteral("50"));
        } else {
            for (const ValueLabel& v : kValueLabels) {
                TLabel* l = w->label(QLatin1String(v.name));
                QVERIFY2(l, v.name);
                l->setText(widestText(v, QFontMetricsF(l->font()), separator));
            }
        }
        expectAirOnEveryRow(w->TabItem1);
        expectAirOnEveryRow(w->TabItem2);

        // The About window: each line whole in its place, the memo's text whole without a
        // scroll bar.
        w->MenuItem1->trigger();
        TApie* about = w->Apie();
        QVERIFY(QTest::qWaitForWindowExposed(about));
        QWidget* upper = about->findChild<QWidget*>(QStringLiteral("Panel2"));
        QVERIFY(upper);
        expectAirOnEveryRow(upper);
        for (const QLabel* l : upper->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(textBox(l).right() + kAir <= l->geometry().right() + 1,
                     qPrintable(describe(l)));
        QVERIFY(about->findChild<QLabel*>(QStringLiteral("Label4"))
                    ->text()
                    .endsWith(QLatin1String(veidora::ui::kContact)));
        for (const char* name : {"SpeedButton1", "SpeedButton2"}) {
            const auto* link = about->findChild<QToolButton*>(QLatin1String(name));
            QVERIFY2(QFontMetricsF(link->font()).horizontalAdvance(link->text()) <=
                         link->contentsRect().width(),
                     name);
        }
        auto* memo = about->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
        QVERIFY(!memo->verticalScrollBar()->isVisible());
        QCOMPARE(memo->verticalScrollBar()->maximum(), 0);
        QVERIFY(!memo->horizontalScrollBar()->isVisible());
    }

    // The memo takes the keyboard only when clicked: no blinking cursor when the window opens.
    void aboutMemoTakesTheFocusOnlyWhenClicked() {
        open(QStringLiteral("C"));
        w->MenuItem1->trigger();
        TApie* about = w->Apie();
        QVERIFY(QTest::qWaitForWindowExposed(about));
        QApplication::setActiveWindow(about);
        QCoreApplication::processEvents();
        auto* memo = about->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
        const QString text = memo->toPlainText();
        QVERIFY(!memo->hasFocus());
        QCOMPARE(memo->focusPolicy(), Qt::ClickFocus);
        QTest::mouseClick(memo->viewport(), Qt::LeftButton);
        QVERIFY(memo->hasFocus());
        QTest::keyClicks(memo, QStringLiteral("x"));
        QCOMPARE(memo->toPlainText().size(), text.size() + 1);
    }

    // A label built with shared widths gets the width it would get measuring itself, also
    // when a label before it had the same text in another font.
    void sharedWidthsFitEachLabelToItsOwnFont() {
        QWidget page;
        QFont larger = page.font();
        larger.setPixelSize(larger.pixelSize() * 2);
        const QString wide = QStringLiteral("Ap. žangikaulio asimetrija:");
        struct Case {
            QString text;
            bool largerFont;
        };
        const Case cases[] = {{wide, false},
                              {wide, false},
                              {wide, true},
                              {QStringLiteral("0"), false},
                              {QStringLiteral("0"), true}};
        TextWidths widths;
        for (const Case& c : cases) {
            auto* shared = new TLabel(c.text, &page);
            auto* own = new TLabel(c.text, &page);
            for (TLabel* l : {shared, own})
                if (c.largerFont)
                    l->setFont(larger);
            shared->setDesignedGeometry(QRect(0, 0, 40, 17), &widths);
            own->setDesignedGeometry(QRect(0, 0, 40, 17));
            const int needed = QFontMetrics(own->font()).horizontalAdvance(c.text) + 2;
            QCOMPARE(own->width(), std::max(40, needed));
            QCOMPARE(shared->width(), own->width());
        }
    }

    void titleAndTabHeadersAsDesigned() {
        open(QStringLiteral("C"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Programa \"Veidora\""));
        const QTabBar* bar = w->TabControl1->tabBar();
        QCOMPARE(bar->pos(), QPoint(0, 0));
        QCOMPARE(bar->tabRect(0), QRect(0, 0, 71, 22));
        QCOMPARE(bar->tabRect(1), QRect(71, 0, 68, 22));
        // The pages start right under the headers, so their places are the designed ones.
        for (QWidget* page : {w->TabItem1, w->TabItem2}) {
            w->TabControl1->setCurrentWidget(page);
            QCoreApplication::processEvents();
            QCOMPARE(page->mapTo(w->TabControl1, QPoint(0, 0)), QPoint(0, 22));
            QCOMPARE(page->mapTo(w.get(), QPoint(0, 0)), QPoint(8, 150));
        }
        QCOMPARE(w->label(QStringLiteral("Label134"))->mapTo(w.get(), QPoint(0, 0)),
                 QPoint(8 + 528, 150 + 456));
    }
};

// The application the program itself runs, with its font set for every window.
int main(int argc, char** argv) {
    veidora::ui::TApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    LayoutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_layout.moc"
