// Broken, hostile and unusual picture files chosen as photos: each either reaches the error box
// with the previous photo kept, or is shown upright. Every file is made here, byte by byte
// where no writer makes it.
#include "face_page.hpp"
#include "photo.hpp"
#include "photo_loader.hpp"
#include "ui_test_support.hpp"
#include "veidora_window.hpp"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtEndian>
#include <QtTest>

#include <sys/stat.h>
#include <zlib.h>

namespace {

// Four quadrants, so a turn or a mirror shows.
const QColor kTopLeft(255, 0, 0), kTopRight(0, 255, 0), kBottomLeft(0, 0, 255),
    kBottomRight(255, 255, 0);

QColor uprightAt(QSize size, int x, int y) {
    const bool right = x >= size.width() / 2, bottom = y >= size.height() / 2;
    return bottom ? (right ? kBottomRight : kBottomLeft) : (right ? kTopRight : kTopLeft);
}

QImage quadrants(QSize size = {64, 32}) {
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixelColor(x, y, uprightAt(size, x, y));
    return img;
}

QByteArray encode(const QImage& img, const char* format, int quality = 95) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, format, quality);
    return bytes;
}

// Where EXIF orientation `o` puts the stored pixel (sx, sy) of a stored picture sw x sh.
QPoint shown(int o, int sx, int sy, int sw, int sh) {
    switch (o) {
    case 2:
        return {sw - 1 - sx, sy};
    case 3:
        return {sw - 1 - sx, sh - 1 - sy};
    case 4:
        return {sx, sh - 1 - sy};
    case 5:
        return {sy, sx};
    case 6:
        return {sh - 1 - sy, sx};
    case 7:
        return {sh - 1 - sy, sw - 1 - sx};
    case 8:
        return {sy, sw - 1 - sx};
    default:
        return {sx, sy};
    }
}

// A JPEG stored so that orientation `o` shows the quadrants upright.
QByteArray orientedJpeg(int o) {
    const QSize upright(64, 32);
    const QSize stored = o >= 5 ? upright.transposed() : upright;
    QImage img(stored, QImage::Format_RGB32);
    for (int y = 0; y < stored.height(); ++y)
        for (int x = 0; x < stored.width(); ++x) {
            const QPoint s = shown(o, x, y, stored.width(), stored.height());
            img.setPixelColor(x, y, uprightAt(upright, s.x(), s.y()));
        }
    QByteArray jpeg = encode(img, "JPEG");
    // APP1: "Exif", a big-endian TIFF header and one entry, Orientation (0x0112, SHORT).
    const char exif[] = {'\xFF', '\xE1', 0, 34, 'E', 'x',     'i', 'f', 0,    0,    'M', 'M',
                         0,      42,     0, 0,  0,   8,       0,   1,   0x01, 0x12, 0,   3,
                         0,      0,      0, 1,  0,   char(o), 0,   0,   0,    0,    0,   0};
    jpeg.insert(2, QByteArray(exif, sizeof exif));
    return jpeg;
}

// A GIF of 2-bit palette pixels, one literal code each, with a clear code every two codes so
// that codes stay three bits wide; `written` pixels of the frame, or all of them.
QByteArray gif(QSize screen, QSize frame, const QImage& pixels, qint64 written = -1) {
    QByteArray out("GIF89a");
    auto le16 = [&](int v) {
        out.append(char(v & 255));
        out.append(char(v >> 8 & 255));
    };
    le16(screen.width());
    le16(screen.height());
    out.append(char(0x81)); // a global palette of 4 entries
    out.append(char(0)).append(char(0));
    const QColor palette[] = {kTopLeft, kTopRight, kBottomLeft, kBottomRight};
    for (const QColor& c : palette)
        out.append(char(c.red())).append(char(c.green())).append(char(c.blue()));
    out.append(char(0x2C));
    le16(0);
    le16(0);
    le16(frame.width());
    le16(frame.height());
    out.append(char(0));
    out.append(char(2)); // the smallest code size
    QByteArray codes;
    quint32 bits = 0;
    int count = 0;
    auto put = [&](int code) {
        bits |= quint32(code) << count;
        count += 3;
        while (count >= 8) {
            codes.append(char(bits & 255));
            bits >>= 8;
            count -= 8;
        }
    };
    const qint64 n = written >= 0 ? written : qint64(frame.width()) * frame.height();
    for (qint64 i = 0; i < n; ++i) {
        if (i % 2 == 0)
            put(4);
        const int x = int(i % frame.width()), y = int(i / frame.width());
        const QColor c = pixels.isNull() ? kTopLeft : pixels.pixelColor(x, y);
        put(c == kTopLeft ? 0 : c == kTopRight ? 1 : c == kBottomLeft ? 2 : 3);
    }
    put(5);
    if (count > 0)
        codes.append(char(bits & 255));
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        out.append(char(block.size())).append(block);
    }
    out.append(char(0));
    out.append(char(0x3B));
    return out;
}

