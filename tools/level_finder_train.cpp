// Trains HOG detectors for the ear's opening and the eye's lower lid on the hand-marked
// profiles, and checks them by cross-validation (folds by person, so neither side of a test
// face was trained on):
//   level_finder_train <londonset folder> <marks JSON> [model folder]
// Prints, per photo and in total: found or not, the error of each found point against the
// hand mark, and for the photo turned by -8, -4, 4 and 8 degrees whether the levelling tilt
// found moves by the turn within a degree. --tilts writes the tilt found for each photo and
// turn ("-": none), for levelling_check; --models also trains on all photos and writes
// ear.svm and eye.svm there.
#include <dlib/image_io.h>
#include <dlib/image_processing.h>
#include <dlib/image_transforms.h>
#include <dlib/svm_threaded.h>

#include "profile_finder.hpp"
#include "sample_defaults.hpp"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

using Gray = dlib::array2d<unsigned char>;
using Scanner = dlib::scan_fhog_pyramid<dlib::pyramid_down<6>>;
using Detector = dlib::object_detector<Scanner>;

// The photos are searched at half size: the ear and the eye still span several HOG cells.
constexpr double kScale = 0.5;
// The part of the studio photo (full pixels) that holds the head; what lies around it in
// the crop (hair, sideburns, cheek, neck) is what the detectors learn to reject.
constexpr long kCropX = 150, kCropY = 350, kCropW = 800, kCropH = 600;
// Detection windows (half-size pixels) and where the marked point lies in them.
struct Part {
    const char* name;
    long w, h;   // window
    long dx, dy; // the mark from the window's top left corner
    long rx, ry; // half the window the point settles in
};
constexpr Part kEar{"ear", 64, 96, 16, 52, 8, 10};
constexpr Part kEye{"eye", 64, 48, 32, 34, 8, 5};
constexpr bool kSettle = true;
constexpr int kFolds = 5;
constexpr double kTurns[] = {-8, -4, 4, 8};
constexpr double kPi = 3.14159265358979323846;

// The size the window decodes a profile at (its longer side), which the side search gets.
constexpr int kDecoded = 1028;

struct Photo {
    std::string id, side;
    QImage decoded;                       // as the window decodes it, for the side search's time
    Gray crop;                            // left-facing, half size
    std::optional<dlib::dpoint> ear, eye; // in the crop's pixels
};

dlib::dpoint toCrop(double x, double y) {
    return {(x - kCropX) * kScale, (y - kCropY) * kScale};
}

// Turns `in` by `deg` clockwise about its centre, keeping its size.
Gray turned(const Gray& in, double deg) {
    Gray out(in.nr(), in.nc());
    const double a = deg * kPi / 180, c = std::cos(a), s = std::sin(a);
    const double cx = (in.nc() - 1) / 2.0, cy = (in.nr() - 1) / 2.0;
    for (long y = 0; y < out.nr(); ++y)
        for (long x = 0; x < out.nc(); ++x) {
            // The source of each output pixel: the inverse turn.
            const double sx = cx + (x - cx) * c + (y - cy) * s;
            const double sy = cy - (x - cx) * s + (y - cy) * c;
            const long x0 = long(std::floor(sx)), y0 = long(std::floor(sy));
            if (x0 < 0 || y0 < 0 || x0 + 1 >= in.nc() || y0 + 1 >= in.nr()) {
                out[y][x] = 200; // the studio's backdrop
                continue;
            }
            const double fx = sx - x0, fy = sy - y0;
            const double v = (1 - fy) * ((1 - fx) * in[y0][x0] + fx * in[y0][x0 + 1]) +
                             fy * ((1 - fx) * in[y0 + 1][x0] + fx * in[y0 + 1][x0 + 1]);
            out[y][x] = static_cast<unsigned char>(std::lround(v));
        }
    return out;
}

dlib::dpoint turnedPoint(dlib::dpoint p, long w, long h, double deg) {
    const double a = deg * kPi / 180, c = std::cos(a), s = std::sin(a);
    const double cx = (w - 1) / 2.0, cy = (h - 1) / 2.0;
    return {cx + (p.x() - cx) * c - (p.y() - cy) * s, cy + (p.x() - cx) * s + (p.y() - cy) * c};
}

