// The sample faces as the window shows them: pictures rendered at build time must be exactly
// what the SVG renders now, and the window must find them for what it shows at start.
#include "face_page.hpp"
#include "photo.hpp"
#include "sample_art.hpp"
#include "veidora_window.hpp"

#include <QPushButton>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QtTest>

namespace {

const QString kFront = QStringLiteral(":/faces/front.svg");
const QString kProfile = QStringLiteral(":/faces/profile.svg");

QImage premultiplied(const QImage& img) {
    return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

class SampleArtTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TVeidora> w;

private slots:
    void init() {
        w = std::make_unique<TVeidora>();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    void cleanup() { w.reset(); }

    void ownSizeIsTheSvgModulesDefaultSize_data() {
        QTest::addColumn<QString>("svg");
        QTest::newRow("front") << kFront;
        QTest::newRow("profile") << kProfile;
        QTest::newRow("not rendered at build time") << QStringLiteral(":/icons/app.svg");
    }
    void ownSizeIsTheSvgModulesDefaultSize() {
        QFETCH(QString, svg);
        QCOMPARE(SampleArt::defaultSize(svg), QSvgRenderer(svg).defaultSize());
    }

    // A stale or badly packed rendering would show a different face than the drawing.
    void buildTimeRenderingsAreTheDrawingRenderedNow_data() {
        QTest::addColumn<QString>("svg");
        QTest::addColumn<QSize>("size");
        for (const QString& svg : {kFront, kProfile})
            for (const auto& r : SampleArt::buildSizes(SampleArt::defaultSize(svg), QSize(265, 321),
                                                       {1, 2}, {16, 32}))
                QTest::addRow("%s %s", qPrintable(svg), qPrintable(r.name)) << svg << r.size;
        for (const char* icon : {":/icons/open.svg", ":/icons/scan.svg"})
            for (const auto& r : SampleArt::buildSizes(SampleArt::defaultSize(QLatin1String(icon)),
                                                       QSize(), {}, {24, 48}))
                QTest::addRow("%s %s", icon, qPrintable(r.name))
                    << QString::fromLatin1(icon) << r.size;
    }
    void buildTimeRenderingsAreTheDrawingRenderedNow() {
        QFETCH(QString, svg);
        QFETCH(QSize, size);
        const QImage stored = SampleArt::prerendered(svg, size);
        QVERIFY2(!stored.isNull(), "not rendered at build time");
        // An opaque rendering is stored as RGB32: the same bytes.
        QCOMPARE(premultiplied(stored), SampleArt::render(svg, size));
        QVERIFY(SampleArt::prerendered(svg, size + QSize(1, 0)).isNull());
    }

    // Start-up must not parse the SVG: what the pages and tabs show comes from the build.
    void whatTheWindowShowsIsTheDrawingAtTheShownSize() {
        for (TImage* sample : {w->front()->sample(), w->side()->sample()}) {
            const QPixmap& shown = sample->cachedPixmap();
            const QSize device = (sample->fittedRect().size() * shown.devicePixelRatio()).toSize();
            QCOMPARE(shown.size(), device);
            const QString svg = sample == w->front()->sample() ? kFront : kProfile;
            if (shown.devicePixelRatio() == 1 || shown.devicePixelRatio() == 2)
                QVERIFY(!SampleArt::prerendered(svg, device).isNull());
            QImage pixels = premultiplied(shown.toImage());
            pixels.setDevicePixelRatio(1);
            QCOMPARE(pixels, SampleArt::render(svg, device));
        }
    }

    void theSampleBitmapIsTheDrawingAtItsOwnSize() {
        QCOMPARE(w->front()->sample()->BitmapWidth(), 568);
        QCOMPARE(w->side()->sample()->BitmapWidth(), 663);
        QCOMPARE(w->front()->sample()->Bitmap().size(), QSize(568, 677));
        QCOMPARE(w->side()->sample()->Bitmap().size(), QSize(663, 681));
        QCOMPARE(w->front()->sample()->Bitmap(), SampleArt::render(kFront, QSize(568, 677)));
    }

    // The icons drawn here look as Qt's own SVG icons would, in every mode a button or tab uses.
    void iconsMatchQtsSvgIcons() {
        const std::pair<QIcon, QString> icons[] = {
            {w->TabControl1->tabIcon(0), kFront},
            {w->TabControl1->tabIcon(1), kProfile},
            {w->Button1->icon(), QStringLiteral(":/icons/open.svg")},
            {w->Button2->icon(), QStringLiteral(":/icons/scan.svg")},
            {w->windowIcon(), QStringLiteral(":/icons/app.svg")},
        };
        for (const auto& [ours, svg] : icons) {
            const QIcon qts(svg);
            for (int side : {16, 20, 24, 32, 48})
                for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active}) {
                    QCOMPARE(ours.actualSize(QSize(side, side), mode),
                             qts.actualSize(QSize(side, side), mode));
                    QCOMPARE(premultiplied(ours.pixmap(QSize(side, side), mode).toImage()),
                             premultiplied(qts.pixmap(QSize(side, side), mode).toImage()));
                }
        }
    }
};

QTEST_MAIN(SampleArtTest)
#include "test_sample_art.moc"