// A 24-bit BMP written by hand, stored top down when `height` is negative.
QByteArray bmp24(const QImage& img, bool topDown) {
    const int w = img.width(), h = img.height();
    const int stride = (w * 3 + 3) & ~3;
    QByteArray out(54 + stride * h, '\0');
    auto put32 = [&](int at, qint32 v) { qToLittleEndian(v, out.data() + at); };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, out.size());
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, topDown ? -h : h);
    qToLittleEndian<quint16>(1, out.data() + 26);
    qToLittleEndian<quint16>(24, out.data() + 28);
    for (int row = 0; row < h; ++row) {
        const int y = topDown ? row : h - 1 - row;
        char* line = out.data() + 54 + row * stride;
        for (int x = 0; x < w; ++x) {
            const QColor c = img.pixelColor(x, y);
            line[3 * x] = char(c.blue());
            line[3 * x + 1] = char(c.green());
            line[3 * x + 2] = char(c.red());
        }
    }
    return out;
}

// A run-length BMP, 8 bits: the top row red, the bottom row blue.
QByteArray bmpRle8(bool complete) {
    QByteArray pixels("\x04\x01\x00\x00\x04\x00\x00\x01", 8);
    if (!complete)
        pixels.chop(4);
    QByteArray out(14 + 40 + 8, '\0');
    auto put32 = [&](int at, qint32 v) { qToLittleEndian(v, out.data() + at); };
    out[0] = 'B';
    out[1] = 'M';
    put32(10, 14 + 40 + 8);
    put32(14, 40);
    put32(18, 4);
    put32(22, 2);
    qToLittleEndian<quint16>(1, out.data() + 26);
    qToLittleEndian<quint16>(8, out.data() + 28);
    put32(30, 1);
    put32(46, 2); // two palette entries
    const char palette[] = {'\x00', '\x00', '\xFF', 0, '\xFF', '\x00', '\x00', 0}; // red, blue
    std::copy(palette, palette + 8, out.data() + 54);
    out.append(pixels);
    put32(2, out.size());
    return out;
}

// Rewrites a PNG's declared size, with a checksum to match, so only the size is wrong.
QByteArray pngDeclaring(QByteArray png, quint32 width, quint32 height, bool interlaced = false) {
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    png[28] = interlaced ? 1 : 0;
    const auto crc = ::crc32(0, reinterpret_cast<const Bytef*>(png.constData() + 12), 17);
    qToBigEndian(quint32(crc), png.data() + 29);
    return png;
}

QByteArray jpegDeclaring(QByteArray jpeg, quint16 width, quint16 height) {
    const qsizetype sof = jpeg.indexOf("\xFF\xC0");
    qToBigEndian(height, jpeg.data() + sof + 5);
    qToBigEndian(width, jpeg.data() + sof + 7);
    return jpeg;
}

QByteArray bmpDeclaring(QByteArray bmp, qint32 width, qint32 height) {
    qToLittleEndian(width, bmp.data() + 18);
    qToLittleEndian(height, bmp.data() + 22);
    return bmp;
}

// A noisy picture, so its JPEG has plenty of entropy-coded data to damage.
QImage noise(QSize size) {
    QImage img(size, QImage::Format_RGB32);
    quint32 state = 12345;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            img.setPixel(x, y, state >> 8);
        }
    return img;
}

QByteArray damagedHuffman() {
    QByteArray jpeg = encode(noise({128, 128}), "JPEG", 90);
    const qsizetype scan = jpeg.indexOf("\xFF\xDA");
    quint32 state = 99;
    for (qsizetype i = scan + 200; i < scan + 260; ++i) {
        state = state * 1103515245u + 12345u;
        jpeg[i] = char((state >> 16) & 0x7F); // no 0xFF: no false markers, just bad codes
    }
    return jpeg;
}

// The process's peak resident size so far, or -1 when it cannot be read.
qint64 peakResidentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) {
            bool ok = false;
            const qint64 kb = line.mid(6).trimmed().split(' ').value(0).toLongLong(&ok);
            return ok ? kb : -1;
        }
    return -1;
}

} // namespace

class HostileFilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<TVeidora> w;
    QString goodPath;
    qint64 peakBefore = 0;