dlib::rectangle boxAt(dlib::dpoint p, const Part& part) {
    const long l = std::lround(p.x()) - part.dx, t = std::lround(p.y()) - part.dy;
    return dlib::rectangle(l, t, l + part.w - 1, t + part.h - 1);
}

Detector train(const std::vector<const Photo*>& photos, const Part& part) {
    dlib::array<Gray> images;
    std::vector<std::vector<dlib::rectangle>> boxes;
    for (const Photo* p : photos) {
        const auto mark = part.name == kEar.name ? p->ear : p->eye;
        // A photo whose mark is missing is left out: its feature may be there unmarked.
        if (!mark)
            continue;
        // Slightly turned copies, so a tilted head is met as well as an upright one.
        for (double deg : {-6.0, 0.0, 6.0}) {
            Gray img = deg == 0 ? Gray() : turned(p->crop, deg);
            if (deg == 0)
                dlib::assign_image(img, p->crop);
            images.push_back(std::move(img));
            boxes.push_back({boxAt(turnedPoint(*mark, p->crop.nc(), p->crop.nr(), deg), part)});
        }
    }
    Scanner scanner;
    scanner.set_detection_window_size(part.w, part.h);
    scanner.set_max_pyramid_levels(2);
    dlib::structural_object_detection_trainer<Scanner> trainer(scanner);
    trainer.set_num_threads(2);
    trainer.set_c(1);
    trainer.set_epsilon(0.01);
    dlib::remove_unobtainable_rectangles(trainer, images, boxes);
    return trainer.train(images, boxes);
}

struct Hit {
    dlib::dpoint at;
    double score;
};

// The detector's point moves in whole HOG cells. The hollow of the ear and the dark of the eye's
// opening are then followed to their own middle: the darkness-weighted centre of a window,
// moved onto that centre until it stays, so where the window started does not matter.
dlib::dpoint settle(const Gray& img, dlib::dpoint start, long rx, long ry) {
    dlib::dpoint at = start;
    for (int step = 0; step < 6; ++step) {
        const long x0 = std::lround(at.x()), y0 = std::lround(at.y());
        std::vector<int> values;
        for (long y = y0 - ry; y <= y0 + ry; ++y)
            for (long x = x0 - rx; x <= x0 + rx; ++x)
                if (x >= 0 && y >= 0 && x < img.nc() && y < img.nr())
                    values.push_back(img[y][x]);
        if (values.empty())
            return start;
        auto cut = values.begin() + long(values.size() / 5);
        std::nth_element(values.begin(), cut, values.end());
        const double dark = *cut;
        double sw = 0, sx = 0, sy = 0;
        for (long y = y0 - ry; y <= y0 + ry; ++y)
            for (long x = x0 - rx; x <= x0 + rx; ++x)
                if (x >= 0 && y >= 0 && x < img.nc() && y < img.nr() && img[y][x] < dark) {
                    const double w = dark - img[y][x];
                    sw += w;
                    sx += w * double(x);
                    sy += w * double(y);
                }
        if (sw <= 0)
            return at;
        const dlib::dpoint next(sx / sw, sy / sw);
        if (dlib::length(next - at) < 0.25)
            return next;
        at = next;
    }
    return at;
}

// The best-scoring detection that `fits`, its point settled.
template <class Fits>
std::optional<Hit> find(Detector& det, const Gray& img, const Part& part, Fits fits) {
    std::vector<dlib::rect_detection> dets;
    det(img, dets, -1.0);
    std::optional<Hit> best;
    for (const auto& d : dets) {
        const double k = double(d.rect.width()) / double(part.w);
        const dlib::dpoint at(d.rect.left() + part.dx * k, d.rect.top() + part.dy * k);
        if (!fits(at) || (best && best->score >= d.detection_confidence))
            continue;
        best = Hit{at, d.detection_confidence};
    }
    if (best && kSettle)
        best->at = settle(img, best->at, part.rx, part.ry);
    return best;
}
std::optional<Hit> find(Detector& det, const Gray& img, const Part& part) {
    return find(det, img, part, [](dlib::dpoint) { return true; });
}

