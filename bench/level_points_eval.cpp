// How well the profile's levelling points are found on the hand-marked development profiles:
//   level_points_eval <londonset folder> <marks JSON> [--dump] [--draw <folder>]
//                     [--tilts <file>] [--as-taken] [--oracle] [--grown]
// Each photo is searched as taken and turned by -8, -4, 4 and 8 degrees (turned and decoded as
// the window does it). Prints, per photo, whether the lid and the ear's opening were found and
// how far from the hand marks (photo pixels), and whether the turned photo's line moved by the
// turn within a degree; then the totals, and the finder's time against the side search's.
// --dump adds the side search's landmarks and the marks in the head's frame; --draw writes each
// photo as taken with the marks (green) and the points found (red), and skips the turns;
// --as-taken skips the turns; --tilts writes the tilt the page would be given for each photo and
// turn, for levelling_check; with --oracle those tilts come from the hand marks turned along
// with the photo instead of the points found (what a perfect finder would set). A turned photo
// keeps its own frame (turned about its centre, the corners in the backdrop's colour), as a
// camera held at an angle gives; --grown turns it onto a canvas that holds it whole instead.
#include "level_frame.hpp"
#include "level_helix.hpp"
#include "level_points.hpp"
#include "levelling.hpp"
#include "profile_finder.hpp"
#include "sample_defaults.hpp"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

using veidora::facefit::Point;

constexpr std::array<int, 4> kTurns{-8, -4, 4, 8};
// The window decodes a profile to this longer side before searching it.
constexpr int kDecoded = 1028;
// A point found further than this from its hand mark (photo pixels) counts as wrongly found:
// well outside the reading error of the marks and the size of the feature.
constexpr double kWrong = 25;

struct Searched {
    QImage decoded;
    veidora::facefit::ProfileResult profile;
    veidora::facefit::LevelPoints points;
    double scale = 1;     // decoded pixels per photo pixel
    QTransform toPicture; // photo pixels to the turned photo's pixels
    double searchSeconds = 0, levelSeconds = 0;
};

Searched search(const QImage& photo, int turn, bool grown) {
    Searched s;
    QImage turned = photo;
    if (turn != 0 && grown) {
        const QTransform rot = QTransform().rotate(turn);
        const QImage t =
            photo.convertToFormat(QImage::Format_ARGB32).transformed(rot, Qt::SmoothTransformation);
        turned = QImage(t.size(), QImage::Format_RGB32);
        turned.fill(photo.pixelColor(2, 2));
        QPainter(&turned).drawImage(0, 0, t);
        s.toPicture = QImage::trueMatrix(rot, photo.width(), photo.height());
    } else if (turn != 0) {
        const QPointF c(photo.width() / 2.0, photo.height() / 2.0);
        s.toPicture = QTransform().translate(c.x(), c.y()).rotate(turn).translate(-c.x(), -c.y());
        turned = QImage(photo.size(), QImage::Format_RGB32);
        turned.fill(photo.pixelColor(2, 2));
        QPainter p(&turned);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.setTransform(s.toPicture);
        p.drawImage(0, 0, photo);
    }
    const QImage decoded =
        turned.scaled(kDecoded, kDecoded, Qt::KeepAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB888);
    s.scale = double(decoded.width()) / turned.width();
    s.decoded = decoded;
    const veidora::facefit::ColourView view{decoded.constBits(), decoded.width(), decoded.height(),
                                            decoded.bytesPerLine(), 3};
    const auto t0 = std::chrono::steady_clock::now();
    s.profile = veidora::facefit::findProfile(view, veidora::facefit::sideDefaults());
    const auto t1 = std::chrono::steady_clock::now();
    if (s.profile.found)
        s.points = veidora::facefit::findLevelPoints(view, s.profile);
    const auto t2 = std::chrono::steady_clock::now();
    s.searchSeconds = std::chrono::duration<double>(t1 - t0).count();
    s.levelSeconds = std::chrono::duration<double>(t2 - t1).count();
    return s;
}

// A hand mark in the searched picture's pixels.
Point toSearched(const Searched& s, Point mark) {
    const QPointF p = s.toPicture.map(QPointF(mark.x, mark.y));
    return {p.x() * s.scale, p.y() * s.scale};
}

