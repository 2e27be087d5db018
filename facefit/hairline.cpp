#include "hairline.hpp"

#include "backdrop.hpp"
#include "face_points.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace veidora::facefit {

namespace {

// A shadow or a shine this many eye distances tall is crossed; the hair above the skin's end
// must last at least as long.
constexpr double kRun = 0.15;
// Colours less saturated than this are greys; hues within 20 degrees are the same.
constexpr float kGrey = 0.05f;
const float kSameHue = static_cast<float>(std::cos(20 * std::numbers::pi / 180));
// What covers the head above the skin's end is read in this band above it, from at least this
// many cells.
constexpr double kCoverFrom = 0.03, kCoverTo = 0.18;
constexpr std::size_t kLeastCover = 8;
// Hair is shaded and lit strand by strand: its brightness varies within this ratio.
constexpr float kHairLightRange = 4;
// The hair at the temples is read along rows from this far above the brows' outer ends to this
// far below, from this far inside them outwards for at most an eye distance and this many eye
// distances of hair per row; at least this many cells of it.
constexpr double kTempleAbove = 0.35, kTempleBelow = 0.05, kTempleInside = 0.1;
constexpr double kTempleReach = 1, kTempleTake = 0.15;
constexpr std::size_t kLeastTempleCells = 40;
// The forehead's own skin is read this far either side of the midline, this high above the
// brows' top.
constexpr double kForeheadHalf = 0.3, kForeheadFrom = 0.04, kForeheadTo = 0.16;
// Columns start this far above the brows, clear of their hairs; the midline's is this wide
// either side.
constexpr double kAboveBrows = 0.08, kMidlineHalf = 0.12;
// The top is read half way between the eye centres (the frame's origin): the forehead is
// symmetric about that line, while the nose root the face points mark follows the nose, which
// may lean or sit to one side.
constexpr double kForeheadMidline = 0;
// The hairline is traced in columns this far apart, each reaching this far either side (so
// every cell is read twice), from this far beside the midline, past the top's own peak, out to
// this far at most, beyond any forehead's corner.
constexpr double kTraceStep = 0.03, kTraceHalf = 0.03, kTraceFrom = 0.3, kTraceTo = 1.2;
// The forehead's corners lie 0.6 to 0.9 eye distances from the midline on adult faces: an edge
// that turns down nearer than this is a swept lock's or a fringe's.
constexpr double kCornerFrom = 0.6;
// Past the corner the traced edge falls outwards at least this steeply: 45 degrees, half way
// through the turn from the level top to the temples' upright edge. The slope is the line
// fitted across this many eye distances either side, wider than a curl or a cell's jitter, from
// at least this share of its columns.
constexpr double kCornerSlope = 1, kSlopeHalf = 0.09, kLeastSlopeShare = 0.6;
// A traced column reads this far up from its start: the highest foreheads' hairline lies about
// an eye distance above the brows, and the hair above it is read over a run more.
constexpr double kTraceHeight = 1.3;
// Columns that show no edge: this many in a row break the trace (what lies there is not seen).
constexpr int kBlindColumns = 3;
// The hairline's top lies level with the hairline where the traces start (the first this many
// columns either side) or above it; a hairline that dips at the midline lies up to about a
// tenth of an eye distance below. A top this far below is a shadow's or a band's edge.
constexpr std::size_t kSideColumns = 3;
constexpr double kTopBelowSides = 0.2;

// Whether two colours can be the same hair: near in hue and saturation, or both nearly grey;
// any brightness within kHairLightRange.
bool sameHair(const Shade& a, const Shade& b) {
    const float hi = std::max(a.y, b.y), lo = std::max(std::min(a.y, b.y), 1.0f);
    if (hi / lo > kHairLightRange)
        return false;
    const float sa = std::hypot(a.u, a.v), sb = std::hypot(b.u, b.v);
    if (std::min(sa, sb) < kGrey)
        return std::max(sa, sb) < 2 * kGrey;
    const float cosine = (a.u * b.u + a.v * b.v) / (sa * sb);
    return cosine >= kSameHue && std::max(sa, sb) <= 2 * std::min(sa, sb);
}

// The hair beside the forehead, at the temples: along rows from the brows' outer ends outwards,
// what is neither skin nor backdrop, up to the backdrop or a short way.
std::optional<Shade> templeHair(const Chip& chip, const SkinModel& skin,
                                std::span<const Shade> backdrop, const Frame& fr,
                                const FacePoints& face) {
    std::vector<Shade> hair;
    const int most = static_cast<int>(std::lround(kTempleTake / kCell));
    for (int end : {face68::kLeftBrowOuter, face68::kRightBrowOuter}) {
        const Point brow = fr.toFace(face[static_cast<std::size_t>(end)]);
        const double side = brow.x < 0 ? -1 : 1;
        for (double y = brow.y - kTempleAbove; y <= brow.y + kTempleBelow; y += kCell) {
            int taken = 0;
            for (double x = brow.x - side * kTempleInside;
                 std::abs(x - brow.x) <= kTempleReach && taken < most; x += side * kCell) {
                const Shade* s = chip.at(x, y);
                if (!s || isBackdrop(*s, backdrop))
                    break;
                if (skin.contains(*s))
                    continue;
                hair.push_back(*s);
                ++taken;
            }
        }
    }
    if (hair.size() < kLeastTempleCells)
        return std::nullopt;
    return medianShade(hair);
}

struct Column {
    double x = 0;            // face units
    double halfWidth = 0;    // of the band read across
    double start = 0;        // face units; the search goes up (to smaller y) from here
    double top = Chip::kTop; // and no further than here
};

struct ColumnEnd {
    std::optional<Point> hairline;
    bool covered = false;           // no skin at the start
    std::optional<Shade> startSkin; // the skin at the start, where it is skin
};

// One row of a column: its typical colour and how much its brightness varies from cell to cell
// (hair is strands, skin is smooth).
struct RowLook {
    Shade colour;
    float texture = 0;
    float skin = 0; // share of the face's skin
};

// What is told apart at a hairline, scaled so that 1 is a change the eye just sees: a tenth in
// brightness, a few hundredths in the colour's ratios, a few hundredths of brightness from cell
// to cell.
constexpr float kLumaScale = 0.1f, kChromaScale = 0.03f, kTextureScale = 0.03f;
// The least change across a hairline, in those units: a clear step, well above a forehead's
// own drift over a run.
constexpr float kLeastHairStep = 3;

// Hair's brightness varies from cell to cell by at least this share (strands), and by this many
// times more than the skin's just below it.
constexpr float kStrandTexture = 0.04f, kStrandContrast = 3;
// Fine hairs below the full hair (blond, thin) show as a band lighter than the hair, its
// colour near the skin's but grained: its rows, each read with its neighbours, vary from cell to
// cell as strands do, kStrandContrast times more than the forehead just above the brows. The
// band reaches at most this many eye distances down from the full hair, as deep as such wisps
// grow.
constexpr double kFineBandDepth = 0.15;
// Fine hairs' grain is read only across columns at least this wide (the midline's): a traced
// column's few cells show a stray curl or a pore as a band.
constexpr double kFineHairHalfWidth = 0.1;

std::array<float, 4> featuresOf(const RowLook& r) {
    return {std::log(std::max(r.colour.y, kDarkest)) / kLumaScale, r.colour.u / kChromaScale,
            r.colour.v / kChromaScale, r.texture / kTextureScale};
}

// Where the skin ends below the full hair's edge at row `edge`: the lowest of the unbroken rows
// under it that show strands (a band of fine hairs), `edge` itself where none do.
int fineHairBottom(std::span<const RowLook> rows, int edge, int run) {
    const auto texture = [&](int from, int to) {
        float sum = 0;
        for (int i = from; i < to; ++i)
            sum += rows[static_cast<std::size_t>(i)].texture;
        return sum / static_cast<float>(to - from);
    };
    const int skinRows = std::max(run / 2, 1);
    const int deepest = static_cast<int>(std::lround(kFineBandDepth / kCell));
    const int lowest = std::max(edge - deepest, skinRows + 1);
    if (edge + 1 >= static_cast<int>(rows.size()) || edge <= lowest)
        return edge;
    const float grain = std::max(kStrandTexture, kStrandContrast * texture(0, skinRows));
    int bottom = edge;
    while (bottom - 1 >= lowest && texture(bottom - 2, bottom + 1) >= grain)
        --bottom;
    return bottom;
}

// The rows from `start` up to the chip's top.
std::vector<RowLook> readColumn(const Chip& chip, const SkinModel& face, const Column& col) {
    const double start = std::round(col.start / kCell) * kCell;
    const int width = static_cast<int>(std::lround(2 * col.halfWidth / kCell)) + 1;
    std::vector<RowLook> out;
    std::vector<Shade> row;
    for (double y = start; y >= std::max(col.top, Chip::kTop); y -= kCell) {
        row.clear();
        chip.each(col.x - col.halfWidth, col.x + col.halfWidth, y, y,
                  [&](const Shade& s) { row.push_back(s); });
        if (static_cast<int>(row.size()) * 2 < width)
            break; // the picture's edge
        RowLook look;
        look.colour = medianShade(row);
        std::vector<float> jumps;
        int isSkin = 0;
        for (std::size_t i = 0; i < row.size(); ++i) {
            isSkin += face.contains(row[i]);
            if (i > 0)
                jumps.push_back(std::abs(row[i].y - row[i - 1].y));
        }
        look.texture = jumps.empty() ? 0 : median(jumps) / std::max(look.colour.y, kDarkest);
        look.skin = static_cast<float>(isSkin) / static_cast<float>(row.size());
        out.push_back(look);
    }
    return out;
}

// Where the rows change most at once, going up: the first clear step from rows of skin below
// to rows that are not skin above. Skin is judged against the skin a little further down, as a
// forehead's colour drifts towards its top while a hairline changes it at once. With `fineHair`,
// a band of fine hairs under the step counts as hair. In rows; nullopt without such a step.
std::optional<double> hairStep(std::span<const RowLook> rows, const SkinModel& face, int run,
                               bool fineHair) {
    const int n = static_cast<int>(rows.size());
    const auto at = [&](int i) -> const RowLook& { return rows[static_cast<std::size_t>(i)]; };
    // Each row's features once, summed from the start: a run's mean is then a difference.
    std::vector<std::array<double, 4>> sums(rows.size() + 1);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto f = featuresOf(rows[i]);
        for (std::size_t k = 0; k < f.size(); ++k)
            sums[i + 1][k] = sums[i][k] + f[k];
    }
    const auto mean = [&](int from, int count) {
        std::array<float, 4> m{};
        for (std::size_t k = 0; k < m.size(); ++k)
            m[k] = static_cast<float>((sums[static_cast<std::size_t>(from + count)][k] -
                                       sums[static_cast<std::size_t>(from)][k]) /
                                      count);
        return m;
    };
    const auto skinShare = [&](const SkinModel& skin, int from, int count) {
        int isSkin = 0;
        for (int i = from; i < from + count; ++i)
            isSkin += skin.contains(at(i).colour);
        return static_cast<float>(isSkin) / static_cast<float>(count);
    };
    const auto texture = [&](int from, int count) {
        float sum = 0;
        for (int i = from; i < from + count; ++i)
            sum += at(i).texture;
        return sum / static_cast<float>(std::max(count, 1));
    };
    // Strands begin: hair of a colour that skin in shade could have (dark blond, light brown)
    // still shows its grain.
    const auto strandsFrom = [&](int i, int under) {
        const float above = texture(i, run);
        return above >= kStrandTexture && above >= kStrandContrast * texture(i - under, under);
    };
    std::vector<float> step(static_cast<std::size_t>(std::max(n, 0)), 0.0f);
    std::vector<char> allowed(step.size(), 0);
    std::vector<Shade> lagged;
    // Just above the brows the skin below a step may be as short as half a run.
    const int first = std::max(run / 2, 1);
    for (int i = first; i + run <= n; ++i) {
        const int under = std::min(i, run);
        const auto below = mean(i - under, under), above = mean(i, run);
        float d = 0;
        for (std::size_t k = 0; k < below.size(); ++k)
            d += (above[k] - below[k]) * (above[k] - below[k]);
        step[static_cast<std::size_t>(i)] = std::sqrt(d);
        lagged.clear();
        for (int j = std::max(0, i - 3 * run); j < std::max(1, i - run); ++j)
            lagged.push_back(at(j).colour);
        const SkinModel local = face.recentred(medianShade(lagged));
        allowed[static_cast<std::size_t>(i)] =
            skinShare(local, i - under, under) >= 0.5f &&
            (skinShare(local, i, run) < 0.5f || strandsFrom(i, under));
    }
    for (int i = first; i + run <= n; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        if (!allowed[k] || step[k] < kLeastHairStep)
            continue;
        // The peak of this step: the strongest row of the run above it.
        std::size_t best = k;
        for (std::size_t j = k; j < std::min(step.size(), k + static_cast<std::size_t>(run)); ++j)
            if (step[j] > step[best])
                best = j;
        return static_cast<double>(fineHair ? fineHairBottom(rows, static_cast<int>(best), run)
                                            : static_cast<int>(best));
    }
    return std::nullopt;
}

