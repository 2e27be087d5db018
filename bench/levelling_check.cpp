// How "Rasti taškus" levels turned photos, through the window as a user gets it:
//   levelling_check front <photo>...   every photo as taken and turned by -8, -4, 4 and 8
//   levelling_check side <photo>...    degrees; per turn, the tilt the search set and the
//                                      page's codes, then how often they agree with the photo
//                                      as taken (the tilt within 1 degree of the turn back)
//   levelling_check side --tilts <file> <photo>...
//       sets the tilt from <file> before each search, as a levelling search would set it
//       (lines "left/007 -8 3": the photo's folder without "profile_", its name, the turn and
//       the tilt, "-" for none), to see how the codes hold on a levelled profile
// Options, before the photos:
//   --grown         turn onto a canvas grown to hold the whole turned photo (shown smaller);
//                   by default the photo keeps its own frame, turned about its centre with the
//                   corners in the backdrop's colour, as a camera held at an angle gives
//   --there-and-back  turn each photo and straight back before the search, which is given the
//                   tilt of the photo as taken: what resampling alone does to the codes (the
//                   tilt found must then equal the photo's own)
//   --landmarks     after the table, per turned case, how far each landmark lies from where it
//                   was found on the photo as taken, both carried back onto that photo, in per
//                   cent of the head height
#include "application.hpp"
#include "auto_placement.hpp"
#include "controls.hpp"
#include "face_page.hpp"
#include "front_measurement.hpp"
#include "grip_history.hpp"
#include "photo.hpp"
#include "selection_point.hpp"
#include "side_measurement.hpp"
#include "veidora_window.hpp"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QUndoStack>

#include <QApplication>
#include <QFile>
#include <QMap>
#include <QTimer>

#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

