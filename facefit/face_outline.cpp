#include "face_outline.hpp"

#include "backdrop.hpp"
#include "face_points.hpp"
#include "hairline.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace veidora::facefit {

namespace {

// The heights the sample face marks, as shares between two heights of the face: the cheeks
// 0.137 of the way from the outer eye corners down to the nose base (the cheekbone), the jaw
// 0.253 (left) and 0.232 (right) of the way from the mouth corners down to the chin (the
// bottom of the lower lip).
constexpr double kCheekLevel = 0.137;
constexpr double kJawLevelLeft = 0.253, kJawLevelRight = 0.232;

// The jaw's edge is looked for this far either side of the model's jaw line (eye distances):
// the model's points stray by a few hundredths inwards, never by a quarter.
constexpr double kReachInside = 0.15, kReachOutside = 0.2;
// Samples per eye distance along the row, and the rows above and below averaged into it.
constexpr int kSamplesPerUnit = 128;
constexpr double kBand = 0.02;
constexpr int kBandRows = 5;
// What lies beyond the skin's edge lasts at least this far (a thin shadow or a strand of hair
// across the jaw is crossed).
constexpr double kBeyondRun = 0.05;
// A silhouette this far beyond the model's jaw line (eye distances) is the neck's, not the
// jaw's; the shading step across the jaw is then read over this width on either side and must
// change the brightness by this many levels (of 255).
constexpr double kNeckGap = 0.06;
constexpr double kShadeWidth = 0.03;
constexpr float kLeastJawStep = 8;
// The jaw is moved at most this far (eye distances) off the model's jaw line towards the edge
// seen: on studio portraits the model's line lies within it of the hand-marked jaw on most faces,
// while an edge seen further off is most often something else (the neck's silhouette below a jaw
// that turns in, a strand of hair, the shadow under the jaw read as its edge).
constexpr double kJawTrust = 0.025;

// At the cheekbone the face's side meets hair, the ear's groove or the backdrop, and each shows
// as the brightness falling outwards: the cheek's edge is where that fall ends. It is looked for
// this far inside and outside the model's line (eye distances): the model's first jaw points
// lie within a tenth of the edge, and an ear's own rim begins beyond that.
constexpr double kCheekInside = 0.1, kCheekOutside = 0.08;
// The fall is read as the mean log brightness over this many samples either side (a
// fiftieth of an eye distance, wider than a single pixel's noise at any size the search reads),
// and counts where it darkens by at least 11 % (e^-0.12): a cheek's own shading falls more gently.
constexpr int kFallHalf = 3;
constexpr double kLeastFall = 0.12;
// The fall's end: where the brightness has come this share of the way from the lit side down
// to the darkest just beyond.
constexpr double kFallEnd = 0.3;

double heightOf(const Frame& fr, const FacePoints& face, int a, int b) {
    return (fr.toFace(face[static_cast<std::size_t>(a)]).y +
            fr.toFace(face[static_cast<std::size_t>(b)]).y) /
           2;
}

// Along the row at `y` from `from` outwards by `side`: in each sample, the share of skin and
// the share of anything but the backdrop.
struct Row {
    std::vector<float> skin;
    std::vector<float> notBackdrop;
    std::vector<float> luma;
};
Row readRow(const Pixels& px, const Frame& fr, const SkinModel& skin,
            std::span<const Shade> backdrop, double from, double y, int side, int samples) {
    Row out;
    for (int i = 0; i < samples; ++i) {
        const double x = from + side * static_cast<double>(i) / kSamplesPerUnit;
        int isSkin = 0, seen = 0, other = 0;
        float luma = 0;
        for (int r = 0; r < kBandRows; ++r) {
            const double dy = kBand * (2.0 * r / (kBandRows - 1) - 1);
            float c[3];
            if (!px.bilinear(fr.toImage(x, y + dy), c))
                continue;
            ++seen;
            const Shade sh = shadeOf(c[0], c[1], c[2]);
            luma += sh.y;
            isSkin += skin.contains(sh);
            other += !isBackdrop(sh, backdrop);
        }
        if (seen == 0)
            break; // the picture's edge
        out.skin.push_back(static_cast<float>(isSkin) / static_cast<float>(seen));
        out.notBackdrop.push_back(static_cast<float>(other) / static_cast<float>(seen));
        out.luma.push_back(luma / static_cast<float>(seen));
    }
    return out;
}

// Along a row of brightness, the strongest fall outwards between `first` and `last` (samples),
// if it is a clear one: where the fall ends, in samples, interpolated.
std::optional<double> fallEnd(std::span<const float> luma, int first, int last) {
    const int n = static_cast<int>(luma.size());
    std::vector<double> logs(luma.size());
    for (std::size_t i = 0; i < luma.size(); ++i)
        logs[i] = std::log(std::max(luma[i], kDarkest));
    const auto meanOf = [&](int from, int count) {
        double sum = 0;
        for (int k = 0; k < count; ++k)
            sum += logs[static_cast<std::size_t>(from + k)];
        return sum / count;
    };
    int at = -1;
    double strongest = -kLeastFall;
    for (int i = std::max(first, kFallHalf); i <= std::min(last, n - kFallHalf); ++i) {
        const double fall = meanOf(i, kFallHalf) - meanOf(i - kFallHalf, kFallHalf);
        if (fall < strongest) {
            strongest = fall;
            at = i;
        }
    }
    if (at < 0)
        return std::nullopt;
    const double lit = meanOf(at - kFallHalf, kFallHalf);
    double dark = logs[static_cast<std::size_t>(at)];
    for (int k = at; k < std::min(n, at + 2 * kFallHalf + 1); ++k)
        dark = std::min(dark, logs[static_cast<std::size_t>(k)]);
    const double end = dark + kFallEnd * (lit - dark);
    for (int j = at; j < n; ++j) {
        const double here = logs[static_cast<std::size_t>(j)];
        if (here > end)
            continue;
        const double before = logs[static_cast<std::size_t>(j - 1)];
        return j - 1 + (before - end) / (before - here);
    }
    return std::nullopt;
}

// Where the backdrop begins well outside the model's jaw line, the neck fills the gap and the
// jaw's edge is the shading step across it (the jaw lit, the neck in its shadow, or the other
// way): the strongest step in brightness between the line's inner reach and the silhouette, if
// it is a clear one. `line` and `silhouette` in samples along the row.
std::optional<double> jawOverNeck(std::span<const float> luma, double line, double silhouette) {
    const double gap = kNeckGap * kSamplesPerUnit;
    if (silhouette - line < gap)
        return std::nullopt;
    const int half = std::max(1, static_cast<int>(std::lround(kShadeWidth * kSamplesPerUnit)));
    const int last = static_cast<int>(silhouette) - half;
    std::optional<double> best;
    float strongest = kLeastJawStep;
    for (int i = half; i <= last && i + half < static_cast<int>(luma.size()); ++i) {
        // Mean brightness over `half` samples on either side.
        float inner = 0, outer = 0;
        for (int k = 1; k <= half; ++k) {
            inner += luma[static_cast<std::size_t>(i - k)];
            outer += luma[static_cast<std::size_t>(i + k - 1)];
        }
        const float step = std::abs(inner - outer) / static_cast<float>(half);
        if (step > strongest) {
            strongest = step;
            best = i;
        }
    }
    return best;
}

// The model's jaw line at `y`, moved towards the face's edge when one shows near it: where the
// backdrop begins or, against hair or the neck, where the skin ends.
Point jawEdge(const Pixels& px, const Frame& fr, const FacePoints& face,
              const std::optional<SkinModel>& skin, std::span<const Shade> backdrop, double y,
              int side) {
    const std::optional<Point> line = jawLineAt(fr, face, y, side);
    const Point start = line ? *line : fr.toFace(face[face68::kChin]);
    if (!skin || !line)
        return fr.toImage(start.x, start.y);
    const double from = start.x - side * kReachInside;
    const int samples =
        static_cast<int>(std::lround((kReachInside + kReachOutside) * kSamplesPerUnit)) + 1;
    const Row row = readRow(px, fr, *skin, backdrop, from, y, side, samples);
    const int run = static_cast<int>(std::lround(kBeyondRun * kSamplesPerUnit));
    std::optional<double> end = skinEnd(row.notBackdrop, run);
    if (end) {
        if (const auto over = jawOverNeck(row.luma, kReachInside * kSamplesPerUnit, *end))
            end = over;
    } else {
        end = skinEnd(row.skin, run);
    }
    if (!end)
        return fr.toImage(start.x, start.y);
    const double moved = std::clamp(*end / kSamplesPerUnit - kReachInside, -kJawTrust, kJawTrust);
    return fr.toImage(start.x + side * moved, y);
}

// The model's line at the cheekbone's height `y`, moved onto the end of the brightness's fall
// there when one shows. Above the model's first jaw point the face's side runs about straight
// up, so the line continues from it upright.
Point cheekEdge(const Pixels& px, const Frame& fr, const FacePoints& face,
                const std::optional<SkinModel>& skin, std::span<const Shade> backdrop, double y,
                int side) {
    const std::optional<Point> line = jawLineAt(fr, face, y, side);
    const double x =
        line ? line->x : fr.toFace(face[side < 0 ? face68::kJawFirst : face68::kJawLast]).x;
    if (!skin)
        return fr.toImage(x, y);
    // The row reaches the fall's half width and its end's search beyond the reach both ways.
    constexpr int kMargin = 2 * kFallHalf;
    const int reach =
        static_cast<int>(std::lround((kCheekInside + kCheekOutside) * kSamplesPerUnit));
    const double from = x - side * (kCheekInside + static_cast<double>(kMargin) / kSamplesPerUnit);
    const Row row = readRow(px, fr, *skin, backdrop, from, y, side, reach + 2 * kMargin + 1);
    const std::optional<double> end = fallEnd(row.luma, kMargin, kMargin + reach);
    if (!end)
        return fr.toImage(x, y);
    return fr.toImage(from + side * *end / kSamplesPerUnit, y);
}

} // namespace