// Whether the rows just above `end` vary from cell to cell as strands of hair do, well beyond
// the smooth skin a little below (clear of the hairline's own blur): hair in a light of its own (a
// sheen, a darker parting) though its colour differs from the temples'.
bool strands(std::span<const RowLook> rows, double end, int run) {
    const auto meanTexture = [&](int from, int to) {
        float sum = 0;
        int n = 0;
        for (int i = std::max(from, 0); i < std::min(to, static_cast<int>(rows.size())); ++i, ++n)
            sum += rows[static_cast<std::size_t>(i)].texture;
        return n > 0 ? sum / static_cast<float>(n) : 0.0f;
    };
    const int at = static_cast<int>(end);
    const float above = meanTexture(at, at + run), below = meanTexture(at - 2 * run, at - run);
    return above >= kStrandTexture && above >= kStrandContrast * below;
}

// Up the column from above the brows: the hairline where the rows step from skin to something
// else; shown when what lies above is hair like that at the temples.
ColumnEnd searchColumn(const Chip& chip, const SkinModel& face, std::span<const Shade> backdrop,
                       const std::optional<Shade>& hair, const Frame& fr, const Column& col) {
    const int run = static_cast<int>(std::lround(kRun / kCell));
    const std::vector<RowLook> rows = readColumn(chip, face, col);
    std::vector<float> share;
    for (const RowLook& r : rows)
        share.push_back(r.skin);
    ColumnEnd out;
    if (!startsOnSkin(share, run)) {
        out.covered = true;
        return out;
    }
    std::vector<Shade> first;
    for (std::size_t i = 0; i < std::min(rows.size(), static_cast<std::size_t>(run / 2 + 1)); ++i)
        first.push_back(rows[i].colour);
    out.startSkin = medianShade(first);
    const std::optional<double> end =
        hairStep(rows, face, run, col.halfWidth >= kFineHairHalfWidth);
    if (!end || !hair)
        return out;
    const double start = std::round(col.start / kCell) * kCell;
    const double y = start - *end * kCell;
    const SkinModel skin =
        face.recentred(rows[static_cast<std::size_t>(std::max(0.0, *end - run))].colour);

    std::vector<Shade> cover;
    chip.each(col.x - col.halfWidth, col.x + col.halfWidth, y - kCoverTo, y - kCoverFrom,
              [&](const Shade& s) {
                  if (!skin.contains(s))
                      cover.push_back(s);
              });
    if (cover.size() < kLeastCover)
        return out;
    const Shade c = medianShade(cover);
    if (isBackdrop(c, backdrop))
        return out; // skin up to the top of the head
    if (!sameHair(c, *hair) && !strands(rows, *end, run))
        return out; // not hair: a hat, a hand, a scarf
    out.hairline = fr.toImage(col.x, y);
    return out;
}

