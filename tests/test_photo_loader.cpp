// Photos chosen in the dialog are read in the background: the window goes on meanwhile, the
// newest choice wins, and a broken file reaches the error box with the old picture kept.
#include "photo.hpp"
#include "photo_loader.hpp"
#include "ui_test_support.hpp"
#include "veidora_window.hpp"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

#include <QtConcurrent>

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

    QString truncated(const QString& name, int width) {
        QImage img(width, width, QImage::Format_RGB32);
        for (int y = 0; y < width; ++y)
            for (int x = 0; x < width; ++x)
                img.setPixel(x, y, qRgb(x & 255, y & 255, (x * y) & 255));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        img.save(&buffer, "JPEG", 90);
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes.left(bytes.size() / 2));
        return f.fileName();
    }

private slots:
    void cleanup() { QThreadPool::globalInstance()->waitForDone(); }

    void aPhotoArrivesAfterTheCallReturns() {
        TVeidora w;
        // A large PNG has no reduced-size decoding: it takes a while to read.
        const QString path = save(QStringLiteral("large.png"), QSize(4000, 3000), Qt::darkCyan);
        QSignalSpy done(w.photoLoader(), &PhotoLoader::finished);
        w.photoLoader()->load(w.Image1, path, w.Image1->decodeBound());
        QCOMPARE(w.Image1->BitmapWidth(), 0); // not yet: the window is free meanwhile
        QVERIFY(w.photoLoader()->isLoading());
        QVERIFY(done.wait(30000));
        QCOMPARE(w.Image1->Bitmap().size(), QSize(1028, 771));
        QCOMPARE(w.Image1->Bitmap().pixelColor(10, 10), QColor(Qt::darkCyan));
        QVERIFY(!w.photoLoader()->isLoading());
        QCOMPARE(w.Image4->BitmapWidth(), 0);
    }

    void theLastChoiceWins() {
        TVeidora w;
        const QString slow = save(QStringLiteral("slow.png"), QSize(4000, 3000), Qt::red);
        const QString quick = save(QStringLiteral("quick.png"), QSize(40, 30), Qt::blue);
        QSignalSpy done(w.photoLoader(), &PhotoLoader::finished);
        w.photoLoader()->load(w.Image1, slow, w.Image1->decodeBound());
        w.photoLoader()->load(w.Image1, quick, w.Image1->decodeBound());
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 2, 30000);
        QCOMPARE(w.Image1->Bitmap().size(), QSize(40, 30));
        QCOMPARE(w.Image1->Bitmap().pixelColor(0, 0), QColor(Qt::blue));
    }

    void aBrokenFileKeepsThePictureAndShowsTheError() {
        TVeidora w;
        ErrorRecorder errors;
        const QString good = save(QStringLiteral("good.jpg"), QSize(64, 48), Qt::green, "JPEG");
        w.loadPhotoIntoCurrentPage(good);
        const QImage before = w.Image1->Bitmap();
        QSignalSpy done(w.photoLoader(), &PhotoLoader::finished);
        const QStringList broken{truncated(QStringLiteral("half.jpg"), 600),
                                 dir.filePath(QStringLiteral("missing.png"))};
        for (const QString& path : broken) {
            w.photoLoader()->load(w.Image1, path, w.Image1->decodeBound());
            QVERIFY(done.wait(30000));
            QCOMPARE(errors.messages.last(), veidora::ui::loadFailedMessage(path));
            QCOMPARE(w.Image1->Bitmap(), before);
        }
        QCOMPARE(errors.messages.size(), 2);
    }

    // Truncated JPEGs are told apart even when several are read at once, on several threads,
    // next to sound ones.
    void truncationIsNoticedOnEveryThread() {
        QStringList paths;
        for (int i = 0; i < 8; ++i)
            paths << (i % 2 ? truncated(QStringLiteral("t%1.jpg").arg(i), 500 + 10 * i)
                            : save(QStringLiteral("s%1.jpg").arg(i), QSize(500, 400), Qt::gray,
                                   "JPEG"));
        const QList<veidora::ui::PhotoLoad> results = QtConcurrent::blockingMapped(
            paths, [](const QString& p) { return veidora::ui::loadPhoto(p, QSize(1028, 1284)); });
        for (int i = 0; i < paths.size(); ++i)
            QCOMPARE(results[i].image.isNull(), i % 2 == 1);
    }
};

QTEST_MAIN(PhotoLoaderTest)
#include "test_photo_loader.moc"
