// How "Rasti taškus" levels turned photos, through the window as a user gets it:
//   levelling_check front <photo>...   every photo as taken and turned by -8, -4, 4 and 8
//   levelling_check side <photo>...    degrees; per turn, the tilt the search set and the
//                                      page's codes, then how often they agree with the photo
//                                      as taken (the tilt within 1 degree of the turn back)
//   levelling_check side --tilts <file> <photo>...
//       sets the tilt from <file> before each search, as a levelling search would set it
//       (lines "left/007 -8 3": the photo's folder without "profile_", its name, the turn and
//       the tilt, "-" for none), to see how the codes hold on a levelled profile
#include "application.hpp"
#include "auto_placement.hpp"
#include "controls.hpp"
#include "face_page.hpp"
#include "front_measurement.hpp"
#include "grip_history.hpp"
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

// Turned clockwise by `degrees` about the centre; the corners take the backdrop's colour.
QImage turnedBy(const QImage& img, int degrees) {
    if (degrees == 0)
        return img;
    const QImage turned = img.convertToFormat(QImage::Format_ARGB32)
                              .transformed(QTransform().rotate(degrees), Qt::SmoothTransformation);
    QImage out(turned.size(), QImage::Format_RGB32);
    out.fill(img.pixelColor(2, 2));
    QPainter(&out).drawImage(0, 0, turned);
    return out;
}

struct Result {
    bool placed = false;
    bool mirrored = false;
    double tilt = 0;
    std::string codes;
};

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
    if (r.placed)
        r.codes = codesOf(w, front);
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
        std::fprintf(stderr, "usage: levelling_check front|side <photo>...\n");
        return 2;
    }
    const bool front = args[1] == QLatin1String("front");
    QStringList photos = args.mid(2);
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
            turnedBy(photo, turn).save(turnedPath);
            const Result r = search(w, front, turnedPath, presetFor(path, turn));
            ++cases;
            // A mirrored photo's turn is seen the other way round.
            const int seen = r.mirrored ? -turn : turn;
            const bool tiltOk = r.placed && std::abs((r.tilt - taken.tilt) + seen) <= 1;
            const bool codesOk = r.placed && r.codes == taken.codes;
            tiltsAgree += tiltOk;
            codesAgree += codesOk;
            std::printf(" %+d: %+g%s%s%s", turn, r.tilt, r.mirrored ? "m" : "", tiltOk ? "" : "!",
                        codesOk ? "" : (" [" + r.codes + "]").c_str());
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    std::printf("photos placed: %d; turned cases: %d; tilt within 1 deg of the turn back: %d "
                "(%.0f %%); codes as taken: %d (%.0f %%)\n",
                placedPhotos, cases, tiltsAgree, cases ? 100.0 * tiltsAgree / cases : 0.0,
                codesAgree, cases ? 100.0 * codesAgree / cases : 0.0);
    return 0;
}