// The brows' height at `x` (face units), between the dlib points of the brow on that side.
double browAt(const Frame& fr, const FacePoints& face, double x) {
    std::array<Point, 10> b;
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = fr.toFace(face[face68::kLeftBrowOuter + i]);
    std::sort(b.begin(), b.end(), [](Point p, Point q) { return p.x < q.x; });
    if (x <= b.front().x)
        return b.front().y;
    for (std::size_t i = 1; i < b.size(); ++i)
        if (x <= b[i].x) {
            const double t = (x - b[i - 1].x) / std::max(b[i].x - b[i - 1].x, 1e-9);
            return b[i - 1].y + t * (b[i].y - b[i - 1].y);
        }
    return b.back().y;
}

// The skin as this face shows it: the cheeks beside the nose and, if it is skin too, the
// forehead just above the brows.
std::optional<SkinModel> foreheadSkin(const Chip& chip, double midline, double browTop) {
    const std::vector<Shade> cheeks = cheekShades(chip, midline);
    std::vector<Shade> forehead;
    chip.each(midline - kForeheadHalf, midline + kForeheadHalf, browTop - kForeheadTo,
              browTop - kForeheadFrom, [&](const Shade& s) { forehead.push_back(s); });
    std::optional<SkinModel> skin = SkinModel::fit(cheeks);
    if (!skin)
        return skin;
    std::vector<Shade> pooled = cheeks;
    for (const Shade& s : forehead)
        if (skin->contains(s))
            pooled.push_back(s);
    if ((pooled.size() - cheeks.size()) * 2 >= forehead.size()) // mostly skin
        skin = SkinModel::fit(pooled);
    return skin;
}

