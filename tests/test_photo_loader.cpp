// Photos chosen in the dialog are read in the background: the window goes on meanwhile, the
// newest choice wins, and reads on several threads keep their decoders' warnings apart.
#include "face_page.hpp"
#include "photo.hpp"
#include "photo_loader.hpp"
#include "ui_test_support.hpp"
#include "veidora_window.hpp"

#include <QBuffer>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

#include <QtConcurrent>

#include <atomic>
#include <memory>

class PhotoLoaderTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString save(const QString& name, QSize size, QColor colour, const char* format = nullptr) {
        QImage img(size, QImage::Format_RGB32);
        img.fill(colour);
        const QString path = dir.filePath(name);
        img.save(path, format, 90);
        return path;
    }

    // Entropy-coded data damaged without any false marker: the file's structure is sound, only
    // the decoder notices, with a warning.
    static QByteArray damagedJpeg() {
        QImage img(128, 128, QImage::Format_RGB32);
        quint32 state = 12345;
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x) {
                state = state * 1664525u + 1013904223u;
                img.setPixel(x, y, state >> 8);
            }
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        img.save(&buffer, "JPEG", 90);
        const qsizetype scan = jpeg.indexOf("\xFF\xDA");
        for (qsizetype i = scan + 200; i < scan + 260; ++i) {
            state = state * 1103515245u + 12345u;
            jpeg[i] = char((state >> 16) & 0x7F);
        }
        return jpeg;
    }