namespace {

constexpr std::array<int, 4> kTurns{-8, -4, 4, 8};

// Photo pixels to the turned photo's: clockwise by `degrees`, about the centre when the frame
// is kept, else onto the canvas that holds the whole turned photo.
QTransform turnOf(QSize size, int degrees, bool grown) {
    if (grown)
        return QImage::trueMatrix(QTransform().rotate(degrees), size.width(), size.height());
    const QPointF c(size.width() / 2.0, size.height() / 2.0);
    return QTransform().translate(c.x(), c.y()).rotate(degrees).translate(-c.x(), -c.y());
}

// The corners the turn uncovers take the backdrop's colour.
QImage turnedBy(const QImage& img, int degrees, bool grown) {
    if (degrees == 0)
        return img;
    if (grown) {
        const QImage turned =
            img.convertToFormat(QImage::Format_ARGB32)
                .transformed(QTransform().rotate(degrees), Qt::SmoothTransformation);
        QImage out(turned.size(), QImage::Format_RGB32);
        out.fill(img.pixelColor(2, 2));
        QPainter(&out).drawImage(0, 0, turned);
        return out;
    }
    QImage out(img.size(), QImage::Format_RGB32);
    out.fill(img.pixelColor(2, 2));
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setTransform(turnOf(img.size(), degrees, false));
    p.drawImage(0, 0, img);
    return out;
}

struct Result {
    bool placed = false;
    bool mirrored = false;
    double tilt = 0;
    std::string codes;
    // The grips on the picture searched, in its pixels (as it was before any mirroring); the
    // window decodes a large photo smaller.
    std::vector<QPointF> onPicture;
    QSize picture;
};

// A grip's place on the searched picture: the page's tilt undone, then the fitting into the box.
QPointF onPicture(const FacePage& page, QSize picture, QPointF grip, double tilt, bool mirrored) {
    const QRectF box(page.photo()->Box());
    const QPointF c = box.center();
    const QPointF levelled =
        QTransform().translate(c.x(), c.y()).rotate(-tilt).translate(-c.x(), -c.y()).map(grip);
    const QSizeF fitted = QSizeF(picture).scaled(box.size(), Qt::KeepAspectRatio);
    const QPointF corner = c - QPointF(fitted.width() / 2, fitted.height() / 2);
    QPointF at = (levelled - corner) * (picture.width() / fitted.width());
    if (mirrored)
        at.setX(picture.width() - at.x());
    return at;
}

std::string codesOf(TVeidora& w, bool front) {
    const int first = front ? 1 : 101;
    const std::size_t count = front ? veidora::kFrontLandmarkCount : veidora::kSideLandmarkCount;
    std::vector<veidora::TPointF> p;
    for (std::size_t i = 0; i < count; ++i) {
        const QPointF at = w.SelectionPoint(first + int(i))->Position();
        p.push_back({float(at.x()), float(at.y())});
    }
    char text[96];
    if (front) {
        const auto m = veidora::measureFront(
            std::span<const veidora::TPointF, veidora::kFrontLandmarkCount>(p.data(), count), ',');
        std::snprintf(text, sizeof text, "%g %g %g %g", m.codes.tVS, m.codes.tAPz, m.codes.tAI,
                      m.codes.tNP);
    } else {
        const auto m = veidora::measureSide(
            std::span<const veidora::TPointF, veidora::kSideLandmarkCount>(p.data(), count), ',');
        std::snprintf(text, sizeof text, "%g %g %g %g", m.codes.tKD, m.codes.tKP, m.codes.tSD,
                      m.codes.tND);
    }
    return text;
}

Result search(TVeidora& w, bool front, const QString& path, int presetTilt = 0) {
    FacePage* page = front ? w.front() : w.side();
    AutoPlacement* placement = front ? w.autoPlacement() : w.sidePlacement();
    w.TabControl1->setCurrentWidget(page->tab());
    w.loadPhotoIntoCurrentPage(path);
    page->tilt()->setValue(presetTilt);
    Result r;
    QEventLoop loop;
    QObject::connect(placement, &AutoPlacement::done, &loop, &QEventLoop::quit);
    QMetaObject::Connection mirrored;
    if (page->mirrorButton())
        mirrored = QObject::connect(page->mirrorButton(), &QPushButton::clicked,
                                    [&r] { r.mirrored = !r.mirrored; });
    (front ? w.ButtonAuto : w.ButtonAutoSide)->click();
    loop.exec();
    QObject::disconnect(mirrored);
    r.placed = w.history()->stack()->count() > 0;
    r.tilt = page->tilt()->Value();
    if (r.placed) {
        r.codes = codesOf(w, front);
        const QSize picture = r.picture = page->photo()->Bitmap().size();
        const int first = front ? 1 : 101;
        const std::size_t count =
            front ? veidora::kFrontLandmarkCount : veidora::kSideLandmarkCount;
        for (std::size_t i = 0; i < count; ++i)
            r.onPicture.push_back(onPicture(
                *page, picture, w.SelectionPoint(first + int(i))->Position(), r.tilt, r.mirrored));
    }
    w.history()->stack()->clear();
    page->resetGrips();
    return r;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    veidora::ui::TApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3 ||
        (args[1] != QLatin1String("front") && args[1] != QLatin1String("side"))) {
        std::fprintf(stderr, "usage: levelling_check front|side [--grown] [--there-and-back] "
                             "[--landmarks] [--tilts <file>] <photo>...\n");
        return 2;
    }
    const bool front = args[1] == QLatin1String("front");
    QStringList photos = args.mid(2);
    bool grown = false, thereAndBack = false, landmarks = false;
    for (bool more = true; more && !photos.isEmpty();) {
        more = true;
        if (photos[0] == QLatin1String("--grown"))
            grown = true;
        else if (photos[0] == QLatin1String("--there-and-back"))
            thereAndBack = true;
        else if (photos[0] == QLatin1String("--landmarks"))
            landmarks = true;
        else
            more = false;
        if (more)
            photos.removeFirst();
    }
    // "left/007 -8" -> the tilt to set before that search; nullopt: leave it at 0.
    QMap<QString, std::optional<int>> presets;
    if (photos.size() >= 2 && photos[0] == QLatin1String("--tilts")) {
        QFile f(photos[1]);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(photos[1]));
            return 2;
        }
        while (!f.atEnd()) {
            const QStringList w = QString::fromUtf8(f.readLine()).simplified().split(' ');
            if (w.size() != 3)
                continue;
            bool ok = false;
            const int tilt = w[2].toInt(&ok);
            presets[w[0] + ' ' + w[1]] = ok ? std::optional<int>(tilt) : std::nullopt;
        }
        photos = photos.mid(2);
    }
    const auto presetFor = [&](const QString& path, int turn) {
        const QFileInfo info(path);
        const QString key = info.dir().dirName().remove(QStringLiteral("profile_")) + '/' +
                            info.completeBaseName() + ' ' + QString::number(turn);
        return presets.value(key).value_or(0);
    };
    TVeidora w;
    // A profile the search cannot find brings up a box that waits for a click: answered here,
    // so the run goes on (the photo counts as not placed).
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
    answer.start(100);
    QTemporaryDir dir;
    int cases = 0, tiltsAgree = 0, codesAgree = 0, placedPhotos = 0;
    std::vector<std::string> moves; // the --landmarks lines, printed after the table
    for (const QString& path : photos) {
        const QImage photo(path);
        if (photo.isNull())
            continue;
        const QString name = QFileInfo(path).completeBaseName();
        const Result taken = search(w, front, path, presetFor(path, 0));
        if (!taken.placed) {
            std::printf("%s: not placed\n", qPrintable(name));
            continue;
        }
        ++placedPhotos;
        std::printf("%s: tilt %+g codes %s |", qPrintable(name), taken.tilt, taken.codes.c_str());
        for (int turn : kTurns) {
            const QString turnedPath =
                dir.filePath(QStringLiteral("%1_%2.png").arg(name).arg(turn));
            QImage turned = turnedBy(photo, turn, grown);
            if (thereAndBack)
                turned = turnedBy(turned, -turn, false);
            turned.save(turnedPath);
            const Result r = search(w, front, turnedPath, presetFor(path, thereAndBack ? 0 : turn));
            ++cases;
            // A mirrored photo's turn is seen the other way round.
            const int seen = r.mirrored ? -turn : turn;
            const bool tiltOk =
                r.placed &&
                (thereAndBack ? r.tilt == taken.tilt : std::abs((r.tilt - taken.tilt) + seen) <= 1);
            const bool codesOk = r.placed && r.codes == taken.codes;
            tiltsAgree += tiltOk;
            codesAgree += codesOk;
            std::printf(" %+d: %+g%s%s%s", turn, r.tilt, r.mirrored ? "m" : "", tiltOk ? "" : "!",
                        codesOk ? "" : (" [" + r.codes + "]").c_str());
            if (landmarks && r.placed && r.onPicture.size() == taken.onPicture.size()) {
                // Both back on the photo as taken, at its full size; the head height there is
                // the unit.
                const QSizeF grew = QSizeF(turned.size() - photo.size()) / 2;
                const QTransform back =
                    thereAndBack ? QTransform::fromTranslate(-grew.width(), -grew.height())
                                 : turnOf(photo.size(), turn, grown).inverted();
                const double full = double(photo.width()) / taken.picture.width();
                const double fullTurned = double(turned.width()) / r.picture.width();
                const std::size_t top = front ? 2 : 0, chin = front ? 3 : 14;
                const double head =
                    full * std::abs(taken.onPicture[chin].y() - taken.onPicture[top].y());
                std::string line = qPrintable(name);
                line += ' ' + std::to_string(turn) + (codesOk ? " same" : " changed");
                for (std::size_t i = 0; i < r.onPicture.size(); ++i) {
                    const QPointF d =
                        back.map(r.onPicture[i] * fullTurned) - taken.onPicture[i] * full;
                    char one[48];
                    std::snprintf(one, sizeof one, " %.2f,%.2f", 100 * d.x() / head,
                                  100 * d.y() / head);
                    line += one;
                }
                moves.push_back(line);
            }
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    std::printf("photos placed: %d; turned cases: %d; tilt within 1 deg of the turn back: %d "
                "(%.0f %%); codes as taken: %d (%.0f %%)\n",
                placedPhotos, cases, tiltsAgree, cases ? 100.0 * tiltsAgree / cases : 0.0,
                codesAgree, cases ? 100.0 * codesAgree / cases : 0.0);
    if (landmarks) {
        // Offsets in the photo's own axes (a mirrored profile's X read as searched).
        std::printf("landmarks moved (photo, turn, codes, then per landmark dx,dy in %% of the "
                    "head height):\n");
        for (const std::string& line : moves)
            std::printf("%s\n", line.c_str());
    }
    return 0;
}