// Whether the top read on the midline (`top`, face units) lies further below the hairline
// beside it, where the traces start, than a hairline dips at the midline: then it is a shadow's
// or a band's edge across the forehead.
bool topBelowItsSides(double top, std::span<const TracedColumn> left,
                      std::span<const TracedColumn> right) {
    std::optional<double> highest;
    for (std::span<const TracedColumn> side : {left, right}) {
        std::vector<float> near;
        for (std::size_t i = 0; i < std::min<std::size_t>(kSideColumns, side.size()); ++i)
            if (side[i].y)
                near.push_back(static_cast<float>(*side[i].y));
        if (near.size() * 2 <= kSideColumns)
            continue; // too little seen there to say
        const double level = median(near);
        highest = highest ? std::min(*highest, level) : level;
    }
    return highest && top - *highest > kTopBelowSides;
}

} // namespace

HairlinePoints findHairline(const Chip& chip, const Pixels& px, const Frame& fr,
                            const FacePoints& face, const FrontPoints& estimate) {
    HairlinePoints out;
    const double midline = fr.toFace(face[face68::kNoseRoot]).x;
    double browTop = 0;
    for (std::size_t i = face68::kLeftBrowOuter; i <= face68::kRightBrowOuter; ++i)
        browTop = std::min(browTop, fr.toFace(face[i]).y);

    const std::optional<SkinModel> skin = foreheadSkin(chip, midline, browTop);
    if (!skin)
        return out;
    const std::vector<Shade> backdrop = backgrounds(chip, px, *skin, fr, midline);
    const std::optional<Shade> hair = templeHair(chip, *skin, backdrop, fr, face);

    const auto column = [&](double x, double halfWidth) {
        return Column{x, halfWidth, browAt(fr, face, x) - kAboveBrows};
    };
    // A traced column reads only as high as a hairline and the hair above it can lie.
    const auto traceColumn = [&](double x) {
        Column c = column(x, kTraceHalf);
        c.top = c.start - kTraceHeight;
        return c;
    };
    out.top = searchColumn(chip, *skin, backdrop, hair, fr, column(kForeheadMidline, kMidlineHalf))
                  .hairline;
    // Each side's hairline traced outwards, each column's skin judged against the skin at the
    // start of the last one that showed it: a forehead's colour drifts as it turns from the
    // light, a hairline changes it at once.
    const auto trace = [&](double side, const Point& estimate) {
        // Out to the slope's reach past the column where the corner is first looked for.
        const double guess = side * (fr.toFace(estimate).x - midline);
        const double reach = std::clamp(guess + kSlopeHalf + 2 * kTraceStep,
                                        kTraceFrom + kSideColumns * kTraceStep, kTraceTo);
        std::vector<TracedColumn> traced;
        std::optional<Shade> beside;
        for (double d = kTraceFrom; d <= reach + 1e-9; d += kTraceStep) {
            const double x = midline + side * d;
            const SkinModel local = beside ? skin->recentred(*beside) : *skin;
            const ColumnEnd e = searchColumn(chip, local, backdrop, hair, fr, traceColumn(x));
            if (e.startSkin)
                beside = e.startSkin;
            traced.push_back({d,
                              e.hairline ? std::optional(fr.toFace(*e.hairline).y) : std::nullopt,
                              e.covered});
        }
        return traced;
    };
    const std::vector<TracedColumn> left = trace(-1, estimate[lm::P1]),
                                    right = trace(1, estimate[lm::P2]);
    if (out.top && topBelowItsSides(fr.toFace(*out.top).y, left, right))
        out.top.reset();
    // The forehead's ends: the corners where the traced hairline turns down to the temples.
    const auto corner = [&](std::span<const TracedColumn> traced, double side,
                            const Point& estimate) -> std::optional<Point> {
        const std::optional<Point> at =
            hairlineCorner(traced, kTraceStep, side * (fr.toFace(estimate).x - midline));
        if (!at)
            return std::nullopt;
        return fr.toImage(midline + side * at->x, at->y);
    };
    out.left = corner(left, -1, estimate[lm::P1]);
    out.right = corner(right, 1, estimate[lm::P2]);
    return out;
}

