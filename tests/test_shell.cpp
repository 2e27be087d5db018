// The main window's shell: banner, result grid, timers, photo loading, About window.
#include "about_window.hpp"
#include "application.hpp"
#include "controls.hpp"
#include "matrix_label.hpp"
#include "photo.hpp"
#include "photo_dialog.hpp"
#include "string_grid.hpp"
#include "ui_test_support.hpp"
#include "veidora_window.hpp"

#include <QBuffer>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

const QColor kLime(0x00, 0xFF, 0x00);
const QColor kGrey(0x80, 0x80, 0x80);

QImage render(QWidget* w) {
    return w->grab().toImage();
}

// Colour of dot (column c, row r) of cell k.
QColor dot(const QImage& img, int k, int c, int r) {
    return img.pixelColor(5 + 16 * k + 3 * c, 5 + 3 * r);
}

bool cellLit(const QImage& img, int k) {
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 5; ++c)
            if (dot(img, k, c, r) == kLime)
                return true;
    return false;
}

quint32 crc32(const QByteArray& data) {
    quint32 crc = 0xFFFFFFFFu;
    for (char ch : data) {
        crc ^= static_cast<quint8>(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray bigEndian(quint32 v) {
    const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    return QByteArray(bytes, 4);
}

// One tick of a timer, now.
void tick(QTimer* timer) {
    QVERIFY(QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection));
}

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

} // namespace

class ShellTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void bannerDrawsTheTextAsLitDots() {
        TMatrixLabel banner;
        banner.setText(QStringLiteral("Ab -"));
        banner.resize(500, 100);
        QCOMPARE(banner.size(), QSize(280, 30));
        QCOMPARE(banner.Text(), QStringLiteral("Ab -"));

        const QImage img = render(&banner);
        QCOMPARE(img.pixelColor(0, 0), QColor(Qt::black));
        QCOMPARE(img.pixelColor(7, 5), QColor(Qt::black)); // the gap between dots
        // "A" in cell 0: rows 0E 11 11 1F 11 11 11.
        QCOMPARE(dot(img, 0, 0, 0), kGrey);
        QCOMPARE(dot(img, 0, 1, 0), kLime);
        QCOMPARE(dot(img, 0, 0, 3), kLime);
        QCOMPARE(dot(img, 0, 2, 4), kGrey);
        // "b" shows as "B": rows 1E 11 11 1E 11 11 1E.
        QCOMPARE(dot(img, 1, 0, 0), kLime);
        QCOMPARE(dot(img, 1, 4, 0), kGrey);
        QCOMPARE(dot(img, 1, 4, 1), kLime);
        QVERIFY(!cellLit(img, 2)); // the blank
        // "-" lights row 3 only.
        for (int c = 0; c < 5; ++c) {
            QCOMPARE(dot(img, 3, c, 3), kLime);
            QCOMPARE(dot(img, 3, c, 2), kGrey);
        }
        for (int k = 4; k < 17; ++k)
            QVERIFY2(!cellLit(img, k), qPrintable(QString::number(k)));
        QCOMPARE(dot(img, 16, 4, 6), kGrey);
    }

    void bannerShowsSeventeenCellsAndLithuanianLetters() {
        TMatrixLabel banner;
        banner.setText(QStringLiteral("ABCDEFGHIJKLMNOPQRS"));
        QImage img = render(&banner);
        for (int k = 0; k < 17; ++k)
            QVERIFY(cellLit(img, k));
        banner.setText(QStringLiteral("ščęėįųūž"));
        img = render(&banner);
        for (int k = 0; k < 8; ++k)
            QVERIFY2(cellLit(img, k), qPrintable(QString::number(k)));
        QCOMPARE(banner.led().displayText(), std::u32string(U"ŠČĘĖĮŲŪŽ"));
        banner.setText(QString());
        img = render(&banner);
        for (int k = 0; k < 17; ++k)
            QVERIFY(!cellLit(img, k));
    }

    void settingTheSameTextDoesNotRepaint() {
        TMatrixLabel banner;
        banner.setText(QStringLiteral("Nustatytas "));
        banner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&banner));
        int paints = 0;
        struct Counter : QObject {
            int* n;
            explicit Counter(int* c) : n(c) {}
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint)
                    ++*n;
                return false;
            }
        } counter(&paints);
        banner.installEventFilter(&counter);
        QSignalSpy changed(&banner, &TMatrixLabel::TextChanged);
        banner.setText(QStringLiteral("Nustatytas "));
        QCoreApplication::processEvents(); // a requested repaint would come now
        QCOMPARE(paints, 0);
        QCOMPARE(changed.count(), 0);
        banner.setProperty("Text", QStringLiteral("Kita"));
        QTRY_VERIFY_WITH_TIMEOUT(paints > 0, kPatienceMs);
        QCOMPARE(banner.Text(), QStringLiteral("Kita"));
    }

    void bannerRotatesOneCharacterPerTick() {
        TVeidora w;
        QCOMPARE(w.MatrixLabel1->Text(), QStringLiteral("veidora.example - "));
        QVERIFY(w.Timer1->isActive());
        QCOMPARE(w.Timer1->interval(), 200);
        w.MatrixLabel1->setText(QStringLiteral("Abc"));
        tick(w.Timer1);
        QCOMPARE(w.MatrixLabel1->Text(), QStringLiteral("bcA"));
        tick(w.Timer1);
        tick(w.Timer1);
        QCOMPARE(w.MatrixLabel1->Text(), QStringLiteral("Abc"));
        w.MatrixLabel1->setText(QStringLiteral("x"));
        tick(w.Timer1);
        QCOMPARE(w.MatrixLabel1->Text(), QStringLiteral("x"));
        const QString start = QStringLiteral("veidora.example - ");
        w.MatrixLabel1->setText(start);
        for (int i = 0; i < start.size(); ++i)
            tick(w.Timer1);
        QCOMPARE(w.MatrixLabel1->Text(), start);
    }

    void gridShowsNumbersRoundedAndRowsColoured_data() {
        QTest::addColumn<QString>("locale");
        QTest::newRow("point") << QStringLiteral("C");
        QTest::newRow("comma") << QStringLiteral("lt_LT");
    }

    void gridShowsNumbersRoundedAndRowsColoured() {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        const QChar sep = QLocale().decimalPoint().front();
        TVeidora w;
        TStringGrid* g = w.StringGrid1;
        QCOMPARE(g->rowCount(), 100);
        QCOMPARE(g->columnCount(), 3);
        QCOMPARE(g->columnWidth(0), 25);
        QCOMPARE(g->columnWidth(1), 95);
        QCOMPARE(g->columnWidth(2), 63);
        const QLocale loc;
        auto shown = [&](int col, const QString& text) {
            return g->column(col)->displayText(text, loc);
        };
        auto n = [&](QString s) { return s.replace(QLatin1Char('.'), sep); };
        QCOMPARE(shown(0, QStringLiteral("1")), QStringLiteral("1"));
        QCOMPARE(shown(2, n("56.375")), n("56.38"));
        QCOMPARE(shown(2, n("50.125")), n("50.13"));
        QCOMPARE(shown(2, n("6.25")), n("6.25"));
        QCOMPARE(shown(2, QStringLiteral("100")), n("100.00"));
        QCOMPARE(shown(2, n("1234567.5")), n("1234567.50"));
        QCOMPARE(shown(0, n("2.5")), QStringLiteral("3"));
        QCOMPARE(shown(2, QStringLiteral("Keldaro")), QStringLiteral("Keldaro"));
        QCOMPARE(shown(1, n("56.375")), n("56.375"));

        // Before any determination every row is red; afterwards only the row holding "1".
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto rowColour = [&](int row) {
            const QRect cell = g->visualRect(g->model()->index(row, 1));
            return g->viewport()->grab().toImage().pixelColor(cell.right() - 2, cell.center().y());
        };
        QCOMPARE(rowColour(0), QColor(0xFF, 0, 0));
        QCOMPARE(rowColour(3), QColor(0xFF, 0, 0));
        g->setCell(0, 0, QStringLiteral("2"));
        g->setCell(0, 1, QStringLiteral("1"));
        QCOMPARE(rowColour(0), QColor(0xFF, 0, 0));
        QCOMPARE(rowColour(1), QColor(0, 0x80, 0));
        QCOMPARE(rowColour(2), QColor(0xFF, 0, 0));
        g->setCell(0, 2, QStringLiteral("1.0")); // not exactly "1"
        QCOMPARE(rowColour(2), QColor(0xFF, 0, 0));
    }

    void theErrorBoxIsARealBoxWithOk() {
        TVeidora w;
        QString text;
        const auto ok = answerNextMessageBox(QMessageBox::Ok, [&](QMessageBox* box) {
            text = box->text();
            QCOMPARE(box->icon(), QMessageBox::Critical);
        });
        veidora::ui::guarded(
            &w, [&] { w.loadPhotoIntoCurrentPage(QStringLiteral("/nera/tokio/failo.jpg")); });
        QCOMPARE(text, QStringLiteral("Loading bitmap failed (/nera/tokio/failo.jpg)."));
    }

    void photosAreDecodedForDisplayAndStandUpright() {
        QTemporaryDir dir;
        // A large photo is read at the box's size, not at its own.
        QImage big(6000, 4000, QImage::Format_RGB32);
        big.fill(QColor(200, 30, 30));
        const QString bigPath = dir.filePath(QStringLiteral("didele.jpg"));
        QVERIFY(big.save(bigPath, "JPEG", 85));
        const auto loaded = veidora::ui::loadPhoto(bigPath, QSize(1028, 1284));
        QVERIFY(!loaded.image.isNull());
        QCOMPARE(loaded.original, QSize(6000, 4000));
        QVERIFY(loaded.image.width() <= 1028 && loaded.image.height() <= 1284);
        QVERIFY(loaded.image.width() >= 1000);

        // EXIF orientation 6 (turn 90 degrees clockwise): a landscape file shows as portrait.
        QImage land(300, 200, QImage::Format_RGB32);
        land.fill(Qt::white);
        const QString rotPath = dir.filePath(QStringLiteral("pasukta.jpg"));
        QImageWriter writer(rotPath, "jpeg");
        writer.setTransformation(QImageIOHandler::TransformationRotate90);
        QVERIFY(writer.write(land));
        const auto upright = veidora::ui::loadPhoto(rotPath, QSize(1028, 1284));
        QCOMPARE(upright.image.size(), QSize(200, 300));
    }

    void hugePhotosOpenAndHostileSizesAreRefused() {
        QTemporaryDir dir;
        // 50 megapixels, over Qt's default 128 MB limit once decoded in full.
        QImage fifty(8200, 6200, QImage::Format_RGB32);
        fifty.fill(QColor(90, 90, 90));
        const QString fiftyPath = dir.filePath(QStringLiteral("50mp.png"));
        QVERIFY(fifty.save(fiftyPath, "PNG"));
        fifty = QImage();
        const auto loaded = veidora::ui::loadPhoto(fiftyPath, QSize(1028, 1284));
        QVERIFY2(loaded.error.isEmpty(), qPrintable(loaded.error));
        QCOMPARE(loaded.original, QSize(8200, 6200));

        // Tiny, well-formed files that declare 60000 x 60000 pixels.
        QImage small(16, 16, QImage::Format_RGB32);
        small.fill(Qt::red);
        auto encoded = [&](const char* format) {
            QByteArray bytes;
            QBuffer buf(&bytes);
            buf.open(QIODevice::WriteOnly);
            small.save(&buf, format);
            return bytes;
        };
        QByteArray png = encoded("PNG");
        // IHDR: length at 8, type at 12, width and height at 16..23, CRC of type+data at 29.
        png.replace(16, 8, bigEndian(60000) + bigEndian(60000));
        png.replace(29, 4, bigEndian(crc32(png.mid(12, 17))));
        QByteArray jpeg = encoded("JPEG");
        const qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
        QVERIFY(sof > 0);
        jpeg.replace(sof + 5, 4, bigEndian(0xEA60EA60u)); // height, width
        for (const auto& [name, bytes] :
             {std::pair{"milzinas.png", png}, std::pair{"milzinas.jpg", jpeg}}) {
            QFile f(dir.filePath(QLatin1String(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
            f.close();
            QImageReader probe(f.fileName());
            QCOMPARE(probe.size(), QSize(60000, 60000));
            const auto refused = veidora::ui::loadPhoto(f.fileName(), QSize(1028, 1284));
            QVERIFY(refused.image.isNull());
            QCOMPARE(refused.error,
                     QStringLiteral("Loading bitmap failed (%1).").arg(f.fileName()));
        }
    }

    void aboutWindowIsOneWindowAndItsLinksOpen() {
        TVeidora w;
        TApie* about = w.Apie();
        QVERIFY(about);
        QVERIFY(!about->isVisible());
        w.MenuItem1->trigger();
        QVERIFY(about->isVisible());
        auto* memo = about->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
        QVERIFY(memo);
        memo->appendPlainText(QStringLiteral("pastaba"));
        about->close();
        QVERIFY(!about->isVisible());
        w.MenuItem1->trigger();
        w.MenuItem1->trigger();
        QVERIFY(about->isVisible());
        QCOMPARE(w.findChildren<TApie*>().size(), 1);
        QVERIFY(memo->toPlainText().contains(QStringLiteral("pastaba")));
        QCOMPARE(about->findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("Programa \"Veidora\""));
        QCOMPARE(about->findChild<QLabel*>(QStringLiteral("Label2"))->text(),
                 QStringLiteral("Versija: 1.5"));

        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
        QTest::mouseClick(about->findChild<QToolButton*>(QStringLiteral("SpeedButton1")),
                          Qt::LeftButton);
        QTest::mouseClick(about->findChild<QToolButton*>(QStringLiteral("SpeedButton2")),
                          Qt::LeftButton);
        QTest::mouseClick(about->findChild<QWidget*>(QStringLiteral("Image2")), Qt::LeftButton, {},
                          QPoint(25, 25));
        QTest::mouseClick(about->findChild<QToolButton*>(QStringLiteral("SpeedButton1")),
                          Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(catcher.opened, (QList<QUrl>{veidora::ui::kSiteUrl, veidora::ui::kForumUrl,
                                              veidora::ui::kSocialUrl, veidora::ui::kSiteUrl}));
        QVERIFY(about->isVisible());
    }

    void windowLayoutFollowsTheDesign() {
        TVeidora w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(), QStringLiteral("Programa \"Veidora\""));
        QCOMPARE(w.size(), QSize(700, 798));
        QCOMPARE(w.MatrixLabel1->geometry(), QRect(24, 8, 280, 30));
        QCOMPARE(w.StringGrid1->geometry(), QRect(352, 8, 209, 121));
        QCOMPARE(w.Button1->geometry(), QRect(24, 80, 89, 33));
        QCOMPARE(w.Button2->geometry(), QRect(136, 80, 145, 33));
        QCOMPARE(w.Button2->text(), QStringLiteral("Genotipo nustatymas"));
        QCOMPARE(w.SpeedButton1->geometry(), QRect(651, 0, 49, 49));
        QCOMPARE(w.TabControl1->geometry(), QRect(8, 128, 671, 664));
        QCOMPARE(w.TabControl1->currentWidget(), w.TabItem1);
        QCOMPARE(w.TabControl1->tabText(1), QStringLiteral("Šonas"));
        QCOMPARE(w.StringGrid1->header(0), QString());
        for (const char* name :
             {"MatrixLabel1", "StringGrid1", "Button1", "Button2", "SpeedButton1", "Image5",
              "PopupMenu1", "MenuItem1", "TabControl1", "TabItem1", "TabItem2", "StatusBar1",
              "Timer1", "Timer2", "ImageList1", "FloatColumn1", "StringColumn1", "FloatColumn2"})
            QVERIFY2(w.findChild<QObject*>(QLatin1String(name)), name);
        // The pages grow with the window; the menu stays in the corner.
        w.resize(900, 900);
        QCOMPARE(w.TabControl1->geometry(), QRect(8, 128, 871, 766));
        QCOMPARE(w.SpeedButton1->geometry(), QRect(851, 0, 49, 49));
        QCOMPARE(w.MatrixLabel1->size(), QSize(280, 30));
    }

    void standardButtonsSpeakLithuanian() {
        veidora::ui::installTranslations(*QCoreApplication::instance());
        QMessageBox box(QMessageBox::Question, QString(), QString(),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Taip"));
        QCOMPARE(box.button(QMessageBox::No)->text(), QStringLiteral("&Ne"));
        QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("Gerai"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Atšaukti"));
    }

    void photoFilterKeepsTheTextAndMatchesTheExtensions() {
        const QString qt = PhotoDialog::qtNameFilter(QLatin1String(PhotoDialog::kFilter));
        QCOMPARE(qt, QStringLiteral("Image files (*.jpg, *.jpeg, *.png, *.gif, *.bmp) "
                                    "(*.jpg *.jpeg *.png *.gif *.bmp)"));
    }
};

QTEST_MAIN(ShellTest)
#include "test_shell.moc"
