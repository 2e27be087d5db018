// The fuzzer's seed files all load; every input the fuzzer found troublesome, and its corpus of
// inputs that reach distinct paths, is replayed and answered with exactly one of a picture and
// an error.
#include "photo_reader.hpp"

#include <QDir>
#include <QFile>
#include <QtTest>

class PhotoReaderTest : public QObject {
    Q_OBJECT

    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void everySeedLoads_data() {
        QTest::addColumn<QString>("path");
        const QDir seeds(QStringLiteral(VEIDORA_FUZZ_SEEDS));
        for (const QString& name : seeds.entryList(QDir::Files))
            QTest::newRow(qPrintable(name)) << seeds.filePath(name);
    }
    void everySeedLoads() {
        QFETCH(QString, path);
        const auto loaded = veidora::ui::decodePhoto(read(path), path, QSize(1028, 1284));
        QVERIFY2(loaded.error.isEmpty(), qPrintable(loaded.error));
        // All are 24 x 16, one stored on its side with an EXIF turn.
        QCOMPARE(loaded.image.size(),
                 path.endsWith(QLatin1String("exif6.jpg")) ? QSize(16, 24) : QSize(24, 16));
    }

    void everyFindingIsAnswered_data() {
        QTest::addColumn<QString>("path");
        for (const char* folder : {VEIDORA_FUZZ_FINDINGS, VEIDORA_FUZZ_CORPUS}) {
            const QDir dir(QString::fromUtf8(folder));
            for (const QString& name : dir.entryList(QDir::Files))
                QTest::newRow(qPrintable(name)) << dir.filePath(name);
        }
    }
    void everyFindingIsAnswered() {
        QFETCH(QString, path);
        const auto loaded = veidora::ui::decodePhoto(read(path), path, QSize(1028, 1284));
        QVERIFY(loaded.image.isNull() != loaded.error.isEmpty());
    }
};

QTEST_MAIN(PhotoReaderTest)
#include "test_photo_reader.moc"