std::optional<Point> hairlineCorner(std::span<const TracedColumn> traced, double step,
                                    double guess) {
    if (traced.empty())
        return std::nullopt;
    const int half = std::max(1, static_cast<int>(std::lround(kSlopeHalf / step)));
    // The edge's heights, each the median of three neighbours: a single column's stray step
    // (a curl, a shadow) neither makes nor hides a turn.
    const std::size_t n = traced.size();
    std::vector<std::optional<double>> y(n);
    for (std::size_t i = 0; i < n; ++i) {
        std::vector<double> near;
        for (std::size_t j = i > 0 ? i - 1 : 0; j < std::min(i + 2, n); ++j)
            if (traced[j].y)
                near.push_back(*traced[j].y);
        if (!traced[i].y || near.empty())
            continue;
        std::sort(near.begin(), near.end());
        y[i] = near.size() == 2 ? *traced[i].y : near[near.size() / 2];
    }
    // The edge's slope at column i: the least-squares line through the heights around it.
    const auto slopeAt = [&](std::size_t i) -> std::optional<double> {
        double sx = 0, sy = 0, sxx = 0, sxy = 0;
        int count = 0;
        for (std::size_t j = i >= static_cast<std::size_t>(half) ? i - half : 0;
             j < std::min(i + static_cast<std::size_t>(half) + 1, n); ++j) {
            if (!y[j])
                continue;
            const double x = traced[j].x;
            sx += x;
            sy += *y[j];
            sxx += x * x;
            sxy += x * *y[j];
            ++count;
        }
        const double spread = count * sxx - sx * sx;
        if (count < kLeastSlopeShare * (2 * half + 1) || spread <= 0)
            return std::nullopt;
        return (count * sxy - sx * sy) / spread;
    };
    // From the column under the guess inwards, past columns that hair covers or that show no
    // edge, and past the edge's descent to the temple, to where the top edge still runs level.
    std::size_t i = 0;
    for (std::size_t j = 1; j < n; ++j)
        if (std::abs(traced[j].x - guess) < std::abs(traced[i].x - guess))
            i = j;
    int blind = 0;
    for (;; --i) {
        if (traced[i].x < kCornerFrom)
            return std::nullopt; // turned down too near the midline: a lock's or a fringe's edge
        const std::optional<double> slope = y[i] ? slopeAt(i) : std::nullopt;
        if (!slope) { // no edge here, or too few around it to say which way it runs
            if (!traced[i].covered && ++blind >= kBlindColumns)
                return std::nullopt;
        } else {
            blind = 0;
            if (*slope < kCornerSlope)
                return Point{traced[i].x, *traced[i].y}; // the column's own edge
        }
        if (i == 0)
            return std::nullopt;
    }
}