double distance(Point a, Point b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

std::optional<Point> markOf(const QJsonObject& o, const char* key) {
    const QJsonArray a = o[key].toArray();
    if (a.size() != 2)
        return std::nullopt;
    return Point{a[0].toDouble(), a[1].toDouble()};
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: level_points_eval <londonset> <marks.json> [--dump] "
                             "[--draw <folder>] [--tilts <file>] [--as-taken] [--oracle] "
                             "[--grown]\n");
        return 2;
    }
    const std::string set = argv[1];
    bool dump = false, turns = true, oracle = false, grown = false;
    std::string drawTo;
    FILE* tilts = nullptr;
    for (int a = 3; a < argc; ++a) {
        const std::string option = argv[a];
        if (option == "--dump")
            dump = true;
        else if (option == "--as-taken")
            turns = false;
        else if (option == "--oracle")
            oracle = true;
        else if (option == "--grown")
            grown = true;
        else if (option == "--draw" && a + 1 < argc)
            drawTo = argv[++a];
        else if (option == "--tilts" && a + 1 < argc && !(tilts = std::fopen(argv[++a], "w"))) {
            std::fprintf(stderr, "cannot write %s\n", argv[a]);
            return 2;
        }
    }
    // The tilt the page would be set to for a search's points ("-": none), as levelling_check
    // --tilts reads it.
    const auto writeTilt = [&](const char* side, const std::string& id, int turn, const Searched& s,
                               const std::optional<Point>& eyeMark,
                               const std::optional<Point>& earMark) {
        if (!tilts)
            return;
        veidora::facefit::LevelPoints points = s.points;
        if (oracle) {
            points = {};
            if (eyeMark && earMark) {
                points.eye = toSearched(s, *eyeMark);
                points.ear = toSearched(s, *earMark);
            }
        }
        const auto levelling =
            s.profile.found ? veidora::facefit::profileLevelling(points, s.profile.facing, -20, 20)
                            : std::nullopt;
        const std::string tilt = levelling ? std::to_string(levelling->tilt) : "-";
        std::fprintf(tilts, "%s/%s %d %s\n", side, id.c_str(), turn, tilt.c_str());
    };
    QFile f(QString::fromLocal8Bit(argv[2]));
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 2;
    }
    const QJsonObject marks = QJsonDocument::fromJson(f.readAll()).object();
    int photos = 0, placed = 0, earShows = 0;
    int eyeFound = 0, earFound = 0, eyeWrong = 0, earWrong = 0, eyeMarked = 0, earMarked = 0;
    int bothFound = 0, earUnmarkedFound = 0;
    int turnCases = 0, turnOk = 0, turnFound = 0;
    std::vector<double> eyeErr, earErr, slopeErr;
    double searchTime = 0, levelTime = 0;
    for (const char* side : {"left", "right"}) {
        const QJsonObject s = marks[side].toObject();
        for (auto it = s.begin(); it != s.end(); ++it) {
            const std::string id = it.key().toStdString();
            const QImage photo(
                QString::fromStdString(set + "/profile_" + side + "/" + id + ".jpg"));
            if (photo.isNull())
                continue;
            ++photos;
            const auto eyeMark = markOf(it.value().toObject(), "eye");
            const auto earMark = markOf(it.value().toObject(), "ear");
            const Searched taken = search(photo, 0, grown);
            writeTilt(side, id, 0, taken, eyeMark, earMark);
            searchTime += taken.searchSeconds;
            levelTime += taken.levelSeconds;
            std::printf("%s %-5s", id.c_str(), side);
            if (!taken.profile.found) {
                std::printf(" no profile\n");
                continue;
            }
            ++placed;
            eyeMarked += eyeMark.has_value();
            earMarked += earMark.has_value();
            const auto& lp = taken.points;
            const auto report = [&](const char* name, const std::optional<Point>& at,
                                    const std::optional<Point>& mark, int& found, int& wrong,
                                    std::vector<double>& err) {
                std::printf(" %s", name);
                if (!at) {
                    std::printf(" -       ");
                    return;
                }
                ++found;
                if (!mark) {
                    std::printf(" unmarked");
                    return;
                }
                const double d = distance(*at, toSearched(taken, *mark)) / taken.scale;
                err.push_back(d);
                wrong += d > kWrong;
                std::printf(" %5.1f%s ", d, d > kWrong ? "!" : " ");
                if (const auto fr = veidora::facefit::level::frameOf(taken.profile)) {
                    const Point a = fr->toFrame(*at), b = fr->toFrame(toSearched(taken, *mark));
                    std::printf("(%+.3f %+.3f) ", a.x - b.x, a.y - b.y);
                }
            };
            report("eye", lp.eye, eyeMark, eyeFound, eyeWrong, eyeErr);
            report("ear", lp.ear, earMark, earFound, earWrong, earErr);
            if (lp.ear && !earMark)
                ++earUnmarkedFound;
            const auto slope0 = veidora::facefit::levelLineSlope(lp);
            if (slope0 && eyeMark && earMark) {
                ++bothFound;
                const double hand = *veidora::facefit::slopeDegrees(toSearched(taken, *eyeMark),
                                                                    toSearched(taken, *earMark));
                // Mirrored pictures read the slope the other way; both are as given here.
                slopeErr.push_back(std::abs(*slope0 - hand));
                std::printf(" slope %5.1f hand %5.1f", *slope0, hand);
            }
            if (dump) {
                const auto& p = taken.profile.points;
                std::printf(
                    "\n   S4 %.0f,%.0f S8 %.0f,%.0f S9 %.0f,%.0f S15 %.0f,%.0f S6 %.0f,%.0f "
                    "S1 %.0f,%.0f facing %s",
                    p[3].x, p[3].y, p[7].x, p[7].y, p[8].x, p[8].y, p[14].x, p[14].y, p[5].x,
                    p[5].y, p[0].x, p[0].y,
                    taken.profile.facing == veidora::facefit::Facing::Left ? "L" : "R");
                if (eyeMark) {
                    const Point e = toSearched(taken, *eyeMark);
                    std::printf(" eye %.0f,%.0f", e.x, e.y);
                }
                if (earMark) {
                    const Point e = toSearched(taken, *earMark);
                    std::printf(" ear %.0f,%.0f", e.x, e.y);
                }
                if (const auto fr = veidora::facefit::level::frameOf(taken.profile)) {
                    std::printf("\n   FRAME unit %.1f", fr->unit);
                    if (eyeMark) {
                        const Point e = fr->toFrame(toSearched(taken, *eyeMark));
                        std::printf(" eyeF %.3f %.3f", e.x, e.y);
                    }
                    if (earMark) {
                        const Point e = fr->toFrame(toSearched(taken, *earMark));
                        std::printf(" earF %.3f %.3f", e.x, e.y);
                        // Where the hand-marked opening lies in the outline found, in the
                        // typical ear's half sizes.
                        const veidora::facefit::ColourView view{
                            taken.decoded.constBits(), taken.decoded.width(),
                            taken.decoded.height(), taken.decoded.bytesPerLine(), 3};
                        if (const auto o = veidora::facefit::level::findEarOutline(view, *fr))
                            std::printf(" OUTLINE %.3f %.3f s %.2f str %.1f IN %.2f %.2f",
                                        o->centre.x, o->centre.y, o->scale, o->strength,
                                        (e.x - o->centre.x) /
                                            (o->scale * veidora::facefit::level::kEarHalfWidth),
                                        (e.y - o->centre.y) /
                                            (o->scale * veidora::facefit::level::kEarHalfHeight));
                        else
                            std::printf(" OUTLINE -");
                    }
                }
            }
            if (!drawTo.empty()) {
                QImage img = taken.decoded.convertToFormat(QImage::Format_RGB32);
                QPainter painter(&img);
                const auto mark = [&](std::optional<Point> p, QColor c) {
                    if (!p)
                        return;
                    painter.setPen(QPen(c, 2));
                    painter.drawEllipse(QPointF(p->x, p->y), 5, 5);
                };
                mark(eyeMark ? std::optional(toSearched(taken, *eyeMark)) : std::nullopt,
                     Qt::green);
                mark(earMark ? std::optional(toSearched(taken, *earMark)) : std::nullopt,
                     Qt::green);
                mark(lp.eye, Qt::red);
                mark(lp.ear, Qt::red);
                // The ear's outline found (blue).
                const veidora::facefit::ColourView view{
                    taken.decoded.constBits(), taken.decoded.width(), taken.decoded.height(),
                    taken.decoded.bytesPerLine(), 3};
                const auto fr = veidora::facefit::level::frameOf(taken.profile);
                const auto o =
                    fr ? veidora::facefit::level::findEarOutline(view, *fr) : std::nullopt;
                if (o) {
                    QPolygonF outline;
                    for (int k = 0; k <= 48; ++k) {
                        const double t = k * 2 * 3.14159265358979 / 48;
                        const Point q = fr->toPicture(
                            {o->centre.x +
                                 o->scale * veidora::facefit::level::kEarHalfWidth * std::cos(t),
                             o->centre.y +
                                 o->scale * veidora::facefit::level::kEarHalfHeight * std::sin(t)});
                        outline << QPointF(q.x, q.y);
                    }
                    painter.setPen(QPen(Qt::blue, 2));
                    painter.drawPolyline(outline);
                }
                painter.end();
                img.save(QString::fromStdString(drawTo + "/" + side + id + ".png"));
            }
            // Drawing is for looking: the turned photos are left out.
            if (earMark && drawTo.empty() && turns) {
                ++earShows;
                std::printf(" |");
                for (int turn : kTurns) {
                    const Searched t = search(photo, turn, grown);
                    writeTilt(side, id, turn, t, eyeMark, earMark);
                    const auto slope =
                        t.profile.found ? veidora::facefit::levelLineSlope(t.points) : std::nullopt;
                    ++turnCases;
                    // The turned line slopes by the turn more (clockwise: falls further).
                    const bool ok = slope && slope0 && std::abs(*slope - *slope0 - turn) <= 1;
                    turnFound += slope.has_value();
                    turnOk += ok;
                    // Which point moved: the turned photo's points back on the photo as taken.
                    const auto back = [&](const Searched& from, std::optional<Point> p) {
                        const QPointF q = from.toPicture.inverted().map(
                            QPointF(p->x / from.scale, p->y / from.scale));
                        return Point{q.x(), q.y()};
                    };
                    std::string moved;
                    if (slope && lp.eye && lp.ear) {
                        if (distance(back(t, t.points.eye), back(taken, lp.eye)) > 6)
                            moved += "e";
                        if (distance(back(t, t.points.ear), back(taken, lp.ear)) > 6)
                            moved += "a";
                    }
                    // "?": found on the turned photo only, nothing to compare with.
                    if (slope && slope0)
                        std::printf(" %+d:%+.1f%s%s", turn, *slope - *slope0 - turn, ok ? "" : "!",
                                    moved.c_str());
                    else
                        std::printf(" %+d:%s", turn, slope ? "?" : "-");
                }
            }
            std::printf("\n");
            std::fflush(stdout);
        }
    }
    const auto median = [](std::vector<double> v) {
        if (v.empty())
            return 0.0;
        std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
        return v[v.size() / 2];
    };
    std::printf("photos %d, profile found %d\n", photos, placed);
    std::printf("eye: found %d of %d marked (wrong > %.0f px: %d), median error %.1f px\n",
                eyeFound, eyeMarked, kWrong, eyeWrong, median(eyeErr));
    std::printf("ear: found %d of %d marked (wrong > %.0f px: %d), median error %.1f px; "
                "found where unmarked: %d\n",
                earFound, earMarked, kWrong, earWrong, median(earErr), earUnmarkedFound);
    std::printf("both found %d, median slope error against the marks %.1f deg\n", bothFound,
                median(slopeErr));
    std::printf("turned, where the ear shows: %d cases, line found %d, within 1 deg of the turn "
                "%d (%.0f %%)\n",
                turnCases, turnFound, turnOk, turnCases ? 100.0 * turnOk / turnCases : 0.0);
    std::printf("time: side search %.3f s, levelling points %.3f s (%.0f %% of the search)\n",
                searchTime, levelTime, searchTime > 0 ? 100 * levelTime / searchTime : 0.0);
    if (tilts)
        std::fclose(tilts);
    return 0;
}