// Where the eye may lie in front of the ear (half-size pixels): an adult head seen from the
// side at the studio's distance.
constexpr double kEyeAheadMin = 90, kEyeAheadMax = 210, kEyeRiseMax = 60;
constexpr double kEarThreshold = 0.0, kEyeThreshold = -0.4;

// The two detectors, and how far their settled points lie on average from the hand marks on
// the photos they were trained on (the hollow's and the opening's middle against the marked
// opening and lid).
struct Finder {
    Detector ear, eye;
    dlib::dpoint earShift, eyeShift;
    // The line's median slope on the training photos, whose heads the studio had upright: the
    // lid and the ear's opening are not the skull's points the standard plane runs through,
    // so an upright head's line falls towards the ear by about this much.
    double upright = 0;
};

std::optional<std::pair<Hit, Hit>> findPair(Finder& f, const Gray& img) {
    auto& ear = f.ear;
    auto& eye = f.eye;
    auto a = find(ear, img, kEar);
    if (!a || a->score < kEarThreshold)
        return std::nullopt;
    const auto e = find(eye, img, kEye, [&](dlib::dpoint p) {
        const double ahead = a->at.x() - p.x();
        return ahead >= kEyeAheadMin && ahead <= kEyeAheadMax &&
               std::abs(a->at.y() - p.y()) <= kEyeRiseMax;
    });
    if (!e || e->score < kEyeThreshold)
        return std::nullopt;
    a->at += f.earShift;
    Hit eyeHit = *e;
    eyeHit.at += f.eyeShift;
    return std::make_pair(*a, eyeHit);
}

// The line's slope in degrees (left-facing, the ear behind the eye), positive when the ear lies
// lower; once on the picture as given and once more on it levelled by the first answer, so the
// final answer comes from a nearly upright head whatever the picture's tilt.
std::optional<double> slope(Finder& f, const Gray& img) {
    double total = 0;
    Gray pass;
    dlib::assign_image(pass, img);
    for (int round = 0; round < 2; ++round) {
        const auto pair = findPair(f, pass);
        if (!pair)
            return std::nullopt;
        const Hit* a = &pair->first;
        const Hit* e = &pair->second;
        const double s = std::atan2(a->at.y() - e->at.y(), a->at.x() - e->at.x()) * 180 / kPi;
        total += s;
        if (round == 0)
            pass = turned(img, -total);
    }
    return total;
}