bool startsOnSkin(std::span<const float> skin, int run) {
    const std::size_t head = static_cast<std::size_t>(std::max(run, 2) / 2);
    if (skin.size() < head)
        return false;
    float sum = 0;
    for (std::size_t i = 0; i < head; ++i)
        sum += skin[i];
    return sum >= 0.6f * static_cast<float>(head);
}

std::optional<double> skinEnd(std::span<const float> skin, int run) {
    run = std::max(run, 2);
    const std::size_t n = skin.size();
    if (n < static_cast<std::size_t>(run) + 2)
        return std::nullopt;
    // Smoothed over three rows: a single odd row neither starts nor ends anything.
    std::vector<float> s(n);
    for (std::size_t i = 0; i < n; ++i) {
        const float prev = skin[i > 0 ? i - 1 : 0], next = skin[std::min(i + 1, n - 1)];
        s[i] = (prev + skin[i] + next) / 3;
    }
    const auto meanOver = [&](std::size_t from, std::size_t count) {
        float sum = 0;
        for (std::size_t i = from; i < from + count; ++i)
            sum += s[i];
        return sum / static_cast<float>(count);
    };
    if (!startsOnSkin(skin, run))
        return std::nullopt;
    for (std::size_t i = 1; i + static_cast<std::size_t>(run) <= n; ++i) {
        if (s[i] >= 0.5f || meanOver(i, static_cast<std::size_t>(run)) >= 0.3f)
            continue;
        const float a = s[i - 1], b = s[i];
        const double t = a > b ? std::clamp((a - 0.5) / (a - b), 0.0, 1.0) : 1.0;
        return static_cast<double>(i - 1) + t;
    }
    return std::nullopt;
}

} // namespace veidora::facefit