std::optional<Point> jawLineAt(const Frame& fr, const FacePoints& face, double y, int side) {
    // From the ear down to the chin on that side.
    const int first = side < 0 ? face68::kJawFirst : face68::kJawLast;
    const int step = side < 0 ? 1 : -1;
    for (int i = first; i != face68::kChin; i += step) {
        const Point a = fr.toFace(face[static_cast<std::size_t>(i)]);
        const Point b = fr.toFace(face[static_cast<std::size_t>(i + step)]);
        if ((a.y - y) * (b.y - y) <= 0 && a.y != b.y) {
            const double t = (y - a.y) / (b.y - a.y);
            return Point{a.x + t * (b.x - a.x), y};
        }
    }
    return std::nullopt;
}

OutlinePoints findOutline(const Pixels& px, const Frame& fr, const FacePoints& face,
                          const std::optional<SkinModel>& skin, std::span<const Shade> backdrop) {
    const double eyes = heightOf(fr, face, face68::kLeftEyeOuter, face68::kRightEyeOuter);
    const double noseBase = fr.toFace(face[face68::kNoseBase]).y;
    const double mouth = heightOf(fr, face, face68::kMouthLeft, face68::kMouthRight);
    const double chin = fr.toFace(face[face68::kChin]).y;
    const double cheek = eyes + kCheekLevel * (noseBase - eyes);
    OutlinePoints out;
    out.cheekLeft = cheekEdge(px, fr, face, skin, backdrop, cheek, -1);
    out.cheekRight = cheekEdge(px, fr, face, skin, backdrop, cheek, 1);
    out.jawLeft = jawEdge(px, fr, face, skin, backdrop, mouth + kJawLevelLeft * (chin - mouth), -1);
    out.jawRight =
        jawEdge(px, fr, face, skin, backdrop, mouth + kJawLevelRight * (chin - mouth), 1);
    return out;
}

} // namespace veidora::facefit