private slots:
    void cleanup() { QThreadPool::globalInstance()->waitForDone(); }

    void aPhotoArrivesAfterTheCallReturns() {
        TVeidora w;
        // A large PNG has no reduced-size decoding: it takes a while to read.
        const QString path = save(QStringLiteral("large.png"), QSize(4000, 3000), Qt::darkCyan);
        QSignalSpy done(w.photoLoader(), &PhotoLoader::finished);
        w.photoLoader()->load(w.front()->photo(), path, w.front()->photo()->decodeBound());
        QCOMPARE(w.front()->photo()->BitmapWidth(), 0); // not yet: the window is free meanwhile
        QVERIFY(w.photoLoader()->isLoading());
        QVERIFY(done.wait(30000));
        QCOMPARE(w.front()->photo()->Bitmap().size(), QSize(1028, 771));
        QCOMPARE(w.front()->photo()->Bitmap().pixelColor(10, 10), QColor(Qt::darkCyan));
        QVERIFY(!w.photoLoader()->isLoading());
        QCOMPARE(w.side()->photo()->BitmapWidth(), 0);
    }

    // The older choice is held back until the newer one is shown, so it finishes last.
    void theLastChoiceWins() {
        TVeidora w;
        const QString older = save(QStringLiteral("older.png"), QSize(60, 40), Qt::red);
        const QString newer = save(QStringLiteral("newer.png"), QSize(40, 30), Qt::blue);
        QThreadPool::globalInstance()->setMaxThreadCount(
            std::max(2, QThreadPool::globalInstance()->maxThreadCount()));
        const auto gate = std::make_shared<QSemaphore>();
        struct Open { // a failing check must not leave the read waiting
            std::shared_ptr<QSemaphore> gate;
            ~Open() { gate->release(); }
        } open{gate};
        w.photoLoader()->setReader([gate, older](const QString& path, QSize bound) {
            if (path == older)
                gate->acquire();
            return veidora::ui::loadPhoto(path, bound);
        });
        QSignalSpy done(w.photoLoader(), &PhotoLoader::finished);
        w.photoLoader()->load(w.front()->photo(), older, w.front()->photo()->decodeBound());
        w.photoLoader()->load(w.front()->photo(), newer, w.front()->photo()->decodeBound());
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, kPatienceMs);
        QCOMPARE(w.front()->photo()->Bitmap().pixelColor(0, 0), QColor(Qt::blue));
        QVERIFY(w.photoLoader()->isLoading());

        gate->release();
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 2, kPatienceMs);
        QCOMPARE(w.front()->photo()->Bitmap().size(), QSize(40, 30));
        QCOMPARE(w.front()->photo()->Bitmap().pixelColor(0, 0), QColor(Qt::blue));
        QVERIFY(!w.photoLoader()->isLoading());
    }

    // Qt dithers a picture of one bit per pixel when it scales it smoothly: such a photo must
    // still show its own two colours, whether read from a file, reduced there or pasted.
    void aOneBitPictureIsShownInItsOwnColours_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("pasted");
        QTest::addRow("file within the page's size") << QSize(640, 800) << false;
        QTest::addRow("file reduced") << QSize(1600, 2400) << false;
        QTest::addRow("picture reduced") << QSize(1600, 2400) << true;
    }
    void aOneBitPictureIsShownInItsOwnColours() {
        QFETCH(QSize, size);
        QFETCH(bool, pasted);
        QImage twoColours(size, QImage::Format_Mono); // red on the left, blue on the right
        twoColours.setColorCount(2);
        twoColours.setColor(0, qRgb(200, 60, 30));
        twoColours.setColor(1, qRgb(30, 60, 200));
        for (int y = 0; y < size.height(); ++y) {
            uchar* row = twoColours.scanLine(y);
            std::fill(row, row + size.width() / 16, uchar(0));
            std::fill(row + size.width() / 16, row + twoColours.bytesPerLine(), uchar(0xFF));
        }
        TVeidora w;
        TImage* photo = w.front()->photo();
        QSignalSpy done(w.photoLoader(), &PhotoLoader::finished);
        if (pasted) {
            w.photoLoader()->loadImage(photo, twoColours, QStringLiteral("iškarpinė"),
                                       photo->decodeBound());
        } else {
            const QString path = dir.filePath(QStringLiteral("dvi-spalvos.png"));
            QVERIFY(twoColours.save(path));
            w.photoLoader()->load(photo, path, photo->decodeBound());
        }
        QVERIFY(done.wait(kPatienceMs));
        const QSize bound = photo->decodeBound();
        QCOMPARE(photo->Bitmap().size(),
                 size.boundedTo(bound) == size ? size : size.scaled(bound, Qt::KeepAspectRatio));
        const QImage bitmap = photo->Bitmap();
        const QImage screen = photo->cachedPixmap().toImage();
        for (const QImage& img : {bitmap, screen}) {
            QCOMPARE(img.pixelColor(img.width() / 4, img.height() / 2), QColor(200, 60, 30));
            QCOMPARE(img.pixelColor(img.width() * 3 / 4, img.height() / 2), QColor(30, 60, 200));
        }
    }

    // A damaged JPEG and a sound one are read at the same time, on two threads, and meet
    // after decoding, before their decoders' warnings are judged: each keeps its own.
    void corruptionIsNoticedPerThread() {
        const QString damaged = dir.filePath(QStringLiteral("damaged.jpg"));
        QFile f(damaged);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(damagedJpeg());
        f.close();
        const QString sound = save(QStringLiteral("sound.jpg"), QSize(128, 128), Qt::gray, "JPEG");

        static std::atomic<int> arrived;
        static QSemaphore go;
        arrived = 0;
        veidora::ui::setAfterDecodingHook([] {
            if (++arrived == 2)
                go.release(2);
            go.tryAcquire(1, kPatienceMs);
        });
        QThreadPool pool;
        pool.setMaxThreadCount(2);
        auto read = [](const QString& path) {
            return veidora::ui::loadPhoto(path, QSize(1028, 1284));
        };
        QFuture<veidora::ui::PhotoLoad> first = QtConcurrent::run(&pool, read, damaged);
        QFuture<veidora::ui::PhotoLoad> second = QtConcurrent::run(&pool, read, sound);
        const veidora::ui::PhotoLoad a = first.result(), b = second.result();
        veidora::ui::setAfterDecodingHook(nullptr);

        QCOMPARE(arrived.load(), 2); // both were decoded, and met
        QVERIFY(a.image.isNull());
        QCOMPARE(a.error, veidora::ui::loadFailedMessage(damaged));
        QVERIFY2(!b.image.isNull(), qPrintable(b.error));
    }
};

QTEST_MAIN(PhotoLoaderTest)
#include "test_photo_loader.moc"