private slots:
    void initTestCase() {
        goodPath = dir.filePath(QStringLiteral("good.png"));
        QImage(40, 30, QImage::Format_RGB32).save(goodPath);
        peakBefore = peakResidentKb();
    }
    void init() {
        w = std::make_unique<TVeidora>();
        w->show();
        w->loadPhotoIntoCurrentPage(goodPath);
    }
    void cleanup() {
        w.reset();
        QThreadPool::globalInstance()->waitForDone();
    }

    void eachFileIsShownUprightOrRefused_data() {
        QTest::addColumn<QString>("kind");  // file, missing, fifo or folder
        QTest::addColumn<QString>("entry"); // loader, load (at once) or dialog
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QSize>("shown"); // invalid: refused
        QTest::addColumn<QColor>("topLeft");
        QTest::addColumn<QColor>("bottomRight");

        const QImage picture = quadrants();
        const QByteArray jpeg = encode(picture, "JPEG");
        const QByteArray png = encode(picture, "PNG");
        const QByteArray gifFile = gif({64, 32}, {64, 32}, picture);
        const QByteArray bmp = bmp24(picture, false);
        const QSize refused;
        auto file = [](const char* name, const QByteArray& bytes, QSize size = {}, QColor tl = {},
                       QColor br = {}) {
            QTest::newRow(name) << QStringLiteral("file") << QStringLiteral("loader") << bytes
                                << size << tl << br;
        };
        // The same file through every way a photo is opened: at once, in the background, and
        // chosen in the dialog.
        auto everyWay = [](const char* name, const QString& kind, const QByteArray& bytes,
                           QSize size = {}, QColor tl = {}, QColor br = {}) {
            for (const char* entry : {"loader", "load", "dialog"})
                QTest::newRow(qPrintable(QStringLiteral("%1 via %2").arg(name, entry)))
                    << kind << QString::fromLatin1(entry) << bytes << size << tl << br;
        };

        // Sound files, shown upright.
        everyWay("jpeg", QStringLiteral("file"), jpeg, {64, 32}, kTopLeft, kBottomRight);
        file("png", png, {64, 32}, kTopLeft, kBottomRight);
        file("gif", gifFile, {64, 32}, kTopLeft, kBottomRight);
        file("bmp bottom up", bmp, {64, 32}, kTopLeft, kBottomRight);
        file("bmp top down", bmp24(picture, true), {64, 32}, kTopLeft, kBottomRight);
        file("bmp run-length", bmpRle8(true), {4, 2}, kTopLeft, kBottomLeft);
        file("png 16-bit", encode(picture.convertToFormat(QImage::Format_RGBA64), "PNG"), {64, 32},
             kTopLeft, kBottomRight);
        const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
        file("jpeg greyscale", encode(grey, "JPEG"), {64, 32}, grey.pixelColor(0, 0),
             grey.pixelColor(63, 31));
        QFile cmyk(QStringLiteral(VEIDORA_TEST_DATA "/cmyk.jpg"));
        QVERIFY(cmyk.open(QIODevice::ReadOnly));
        file("jpeg cmyk", cmyk.readAll(), {32, 16}, kTopLeft, kBottomLeft);
        for (int o = 1; o <= 8; ++o)
            QTest::newRow(qPrintable(QStringLiteral("exif orientation %1").arg(o)))
                << QStringLiteral("file") << QStringLiteral("loader") << orientedJpeg(o)
                << QSize(64, 32) << kTopLeft << kBottomRight;

        // Files that end early, at several cuts.
        const std::pair<const char*, QByteArray> whole[] = {
            {"jpeg", encode(noise({96, 96}), "JPEG", 90)},
            {"png", encode(noise({96, 96}), "PNG")},
            {"gif", gif({96, 96}, {96, 96}, {})},
            {"bmp", bmp24(noise({96, 96}), false)}};
        for (const auto& [name, bytes] : whole)
            for (const double cut : {0.1, 0.5, 0.9})
                file(qPrintable(QStringLiteral("%1 cut at %2").arg(name).arg(cut)),
                     bytes.left(qsizetype(bytes.size() * cut)));
        for (const auto& [name, bytes] : whole)
            file(qPrintable(QStringLiteral("%1 without its last byte").arg(name)),
                 bytes.chopped(1));
        file("bmp run-length without its end", bmpRle8(false));

        // Corrupt data.
        file("jpeg with bad huffman codes", damagedHuffman());
        QByteArray badCrc = png;
        badCrc[badCrc.indexOf("IDAT") + 10] = char(badCrc[badCrc.indexOf("IDAT") + 10] ^ 0x55);
        file("png with a wrong checksum", badCrc);
        QByteArray badLzw = gifFile;
        badLzw[badLzw.size() - 20] = char(0xFF); // codes not yet defined
        file("gif with undefined codes", badLzw);
        everyWay("empty", QStringLiteral("file"), {});
        everyWay("text named jpg", QStringLiteral("file"), "Tai ne nuotrauka, o tekstas.\n");
        everyWay("png with garbage after the signature", QStringLiteral("file"),
                 QByteArray("\x89PNG\r\n\x1a\n garbage", 17));
        everyWay("jpeg cut at two thirds", QStringLiteral("file"), jpeg.left(jpeg.size() * 2 / 3));
        // A file that is not there cannot be chosen in the dialog.
        for (const char* entry : {"loader", "load"})
            QTest::newRow(qPrintable(QStringLiteral("missing via %1").arg(entry)))
                << QStringLiteral("missing") << QString::fromLatin1(entry) << QByteArray()
                << refused << QColor() << QColor();
        file("svg", "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10'/>");

        // Sizes past any photo.
        file("jpeg declaring 60000 squared", jpegDeclaring(jpeg, 60000, 60000));
        file("png declaring 60000 squared", pngDeclaring(png, 60000, 60000));
        file("bmp declaring 60000 squared", bmpDeclaring(bmp, 60000, 60000));
        file("gif declaring 60000 squared", gif({60000, 60000}, {10, 10}, {}));
        file("gif frame of 60000 squared", gif({10, 10}, {60000, 60000}, {}, 100));
        file("gif screen of 16000 squared", gif({16000, 16000}, {10, 10}, {}));
        // Interlaced pictures are decoded whole, which 12000 x 12000 would take 550 MB for.
        file("png too large to decode whole", pngDeclaring(png, 12000, 12000, true));

        QTest::newRow("named pipe") << QStringLiteral("fifo") << QStringLiteral("loader")
                                    << QByteArray() << refused << QColor() << QColor();
        QTest::newRow("folder") << QStringLiteral("folder") << QStringLiteral("loader")
                                << QByteArray() << refused << QColor() << QColor();
    }

    void eachFileIsShownUprightOrRefused() {
        QFETCH(QString, kind);
        QFETCH(QString, entry);
        QFETCH(QByteArray, content);
        QFETCH(QSize, shown);
        QFETCH(QColor, topLeft);
        QFETCH(QColor, bottomRight);

        const QString path = dir.filePath(QString::fromLatin1(QTest::currentDataTag())
                                              .replace(QLatin1Char(' '), QLatin1Char('_')) +
                                          QStringLiteral(".jpg"));
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(path));
        else if (kind == QLatin1String("file")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }

        ErrorRecorder errors;
        const QImage before = w->front()->photo()->Bitmap();
        if (entry == QLatin1String("load")) {
            veidora::ui::guarded(w.get(), [&] { w->loadPhotoIntoCurrentPage(path); });
        } else {
            QSignalSpy done(w->photoLoader(), &PhotoLoader::finished);
            if (entry == QLatin1String("dialog")) {
                const auto choose = answerNextFileDialog(path);
                QTest::mouseClick(w->Button1, Qt::LeftButton);
            } else {
                w->photoLoader()->load(w->front()->photo(), path,
                                       w->front()->photo()->decodeBound());
            }
            // The call returns at once; the page shows it is busy until the photo is there.
            QCOMPARE(w->front()->photo()->Bitmap(), before);
            QCOMPARE(w->TabItem1->cursor().shape(), Qt::BusyCursor);
            QVERIFY(done.wait(kPatienceMs));
            QVERIFY(!w->TabItem1->testAttribute(Qt::WA_SetCursor));
        }

        if (!shown.isValid()) {
            QCOMPARE(errors.messages, QStringList{veidora::ui::loadFailedMessage(path)});
            QCOMPARE(w->front()->photo()->Bitmap(), before);
            return;
        }
        QVERIFY2(errors.messages.isEmpty(), qPrintable(errors.messages.join(QLatin1Char('\n'))));
        const QImage img = w->front()->photo()->Bitmap();
        QCOMPARE(img.size(), shown);
        auto near = [](QColor a, QColor b) {
            return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) +
                       qAbs(a.blue() - b.blue()) <
                   90;
        };
        // Sampled a quarter in from the corners, clear of the colour edges' blur.
        const QColor tl = img.pixelColor(img.width() / 4, img.height() / 4);
        const QColor br = img.pixelColor(img.width() * 3 / 4, img.height() * 3 / 4);
        QVERIFY2(near(tl, topLeft), qPrintable(tl.name()));
        QVERIFY2(near(br, bottomRight), qPrintable(br.name()));
    }

    // None of the files above may have cost the process more than a photo's budget. Run after
    // the table in a ctest entry of its own, without sanitizers, whose bookkeeping grows it.
    void memoryStayedWithinTheBudget() {
        const qint64 peak = peakResidentKb();
        QVERIFY2(peakBefore > 0 && peak > 0, "the peak resident size cannot be read");
        const qint64 grownMb = (peak - peakBefore) / 1024;
        QVERIFY2(grownMb < 300, qPrintable(QString::number(grownMb)));
    }
};

QTEST_MAIN(HostileFilesTest)
#include "test_hostile_files.moc"
