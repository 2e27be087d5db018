// The front search against a lab's hand-placed templates: every front photo of a folder goes
// through what "Rasti taškus" runs (the photo decoded at the front box's size, dlib's face and
// points, the fit and the photo's own features, the mapping into the drawing rectangle) and is
// compared with the lab's landmarks, read as landmark_map.json says.
//   front_eval [set folder, default ../shared/londonset] [--overlay DIR] [--faces]
//              [--lab P21,P22,...] [--signed P4,P16,...] [--level]
// Errors are in the drawing rectangle's units. --overlay draws the found (red, yellow when
// estimated) and the lab's (green) landmarks on each photo; --faces prints a line per face;
// --lab takes the listed landmarks from the lab's template instead, to see what each costs;
// --signed prints each face's found - lab (dx, dy) of the listed landmarks, and their medians;
// --level turns each photo upright by the eye line first, as "Rasti taškus" does, and compares
// there (the lab's outline heights then read level on the turned photo too).
#include "face_finder.hpp"
#include "face_fit.hpp"
#include "front_measurement.hpp"
#include "levelling.hpp"
#include "photo_reader.hpp"
#include "sample_defaults.hpp"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace veidora::facefit;

namespace {

// The front tilt's range, as the page's track bar has it.
constexpr int kTiltRange = 20;

// Where the front photo is shown: the picture box inside the drawing rectangle.
constexpr double kBoxX = 8, kBoxY = 8, kBoxW = 257, kBoxH = 321;
constexpr double kRectW = 561, kRectH = 377;
// The photo is decoded at four times the box, as the window does at a device pixel ratio of 1.
constexpr int kDecodeTimes = 4;
// A hairline point counts as right within this many units of the lab's.
constexpr double kHairlineTolerance = 4;
// Two careful markings: the lab's landmarks moved by this much noise (units, each coordinate).
constexpr double kMarkingNoise = 1;
constexpr int kNoiseDraws = 200;

PhotoView viewFor(double w, double h, double tilt = 0) {
    return {w, h, kBoxX, kBoxY, kBoxW, kBoxH, tilt, kRectW, kRectH};
}

// The points turned clockwise by `degrees` about the picture's centre (w x h), as the page
// turns the photo.
std::vector<Point> turned(std::vector<Point> points, double w, double h, double degrees) {
    const double rad = degrees * 3.14159265358979323846 / 180;
    const double c = std::cos(rad), s = std::sin(rad);
    for (Point& p : points) {
        const double dx = p.x - w / 2, dy = p.y - h / 2;
        p = {w / 2 + c * dx - s * dy, h / 2 + s * dx + c * dy};
    }
    return points;
}

double percentile(std::vector<double> v, double q) {
    if (v.empty())
        return NAN;
    std::sort(v.begin(), v.end());
    const double at = q * static_cast<double>(v.size() - 1);
    const std::size_t lo = static_cast<std::size_t>(std::floor(at));
    const std::size_t hi = std::min(lo + 1, v.size() - 1);
    return v[lo] + (at - static_cast<double>(lo)) * (v[hi] - v[lo]);
}

std::vector<Point> readTemplate(const QString& path) {
    QFile f(path);
    std::vector<Point> out;
    if (!f.open(QIODevice::ReadOnly))
        return out;
    QTextStream in(&f);
    int n = 0;
    in >> n;
    for (int i = 0; i < n && !in.atEnd(); ++i) {
        double x = 0, y = 0;
        in >> x >> y;
        out.push_back({x, y});
    }
    return out;
}

double meanY(const std::vector<Point>& tem, const QJsonArray& idx) {
    double s = 0;
    for (const auto& v : idx)
        s += tem[static_cast<std::size_t>(v.toInt())].y;
    return s / idx.size();
}

// The polyline through the listed points where it crosses height y; its nearest end in height
// when it does not.
Point outlineAt(const std::vector<Point>& tem, const QJsonArray& idx, double y) {
    std::vector<Point> line;
    for (const auto& v : idx)
        line.push_back(tem[static_cast<std::size_t>(v.toInt())]);
    for (std::size_t i = 1; i < line.size(); ++i) {
        const Point a = line[i - 1], b = line[i];
        if ((a.y - y) * (b.y - y) <= 0 && a.y != b.y) {
            const double t = (y - a.y) / (b.y - a.y);
            return {a.x + t * (b.x - a.x), y};
        }
    }
    return std::abs(line.front().y - y) < std::abs(line.back().y - y) ? line.front() : line.back();
}

// The lab's P1..P28 in photo pixels.
FrontPoints labLandmarks(const std::vector<Point>& tem, const QJsonObject& map) {
    FrontPoints out{};
    for (std::size_t i = 0; i < kFrontPointCount; ++i) {
        const QJsonObject m = map.value(QStringLiteral("P%1").arg(i + 1)).toObject();
        if (m.contains(QStringLiteral("idx"))) {
            const QJsonArray idx = m.value(QStringLiteral("idx")).toArray();
            Point s;
            for (const auto& v : idx) {
                s.x += tem[static_cast<std::size_t>(v.toInt())].x;
                s.y += tem[static_cast<std::size_t>(v.toInt())].y;
            }
            out[i] = {s.x / idx.size(), s.y / idx.size()};
        } else {
            const QJsonObject level = m.value(QStringLiteral("level")).toObject();
            const double from = meanY(tem, level.value(QStringLiteral("from")).toArray());
            const double to = meanY(tem, level.value(QStringLiteral("to")).toArray());
            const double t = level.value(QStringLiteral("t")).toDouble();
            out[i] = outlineAt(tem, m.value(QStringLiteral("outline")).toArray(),
                               from + t * (to - from));
        }
    }
    return out;
}

veidora::FrontCodes codesOf(const FrontPoints& p) {
    std::array<veidora::TPointF, kFrontPointCount> q{};
    for (std::size_t i = 0; i < q.size(); ++i)
        q[i] = {static_cast<float>(p[i].x), static_cast<float>(p[i].y)};
    return veidora::measureFront(q, '.').codes;
}

struct Face {
    QString id;
    FrontPoints found{}; // rectangle units
    std::array<bool, kFrontPointCount> marked{};
    FrontPoints lab{};
};

void drawOverlay(const QString& photoPath, const Face& f, const FrontPoints& foundPx,
                 const FrontPoints& labPx, const QString& out) {
    QImage img(photoPath);
    if (img.isNull())
        return;
    img = img.convertToFormat(QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = p.font();
    font.setPixelSize(18);
    p.setFont(font);
    for (std::size_t i = 0; i < kFrontPointCount; ++i) {
        p.setPen(QPen(Qt::green, 2));
        p.drawEllipse(QPointF(labPx[i].x, labPx[i].y), 5, 5);
        p.setPen(QPen(f.marked[i] ? Qt::yellow : Qt::red, 2));
        p.drawEllipse(QPointF(foundPx[i].x, foundPx[i].y), 7, 7);
        p.drawLine(QPointF(foundPx[i].x, foundPx[i].y), QPointF(labPx[i].x, labPx[i].y));
        p.drawText(QPointF(foundPx[i].x + 8, foundPx[i].y - 8), QString::number(i + 1));
    }
    p.end();
    img.save(out);
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QString set = QStringLiteral("../shared/londonset"), overlay;
    bool perFace = false, levelled = false;
    std::vector<int> fromLab;  // landmarks taken from the lab's template, to see what they cost
    std::vector<int> signedOf; // landmarks whose signed errors are printed per face
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QLatin1String("--overlay") && i + 1 < argc)
            overlay = QString::fromLocal8Bit(argv[++i]);
        else if (a == QLatin1String("--level"))
            levelled = true;
        else if (a == QLatin1String("--faces"))
            perFace = true;
        else if (a == QLatin1String("--lab") && i + 1 < argc) {
            for (const QString& n : QString::fromLocal8Bit(argv[++i]).split(QLatin1Char(',')))
                fromLab.push_back(n.mid(1).toInt() - 1);
        } else if (a == QLatin1String("--signed") && i + 1 < argc) {
            for (const QString& n : QString::fromLocal8Bit(argv[++i]).split(QLatin1Char(',')))
                signedOf.push_back(n.mid(1).toInt() - 1);
        } else
            set = a;
    }
    QFile mapFile(set + QStringLiteral("/landmark_map.json"));
    if (!mapFile.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(mapFile.fileName()));
        return 2;
    }
    const QJsonObject map = QJsonDocument::fromJson(mapFile.readAll()).object();
    std::string error;
    auto finder = FaceFinder::load(kDefaultModelPath, error);
    if (!finder) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    const FrontPoints defaults = frontDefaults();
    const QSize bound(static_cast<int>(kBoxW) * kDecodeTimes,
                      static_cast<int>(kBoxH) * kDecodeTimes);

    std::erase_if(signedOf, [](int i) { return i < 0 || i >= static_cast<int>(kFrontPointCount); });
    std::vector<Face> faces;
    const QDir dir(set + QStringLiteral("/front"));
    for (const QString& name : dir.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name)) {
        const QString path = dir.filePath(name);
        const std::vector<Point> tem =
            readTemplate(dir.filePath(name.left(name.size() - 4) + QStringLiteral(".tem")));
        if (tem.size() < 189) {
            std::fprintf(stderr, "%s: no template\n", qPrintable(name));
            continue;
        }
        const auto loaded = veidora::ui::loadPhoto(path, bound);
        if (loaded.image.isNull()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(name), qPrintable(loaded.error));
            continue;
        }
        const QImage rgb = loaded.image.convertToFormat(QImage::Format_RGB888);
        const ImageView view{rgb.constBits(), rgb.width(), rgb.height(), rgb.bytesPerLine(), 3};
        const auto found = finder->findLargestFace(view);
        if (!found) {
            std::fprintf(stderr, "%s: no face\n", qPrintable(name));
            continue;
        }
        const FrontFinding finding = findFrontLandmarks(found->points, defaults, view);
        Face f;
        f.id = name.left(name.size() - 4);
        const std::optional<double> slope = eyeLineSlope(found->points);
        const double tilt =
            levelled && slope ? levellingTilt(*slope, -kTiltRange, kTiltRange).tilt : 0;
        const double ow = loaded.original.width(), oh = loaded.original.height();
        const FrontPoints labPx = labLandmarks(turned(tem, ow, oh, tilt), map);
        const PhotoView shown = viewFor(rgb.width(), rgb.height(), tilt);
        const PhotoView original = viewFor(ow, oh);
        FrontPoints foundPx{};
        const double toOriginal = double(loaded.original.width()) / rgb.width();
        for (std::size_t i = 0; i < kFrontPointCount; ++i) {
            f.found[i] = imageToRectangle(finding.points[i], shown);
            f.marked[i] = !finding.found[i];
            f.lab[i] = imageToRectangle(labPx[i], original);
            foundPx[i] = {finding.points[i].x * toOriginal, finding.points[i].y * toOriginal};
        }
        for (int i : fromLab)
            if (i >= 0 && i < static_cast<int>(kFrontPointCount))
                f.found[static_cast<std::size_t>(i)] = f.lab[static_cast<std::size_t>(i)];
        if (!overlay.isEmpty())
            drawOverlay(path, f, foundPx, labLandmarks(tem, map), // on the photo as it is
                        overlay + QStringLiteral("/") + f.id + QStringLiteral(".png"));
        faces.push_back(f);
    }
    if (faces.empty())
        return 1;
    const double n = static_cast<double>(faces.size());
    std::printf("%zu faces; units of the drawing rectangle\n\n", faces.size());

    std::printf("landmark  median  p90   marked  (median/p90 of unmarked, of marked)\n");
    for (std::size_t i = 0; i < kFrontPointCount; ++i) {
        std::vector<double> all, open, shut;
        for (const Face& f : faces) {
            const double e = std::hypot(f.found[i].x - f.lab[i].x, f.found[i].y - f.lab[i].y);
            all.push_back(e);
            (f.marked[i] ? shut : open).push_back(e);
        }
        std::printf("P%-3zu     %5.2f  %5.2f   %2zu/%zu   (%5.2f/%5.2f, %5.2f/%5.2f)\n", i + 1,
                    percentile(all, 0.5), percentile(all, 0.9), shut.size(), faces.size(),
                    percentile(open, 0.5), percentile(open, 0.9), percentile(shut, 0.5),
                    percentile(shut, 0.9));
    }

    // Distances the codes divide by: |found - lab|, and the signed median.
    struct Span {
        const char* name;
        std::size_t a, b;
        bool vertical;
    };
    const Span spans[] = {{"head height P4.Y-P3.Y", 2, 3, true},
                          {"lower-jaw width P22.X-P21.X", 20, 21, false},
                          {"cheek width P14.X-P13.X", 12, 13, false}};
    std::printf("\n%-28s median  p90   signed median\n", "distance error");
    for (const Span& s : spans) {
        std::vector<double> err, sgn;
        for (const Face& f : faces) {
            const auto d = [&](const FrontPoints& p) {
                return s.vertical ? p[s.b].y - p[s.a].y : p[s.b].x - p[s.a].x;
            };
            sgn.push_back(d(f.found) - d(f.lab));
            err.push_back(std::abs(sgn.back()));
        }
        std::printf("%-28s %5.2f  %5.2f  %+6.2f\n", s.name, percentile(err, 0.5),
                    percentile(err, 0.9), percentile(sgn, 0.5));
    }
    // The head height's two ends apart: each one's height against the lab's (+ lower).
    const std::pair<const char*, std::size_t> ends[] = {{"head top P3.Y", lm::P3},
                                                        {"head bottom P4.Y", lm::P4}};
    for (const auto& [name, i] : ends) {
        std::vector<double> err, sgn;
        for (const Face& f : faces) {
            sgn.push_back(f.found[i].y - f.lab[i].y);
            err.push_back(std::abs(sgn.back()));
        }
        std::printf("%-28s %5.2f  %5.2f  %+6.2f\n", name, percentile(err, 0.5),
                    percentile(err, 0.9), percentile(sgn, 0.5));
    }

    int open = 0, right = 0;
    for (const Face& f : faces)
        for (std::size_t i = 0; i < 3; ++i)
            if (!f.marked[i]) {
                ++open;
                right += std::hypot(f.found[i].x - f.lab[i].x, f.found[i].y - f.lab[i].y) <=
                         kHairlineTolerance;
            }
    std::printf("\nunmarked hairline points (P1-P3): %d of %zu, within %.0f units: %d (%.0f %%)\n",
                open, faces.size() * 3, kHairlineTolerance, right, open ? 100.0 * right / open : 0);

    // Codes.
    const auto agree = [](const veidora::FrontCodes& a, const veidora::FrontCodes& b) {
        return std::array<bool, 5>{a.tVS == b.tVS, a.tAPz == b.tAPz, a.tAI == b.tAI, a.tNP == b.tNP,
                                   a == b};
    };
    std::array<double, 5> search{}, noisy{};
    std::mt19937 rng(25);
    std::normal_distribution<double> noise(0, kMarkingNoise);
    for (const Face& f : faces) {
        const veidora::FrontCodes lab = codesOf(f.lab);
        const auto a = agree(codesOf(f.found), lab);
        for (std::size_t k = 0; k < a.size(); ++k)
            search[k] += a[k] / n;
        for (int d = 0; d < kNoiseDraws; ++d) {
            FrontPoints moved = f.lab;
            for (Point& p : moved)
                p = {p.x + noise(rng), p.y + noise(rng)};
            const auto b = agree(codesOf(moved), lab);
            for (std::size_t k = 0; k < b.size(); ++k)
                noisy[k] += b[k] / (n * kNoiseDraws);
        }
    }
    std::printf("\ncodes equal to the lab's   tVS   tAPz  tAI   tNP   all four\n");
    std::printf("search                    ");
    for (double v : search)
        std::printf(" %3.0f %%", 100 * v);
    std::printf("\nlab + %.0f unit noise       ", kMarkingNoise);
    for (double v : noisy)
        std::printf(" %3.0f %%", 100 * v);
    std::printf("\n");

    if (perFace) {
        // The head's two ends: the hairline (P1-P3) and the chin (P4), whose heights make H.
        std::printf("\nhead's ends found - lab (dx, dy), * estimated\nface  P1              P2  "
                    "            P3              P4\n");
        for (const Face& f : faces) {
            std::printf("%s ", qPrintable(f.id));
            for (std::size_t i = 0; i <= lm::P4; ++i)
                std::printf(" %+6.1f %+6.1f%c", f.found[i].x - f.lab[i].x,
                            f.found[i].y - f.lab[i].y, f.marked[i] ? '*' : ' ');
            std::printf("\n");
        }
        std::printf(
            "\nface  dH     dJaw   dCheek  P1    P2    P3   codes found/lab (VS APz AI NP)\n");
        for (const Face& f : faces) {
            const auto e = [&](std::size_t i) {
                return std::hypot(f.found[i].x - f.lab[i].x, f.found[i].y - f.lab[i].y);
            };
            const veidora::FrontCodes a = codesOf(f.found), b = codesOf(f.lab);
            std::printf("%s  %+5.1f  %+5.1f  %+5.1f  %4.1f%c %4.1f%c %4.1f%c  %g%g%g%g/%g%g%g%g\n",
                        qPrintable(f.id), (f.found[3].y - f.found[2].y) - (f.lab[3].y - f.lab[2].y),
                        (f.found[21].x - f.found[20].x) - (f.lab[21].x - f.lab[20].x),
                        (f.found[13].x - f.found[12].x) - (f.lab[13].x - f.lab[12].x), e(0),
                        f.marked[0] ? '*' : ' ', e(1), f.marked[1] ? '*' : ' ', e(2),
                        f.marked[2] ? '*' : ' ', a.tVS, a.tAPz, a.tAI, a.tNP, b.tVS, b.tAPz, b.tAI,
                        b.tNP);
        }
        // Outline points' errors across the face (+ outwards) and the margins the two
        // sign-decided codes turn on: tAI 2 P4.x - P21.x - P22.x, tNP 2 P16.x - P17.x - P18.x.
        std::printf("\nface  outwards: P13    P14    P21    P22   tAI margin found/lab  tNP margin "
                    "found/lab\n");
        for (const Face& f : faces) {
            const auto out = [&](std::size_t i, double side) {
                return side * (f.found[i].x - f.lab[i].x);
            };
            const auto margin = [](const FrontPoints& p, std::size_t m, std::size_t a,
                                   std::size_t b) { return 2 * p[m].x - p[a].x - p[b].x; };
            std::printf("%s  %+6.1f %+6.1f %+6.1f %+6.1f   %+6.1f %+6.1f     %+6.1f %+6.1f\n",
                        qPrintable(f.id), out(lm::P13, -1), out(lm::P14, 1), out(lm::P21, -1),
                        out(lm::P22, 1), margin(f.found, lm::P4, lm::P21, lm::P22),
                        margin(f.lab, lm::P4, lm::P21, lm::P22),
                        margin(f.found, lm::P16, lm::P17, lm::P18),
                        margin(f.lab, lm::P16, lm::P17, lm::P18));
        }
    }
    if (!signedOf.empty()) {
        std::printf("\nfound - lab (dx, dy)\nface ");
        for (int i : signedOf)
            std::printf("  P%-2d dx    dy  ", i + 1);
        std::printf("\n");
        std::vector<std::vector<double>> dxs(signedOf.size()), dys(signedOf.size());
        for (const Face& f : faces) {
            std::printf("%s ", qPrintable(f.id));
            for (std::size_t k = 0; k < signedOf.size(); ++k) {
                const auto i = static_cast<std::size_t>(signedOf[k]);
                dxs[k].push_back(f.found[i].x - f.lab[i].x);
                dys[k].push_back(f.found[i].y - f.lab[i].y);
                std::printf("  %+6.2f %+6.2f%c", dxs[k].back(), dys[k].back(),
                            f.marked[i] ? '*' : ' ');
            }
            std::printf("\n");
        }
        std::printf("median");
        for (std::size_t k = 0; k < signedOf.size(); ++k)
            std::printf(" %+6.2f %+6.2f ", percentile(dxs[k], 0.5), percentile(dys[k], 0.5));
        std::printf("\n");
    }
    return 0;
}
