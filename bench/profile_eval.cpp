// How well "Rasti taškus" on the side page does on real studio profiles:
//   profile_eval [--backdrops] [londonset folder, default ../shared/londonset] [hand marks JSON,
//                default tools/profile-hand-marks.json] [overlay folder]
// Runs the shipped side search (module, mirroring, mapping onto the side rectangle) on every
// profile_left/*.jpg and profile_right/*.jpg, and prints, in the side rectangle's units:
// found or not, faced the wrong way, S1 against the top of the head's outline, the errors of
// the hand-marked landmarks, and how often the four side codes agree with the hand marks'
// codes, with the hand marks moved by 1 unit of noise, and between a person's two sides.
// --backdrops: each head cut out of its plain backdrop and laid onto generated ones (dark,
// gradients, a halo, a busy scene); found, wrong way and landmark errors per backdrop.
#include "face_fit.hpp"
#include "photo_reader.hpp"
#include "profile_finder_library.hpp"
#include "profile_fit.hpp"
#include "profile_search.hpp"
#include "side_measurement.hpp"
#include "studio_matte.hpp"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <random>
#include <vector>

using namespace veidora;
using facefit::Point;

namespace {

// The side page's photo box and drawing rectangle, and the size the window decodes at.
constexpr double kBoxX = 8, kBoxY = 8, kBoxW = 257, kBoxH = 321;
constexpr double kRectW = 561, kRectH = 377;
const QSize kDecodeBound(257 * 4, 321 * 4);

// The hand-marked landmarks (1-based) whose errors are reported.
constexpr std::array<int, 9> kMarked{1, 2, 3, 4, 7, 8, 9, 14, 15};
constexpr int kNoiseTrials = 400;

struct Run {
    bool found = false;
    bool mirror = false;
    std::array<TPointF, kSideLandmarkCount> rect{}; // as placed on the side rectangle
    std::array<bool, kSideLandmarkCount> read{};
    SideCodes codes;
    double outlineTop = 0; // the top of the picture's silhouette, rectangle units
    bool hasOutline = false;
    QString why;
};

facefit::PhotoView viewOf(QSize picture) {
    return {double(picture.width()),
            double(picture.height()),
            kBoxX,
            kBoxY,
            kBoxW,
            kBoxH,
            0,
            kRectW,
            kRectH};
}

SideCodes codesOf(const std::array<TPointF, kSideLandmarkCount>& S) {
    return measureSide(std::span<const TPointF, kSideLandmarkCount>(S), '.').codes;
}

Run runOne(const QStringList& modules, const QImage& picture) {
    Run out;
    if (picture.isNull()) {
        out.why = QStringLiteral("unreadable");
        return out;
    }
    const LandmarkSearch::Outcome o = ProfileSearch::search(modules, picture);
    out.found = o.kind == LandmarkSearch::Outcome::Found;
    out.mirror = o.mirror;
    if (!out.found) {
        out.why = o.kind == LandmarkSearch::Outcome::Failed ? o.message : QStringLiteral("none");
        return out;
    }
    const facefit::PhotoView view = viewOf(picture.size());
    for (std::size_t i = 0; i < kSideLandmarkCount; ++i) {
        // As the side page places them.
        const Point p = facefit::imageToRectangle(o.points[i], view, o.mirror);
        out.rect[i] = {float(p.x), float(p.y)};
        out.read[i] = o.found[i];
    }
    out.codes = codesOf(out.rect);
    // The silhouette's top, cut again as the search cut it (the same seeds give the same cut).
    if (const auto* entry = ProfileFinderLibrary::entry(ProfileFinderLibrary::load(modules))) {
        const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
        const facefit::ColourView cv{rgb.constBits(), rgb.width(), rgb.height(), rgb.bytesPerLine(),
                                     3};
        facefit::SilhouetteError error{};
        if (const auto outline = entry->findSilhouette(cv, &error)) {
            double top = outline->height;
            for (const Point& q : outline->points)
                top = std::min(top, q.y);
            out.hasOutline = true;
            out.outlineTop = facefit::imageToRectangle({0, top}, view).y;
        }
    }
    return out;
}

double percentile(std::vector<double> v, double q) {
    if (v.empty())
        return NAN;
    std::sort(v.begin(), v.end());
    const double at = q * double(v.size() - 1);
    const auto lo = static_cast<std::size_t>(std::floor(at));
    const auto hi = std::min(lo + 1, v.size() - 1);
    return v[lo] + (v[hi] - v[lo]) * (at - double(lo));
}

struct Agree {
    int same[5]{};
    int n = 0;
    void add(const SideCodes& a, const SideCodes& b) {
        const bool k = a.tKD == b.tKD, p = a.tKP == b.tKP, s = a.tSD == b.tSD, d = a.tND == b.tND;
        same[0] += k;
        same[1] += p;
        same[2] += s;
        same[3] += d;
        same[4] += k && p && s && d;
        ++n;
    }
    void print(const char* what) const {
        std::printf(
            "%-34s n=%3d  tKD %3.0f%%  tKP %3.0f%%  tSD %3.0f%%  tND %3.0f%%  all %3.0f%%\n", what,
            n, pc(0), pc(1), pc(2), pc(3), pc(4));
    }
    double pc(int i) const { return n ? 100.0 * same[i] / n : NAN; }
};

// A profile's hand marks: in the photo's own pixels, the scale to the decoded photo, and on the
// side rectangle as the search places them (a right profile mirrored).
struct HandMarks {
    std::array<Point, 17> pixels{};
    double scale = 1;
    std::array<TPointF, kSideLandmarkCount> rect{};
    bool hairline = false;
};

std::optional<HandMarks> handMarksOf(const QJsonObject& m, int side, const QString& path) {
    if (m.isEmpty())
        return std::nullopt;
    HandMarks out;
    const QImage probe = ui::loadPhoto(path, kDecodeBound).image;
    const QSize original = ui::loadPhoto(path, QSize(100000, 100000)).image.size();
    out.scale = double(probe.width()) / original.width();
    const facefit::PhotoView view = viewOf(probe.size());
    for (int k : kMarked) {
        const QJsonArray a = m[QStringLiteral("S%1").arg(k)].toArray();
        out.pixels[std::size_t(k - 1)] = {a[0].toDouble(), a[1].toDouble()};
        const Point q = facefit::imageToRectangle(
            {a[0].toDouble() * out.scale, a[1].toDouble() * out.scale}, view, side == 1);
        out.rect[std::size_t(k - 1)] = {float(q.x), float(q.y)};
    }
    out.hairline = m["hairline"].toBool();
    return out;
}

// A landmark's error against the hand mark, side units; S1 is a height, so only its Y counts.
double errorOf(int k, const TPointF& a, const TPointF& b) {
    return k == 1 ? std::abs(a.Y - b.Y) : std::hypot(a.X - b.X, a.Y - b.Y);
}

void overlay(const QImage& photo, const Run& r, const std::optional<std::array<Point, 17>>& hand,
             double handScale, const QString& out) {
    QImage picture = photo.convertToFormat(QImage::Format_RGB32);
    if (r.mirror)
        picture.mirror(true, false);
    const double s = std::min(kBoxW / picture.width(), kBoxH / picture.height());
    const double ox = kBoxX + (kBoxW - picture.width() * s) / 2,
                 oy = kBoxY + (kBoxH - picture.height() * s) / 2;
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const auto toPicture = [&](double x, double y) { return QPointF((x - ox) / s, (y - oy) / s); };
    for (std::size_t i = 0; i < kSideLandmarkCount && r.found; ++i) {
        p.setPen(QPen(r.read[i] ? Qt::red : QColor(255, 200, 0), 2));
        const QPointF c = toPicture(r.rect[i].X, r.rect[i].Y);
        p.drawEllipse(c, 6, 6);
        p.drawText(c + QPointF(8, -4), QStringLiteral("S%1").arg(i + 1));
    }
    if (hand) {
        p.setPen(QPen(Qt::green, 2));
        for (int k : kMarked) {
            const Point h = (*hand)[std::size_t(k - 1)];
            // The picture is drawn as the search turned it.
            const double x = h.x * handScale;
            const QPointF c(r.mirror ? picture.width() - x : x, h.y * handScale);
            p.drawLine(c - QPointF(5, 5), c + QPointF(5, 5));
            p.drawLine(c - QPointF(5, -5), c + QPointF(5, -5));
        }
    }
    p.end();
    picture.save(out);
}

// How the search does on one kind of backdrop, over all profiles.
struct Tally {
    int photos = 0, found = 0, wrongWay = 0, farOff = 0;
    std::map<int, std::vector<double>> errors;
    QStringList missed;
};

// A read (not estimated) grip further than this from the hand mark is on the wrong feature.
constexpr double kFarOff = 6;

void tallyOne(Tally& t, const Run& r, int side, const std::optional<HandMarks>& hand,
              const QString& name) {
    ++t.photos;
    const bool wrong = r.found && r.mirror != (side == 1);
    t.found += r.found;
    t.wrongWay += wrong;
    if (!r.found || wrong) {
        t.missed << name + (wrong ? QStringLiteral("(wrong way)") : QString());
        return;
    }
    if (!hand)
        return;
    bool far = false;
    for (int k : kMarked) {
        const double e = errorOf(k, r.rect[std::size_t(k - 1)], hand->rect[std::size_t(k - 1)]);
        t.errors[k].push_back(e);
        far = far || (r.read[std::size_t(k - 1)] && k != 2 && e > kFarOff);
    }
    t.farOff += far;
}

void printTally(const char* what, const Tally& t) {
    std::printf("%-37s %2d/%2d %5d %5d ", what, t.found, t.photos, t.wrongWay, t.farOff);
    for (int k : kMarked) {
        const auto it = t.errors.find(k);
        const std::vector<double> none;
        const auto& v = it == t.errors.end() ? none : it->second;
        std::printf(" %4.1f/%4.1f", percentile(v, 0.5), percentile(v, 0.9));
    }
    std::printf("\n");
}

// Each profile's head cut out of its studio backdrop and laid onto generated ones; the photo as
// taken is the baseline row. EVAL_BACKDROPS (e.g. "1,4") picks backdrops by their row number,
// EVAL_PEOPLE (e.g. "007,045") people by their id; EVAL_COMPOSITES saves the composites
// themselves beside the overlays.
int backdropEval(const QString& set, const QJsonObject& marks, const QStringList& modules,
                 const QStringList& ids, const QString& overlays) {
    std::vector<bench::Backdrop> chosen;
    const QStringList only = qEnvironmentVariable("EVAL_BACKDROPS").split(',', Qt::SkipEmptyParts);
    for (std::size_t i = 0; i < std::size(bench::kBackdrops); ++i)
        if (only.isEmpty() || only.contains(QString::number(i + 1)))
            chosen.push_back(bench::kBackdrops[i]);
    Tally asTaken;
    std::vector<Tally> tallies(chosen.size());
    const QStringList people = qEnvironmentVariable("EVAL_PEOPLE").split(',', Qt::SkipEmptyParts);
    for (const QString& file : ids) {
        const QString id = QFileInfo(file).completeBaseName();
        if (!people.isEmpty() && !people.contains(id))
            continue;
        for (int side = 0; side < 2; ++side) {
            const QString path = set + (side == 0 ? "/profile_left/" : "/profile_right/") + file;
            if (!QFile::exists(path))
                continue;
            const QString name = id + (side == 0 ? "L" : "R");
            const QImage photo = ui::loadPhoto(path, kDecodeBound).image;
            const auto hand = handMarksOf(
                marks[side == 0 ? "profile_left" : "profile_right"].toObject()[id].toObject(), side,
                path);
            tallyOne(asTaken, runOne(modules, photo), side, hand, name);
            const bench::StudioMatte matte(photo);
            if (!overlays.isEmpty())
                matte.alphaImage().save(QDir(overlays).filePath(name + "-matte.png"));
            std::printf("%s", qPrintable(name));
            for (std::size_t b = 0; b < chosen.size(); ++b) {
                // The same scene for a photo and backdrop whichever others are picked.
                const unsigned seed = unsigned(id.toInt() * 2 + side) * 16u + unsigned(chosen[b]);
                const QImage composite = matte.onto(chosen[b], seed);
                const Run r = runOne(modules, composite);
                tallyOne(tallies[b], r, side, hand, name);
                std::printf(" %s", !r.found ? "NOT" : r.mirror != (side == 1) ? "WRONG" : "ok");
                if (!overlays.isEmpty() && qEnvironmentVariableIsSet("EVAL_COMPOSITES"))
                    composite.save(QDir(overlays).filePath(
                        QStringLiteral("%1-b%2-photo.png").arg(name).arg(int(b + 1))));
                if (!overlays.isEmpty())
                    overlay(composite, r, hand ? std::optional(hand->pixels) : std::nullopt,
                            hand ? hand->scale : 1,
                            QDir(overlays).filePath(
                                QStringLiteral("%1-b%2.png").arg(name).arg(int(b + 1))));
            }
            std::printf("\n");
            std::fflush(stdout);
        }
    }
    std::printf("\nper backdrop: found, faced the wrong way, photos with a read grip more than %g "
                "units off, median/90th against the hand marks (side units)\n",
                kFarOff);
    std::printf("%-37s %5s %5s %5s ", "", "found", "wrong", "off");
    for (int k : kMarked)
        std::printf(" %9s", qPrintable(QStringLiteral("S%1").arg(k)));
    std::printf("\n");
    printTally("plain studio (as taken)", asTaken);
    for (std::size_t b = 0; b < chosen.size(); ++b)
        printTally(
            qPrintable(QStringLiteral("%1 %2").arg(int(b + 1)).arg(bench::backdropName(chosen[b]))),
            tallies[b]);
    for (std::size_t b = 0; b < chosen.size(); ++b)
        if (!tallies[b].missed.isEmpty())
            std::printf("missed on %s: %s\n", bench::backdropName(chosen[b]),
                        qPrintable(tallies[b].missed.join(' ')));
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const bool backdrops = argc > 1 && std::strcmp(argv[1], "--backdrops") == 0;
    if (backdrops) {
        --argc;
        ++argv;
    }
    const QString set =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("../shared/londonset");
    const QString marksPath = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                       : QStringLiteral("tools/profile-hand-marks.json");
    const QString overlays = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    const QStringList modules = ProfileSearch(nullptr).moduleCandidates();

    QFile marksFile(marksPath);
    QJsonObject marks;
    if (marksFile.open(QIODevice::ReadOnly))
        marks = QJsonDocument::fromJson(marksFile.readAll()).object();
    else
        std::fprintf(stderr, "no hand marks at %s\n", qPrintable(marksPath));

    const QStringList ids =
        QDir(set + "/profile_left").entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    if (ids.isEmpty()) {
        std::fprintf(stderr, "no photos in %s/profile_left\n", qPrintable(set));
        return 2;
    }

    if (backdrops)
        return backdropEval(set, marks, modules, ids, overlays);

    int photos = 0, found = 0, wrongWay = 0;
    std::vector<double> s1Top;
    std::map<int, std::vector<double>> errors; // landmark -> error, units
    std::vector<double> s2Visible;
    std::map<int, std::vector<double>> sideErrors[2]; // per profile side
    Agree handAgree, noiseAgree, sides, handSides;
    std::map<int, Agree> swapped; // hand marks with one landmark the search's
    std::mt19937 random(24);
    std::normal_distribution<double> noise(0.0, 1.0);

    for (const QString& file : ids) {
        const QString id = QFileInfo(file).completeBaseName();
        std::array<Run, 2> runs;
        std::array<std::optional<SideCodes>, 2> handCodesOf;
        for (int side = 0; side < 2; ++side) {
            const QString path = set + (side == 0 ? "/profile_left/" : "/profile_right/") + file;
            if (!QFile::exists(path))
                continue;
            Run& r = runs[std::size_t(side)];
            r = runOne(modules, ui::loadPhoto(path, kDecodeBound).image);
            ++photos;
            found += r.found;
            const bool wrong = r.found && r.mirror != (side == 1);
            wrongWay += wrong;
            std::printf("%s %-5s %-9s", qPrintable(id), side == 0 ? "left" : "right",
                        r.found ? (wrong ? "WRONGWAY" : "found") : "NOT");
            if (r.found && r.hasOutline) {
                const double d = r.rect[0].Y - r.outlineTop;
                s1Top.push_back(std::abs(d));
                std::printf(" S1-top %5.1f", d);
            }
            if (!r.found)
                std::printf(" (%s)", qPrintable(r.why.left(80)));

            std::optional<std::array<Point, 17>> hand;
            double handScale = 1;
            const QJsonObject m =
                marks[side == 0 ? "profile_left" : "profile_right"].toObject()[id].toObject();
            if (const auto marked = handMarksOf(m, side, path)) {
                handScale = marked->scale;
                hand = marked->pixels;
                auto handRect = r.rect; // unmarked landmarks read by no code taken as found
                for (int k : kMarked)
                    handRect[std::size_t(k - 1)] = marked->rect[std::size_t(k - 1)];
                const SideCodes handCodes = codesOf(handRect);
                handCodesOf[std::size_t(side)] = handCodes;
                std::printf("  hand %g%g%g%g", handCodes.tKD, handCodes.tKP, handCodes.tSD,
                            handCodes.tND);
                for (int t = 0; t < kNoiseTrials; ++t) {
                    auto moved = handRect;
                    for (int k : kMarked) {
                        auto& q = moved[std::size_t(k - 1)];
                        q = {float(q.X + noise(random)), float(q.Y + noise(random))};
                    }
                    noiseAgree.add(codesOf(moved), handCodes);
                }
                if (r.found) {
                    std::printf(" search %g%g%g%g |", r.codes.tKD, r.codes.tKP, r.codes.tSD,
                                r.codes.tND);
                    handAgree.add(r.codes, handCodes);
                    for (int k : kMarked) {
                        auto one = handRect;
                        one[std::size_t(k - 1)] = r.rect[std::size_t(k - 1)];
                        swapped[k].add(codesOf(one), handCodes);
                    }
                    for (int k : kMarked) {
                        const auto& a = r.rect[std::size_t(k - 1)];
                        const auto& b = handRect[std::size_t(k - 1)];
                        const double e = errorOf(k, a, b);
                        errors[k].push_back(e);
                        sideErrors[side][k].push_back(e);
                        if (k == 2 && m["hairline"].toBool())
                            s2Visible.push_back(e);
                        std::printf(" S%d %.1f%s", k, e, r.read[std::size_t(k - 1)] ? "" : "e");
                        if (std::getenv("EVAL_SIGNED"))
                            std::printf("(%+.0f,%+.0f)", a.X - b.X, a.Y - b.Y);
                    }
                }
            }
            std::printf("\n");
            if (!overlays.isEmpty())
                overlay(ui::loadPhoto(path, kDecodeBound).image, r, hand, handScale,
                        QDir(overlays).filePath(id + (side == 0 ? "-left.png" : "-right.png")));
        }
        if (runs[0].found && runs[1].found)
            sides.add(runs[0].codes, runs[1].codes);
        if (handCodesOf[0] && handCodesOf[1])
            handSides.add(*handCodesOf[0], *handCodesOf[1]);
    }

    std::printf("\nfound %d of %d (%.0f%%), faced the wrong way %d\n", found, photos,
                100.0 * found / photos, wrongWay);
    // A face seen from the front is no profile.
    int fronts = 0, frontsFound = 0;
    for (const QString& file :
         QDir(set + "/front").entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name)) {
        const Run r = runOne(modules, ui::loadPhoto(set + "/front/" + file, kDecodeBound).image);
        ++fronts;
        frontsFound += r.found;
        if (r.found)
            std::printf("front %s taken for a profile\n", qPrintable(file));
    }
    std::printf("front views taken for a profile: %d of %d\n", frontsFound, fronts);
    const auto within = [](const std::vector<double>& v, double limit) {
        return v.empty() ? NAN
                         : 100.0 *
                               double(std::count_if(v.begin(), v.end(),
                                                    [&](double e) { return e <= limit; })) /
                               double(v.size());
    };
    std::printf("S1 within 3 units of the outline's top: %.0f%% (median %.1f)\n", within(s1Top, 3),
                percentile(s1Top, 0.5));
    std::printf("against hand marks (units):      median   90th   within 2\n");
    for (const auto& [k, v] : errors)
        std::printf("  S%-2d n=%2zu                       %6.1f %6.1f %6.0f%%\n", k, v.size(),
                    percentile(v, 0.5), percentile(v, 0.9), within(v, 2));
    for (int side = 0; side < 2; ++side) {
        std::printf("  %s profiles, median/90th:", side == 0 ? "left " : "right");
        for (const auto& [k, v] : sideErrors[side])
            std::printf("  S%d %.1f/%.1f", k, percentile(v, 0.5), percentile(v, 0.9));
        std::printf("\n");
    }
    std::printf("  S2 where the hairline shows n=%2zu  %6.1f %6.1f\n", s2Visible.size(),
                percentile(s2Visible, 0.5), percentile(s2Visible, 0.9));
    handAgree.print("codes: search = hand marks");
    for (const auto& [k, a] : swapped)
        a.print(qPrintable(QStringLiteral("  hand marks with the search's S%1").arg(k)));
    noiseAgree.print("codes: hand marks + 1 unit noise");
    sides.print("codes: left = right (search)");
    handSides.print("codes: left = right (hand marks)");
    return 0;
}