Finder trainFinder(const std::vector<const Photo*>& photos) {
    Finder f{train(photos, kEar), train(photos, kEye), {}, {}};
    dlib::dpoint ear, eye;
    int n = 0;
    for (const Photo* p : photos) {
        const auto pair = findPair(f, p->crop);
        if (!pair || !p->ear || !p->eye)
            continue;
        ear += *p->ear - pair->first.at;
        eye += *p->eye - pair->second.at;
        ++n;
    }
    if (n > 0) {
        f.earShift = ear / n;
        f.eyeShift = eye / n;
    }
    std::vector<double> slopes;
    for (const Photo* p : photos)
        if (p->ear && p->eye)
            slopes.push_back(std::atan2(p->ear->y() - p->eye->y(), p->ear->x() - p->eye->x()) *
                             180 / kPi);
    if (!slopes.empty()) {
        std::nth_element(slopes.begin(), slopes.begin() + long(slopes.size() / 2), slopes.end());
        f.upright = slopes[slopes.size() / 2];
    }
    return f;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: level_finder_train <londonset> <marks.json> "
                             "[--tilts file] [--models folder]\n");
        return 2;
    }
    FILE* tilts = nullptr;
    std::string models;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--tilts")
            tilts = std::fopen(argv[i + 1], "w");
        else if (std::string(argv[i]) == "--models")
            models = argv[i + 1];
    }
    const std::string set = argv[1];
    QFile f(QString::fromLocal8Bit(argv[2]));
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 2;
    }
    const QJsonObject marks = QJsonDocument::fromJson(f.readAll()).object();
    std::vector<Photo> photos;
    for (const char* side : {"left", "right"}) {
        const QJsonObject s = marks[side].toObject();
        for (auto it = s.begin(); it != s.end(); ++it) {
            Photo p;
            p.id = it.key().toStdString();
            p.side = side;
            dlib::array2d<dlib::rgb_pixel> rgb;
            dlib::load_image(rgb, set + "/profile_" + side + "/" + p.id + ".jpg");
            if (p.side == "right")
                dlib::flip_image_left_right(rgb);
            Gray full, crop;
            dlib::assign_image(
                full, dlib::sub_image(rgb, dlib::rectangle(kCropX, kCropY, kCropX + kCropW - 1,
                                                           kCropY + kCropH - 1)));
            p.crop.set_size(long(kCropH * kScale), long(kCropW * kScale));
            dlib::resize_image(full, p.crop);
            const auto point = [&](const char* key) -> std::optional<dlib::dpoint> {
                const QJsonArray a = it.value().toObject()[key].toArray();
                if (a.size() != 2)
                    return std::nullopt;
                double x = a[0].toDouble();
                if (p.side == "right")
                    x = rgb.nc() - 1 - x;
                return toCrop(x, a[1].toDouble());
            };
            p.decoded =
                QImage(QString::fromStdString(set + "/profile_" + side + "/" + p.id + ".jpg"))
                    .scaled(kDecoded, kDecoded, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                    .convertToFormat(QImage::Format_RGB32);
            p.ear = point("ear");
            p.eye = point("eye");
            photos.push_back(std::move(p));
        }
    }
    // Folds by person: both sides of a face fall into the same fold.
    std::map<std::string, int> fold;
    for (const Photo& p : photos)
        if (!fold.count(p.id))
            fold[p.id] = int(fold.size()) % kFolds;

    int earFound = 0, eyeFound = 0, earMarked = 0, eyeMarked = 0, bothFound = 0;
    std::vector<double> earErr, eyeErr, slopeErr;
    int turnOk = 0, turnAll = 0, turnMarked = 0;
    double findTime = 0, searchTime = 0;
    const auto defaults = veidora::facefit::sideDefaults();
    int finds = 0;
    for (int k = 0; k < kFolds; ++k) {
        std::vector<const Photo*> train_set;
        for (const Photo& p : photos)
            if (fold[p.id] != k)
                train_set.push_back(&p);
        Finder finder = trainFinder(train_set);
        for (const Photo& p : photos) {
            if (fold[p.id] != k)
                continue;
            const auto pair = findPair(finder, p.crop);
            auto a = find(finder.ear, p.crop, kEar);
            if (a)
                a->at += finder.earShift;
            const Hit* e = pair ? &pair->second : nullptr;
            const bool af = a && a->score >= kEarThreshold, ef = e != nullptr;
            std::printf("%s %-5s ear %s", p.id.c_str(), p.side.c_str(), af ? "found" : "-    ");
            if (af && !p.ear) // an ear the marks do not show: where, and how sure
                std::printf(" at %.0f,%.0f (score %.2f)", a->at.x() / kScale + kCropX,
                            a->at.y() / kScale + kCropY, a->score);
            if (p.ear)
                ++earMarked;
            if (p.eye)
                ++eyeMarked;
            earFound += af;
            eyeFound += ef;
            if (af && p.ear) {
                const double d = dlib::length(a->at - *p.ear) / kScale;
                earErr.push_back(d);
                std::printf(" %5.1f px", d);
            } else
                std::printf("         ");
            std::printf(" eye %s", ef ? "found" : "-    ");
            if (ef && p.eye) {
                const double d = dlib::length(e->at - *p.eye) / kScale;
                eyeErr.push_back(d);
                std::printf(" %5.1f px", d);
            } else
                std::printf("         ");
            const auto t0 = std::chrono::steady_clock::now();
            const auto s0 = slope(finder, p.crop);
            findTime +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            ++finds;
            // The side search on the same photo, as the baseline the levelling adds to.
            const auto t1 = std::chrono::steady_clock::now();
            const auto profile =
                veidora::facefit::findProfile({p.decoded.constBits(), p.decoded.width(),
                                               p.decoded.height(), p.decoded.bytesPerLine(), 4},
                                              defaults);
            searchTime +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - t1).count();
            if (!profile.found)
                std::printf(" (side search: no profile)");
            if (tilts)
                std::fprintf(tilts, "%s/%s 0 %s\n", p.side.c_str(), p.id.c_str(),
                             s0 ? std::to_string(-std::lround(*s0 - finder.upright)).c_str() : "-");
            if (s0 && p.ear && p.eye) {
                ++bothFound;
                const double hand =
                    std::atan2(p.ear->y() - p.eye->y(), p.ear->x() - p.eye->x()) * 180 / kPi;
                slopeErr.push_back(std::abs(*s0 - hand));
                std::printf(" slope %5.1f (hand %5.1f)", *s0, hand);
            }
            if (p.ear)
                for (double turn : kTurns) {
                    ++turnMarked;
                    const auto st = slope(finder, turned(p.crop, turn));
                    if (tilts)
                        // The photo as stored is turned the other way when it faces right.
                        std::fprintf(tilts, "%s/%s %g %s\n", p.side.c_str(), p.id.c_str(),
                                     p.side == "right" ? -turn : turn,
                                     st ? std::to_string(-std::lround(*st - finder.upright)).c_str()
                                        : "-");
                    if (!s0 || !st)
                        continue;
                    ++turnAll;
                    // Tilts as the page rounds them; the turned photo's must move by the turn.
                    const long tilt0 = -std::lround(*s0 - finder.upright),
                               tilt = -std::lround(*st - finder.upright);
                    const bool ok = std::abs(double(tilt - tilt0) + turn) <= 1;
                    turnOk += ok;
                    std::printf(" %+g:%s", turn, ok ? "ok" : "NO");
                }
            std::printf("\n");
        }
    }
    const auto median = [](std::vector<double> v) {
        if (v.empty())
            return 0.0;
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const auto share = [](const std::vector<double>& v, double lim) {
        return v.empty() ? 0.0
                         : 100.0 *
                               double(std::count_if(v.begin(), v.end(),
                                                    [&](double d) { return d <= lim; })) /
                               double(v.size());
    };
    std::printf("\nphotos %zu; ear found %d (marked %d), eye found %d (marked %d)\n", photos.size(),
                earFound, earMarked, eyeFound, eyeMarked);
    std::printf("ear error: median %.1f px, within 10 px %.0f%%, within 20 px %.0f%%\n",
                median(earErr), share(earErr, 10), share(earErr, 20));
    std::printf("eye error: median %.1f px, within 10 px %.0f%%, within 20 px %.0f%%\n",
                median(eyeErr), share(eyeErr, 10), share(eyeErr, 20));
    std::printf("slope against the hand marks' (%d): median %.1f deg, within 2 deg %.0f%%\n",
                bothFound, median(slopeErr), share(slopeErr, 2));
    std::printf("turned photos (ear marked %d): levelled in both %d, tilt moved by the turn "
                "within 1 deg %d (%.0f%% of the marked)\n",
                turnMarked, turnAll, turnOk, turnMarked ? 100.0 * turnOk / turnMarked : 0.0);
    std::printf("levelling's own time: %.1f ms a photo (two passes, half size); the side search "
                "%.1f ms; ratio %.2f\n",
                1000 * findTime / std::max(finds, 1), 1000 * searchTime / std::max(finds, 1),
                searchTime > 0 ? findTime / searchTime : 0.0);

    if (tilts)
        std::fclose(tilts);
    if (!models.empty()) {
        std::vector<const Photo*> all;
        for (const Photo& p : photos)
            all.push_back(&p);
        Finder f = trainFinder(all);
        dlib::serialize(models + "/ear.svm") << f.ear;
        dlib::serialize(models + "/eye.svm") << f.eye;
        std::printf("shifts (half-size pixels): ear %.2f %.2f, eye %.2f %.2f\n", f.earShift.x(),
                    f.earShift.y(), f.eyeShift.x(), f.eyeShift.y());
    }
    return 0;
}
