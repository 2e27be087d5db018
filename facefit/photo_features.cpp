#include "photo_features.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <tuple>
#include <utility>
#include <vector>

namespace veidora::facefit {

namespace {

// --- skin colour ------------------------------------------------------------------------

// Below this luma the colour ratios are mostly noise.
constexpr float kDarkest = 24;
// How many spreads from the typical skin colour still count as skin.
constexpr float kSkinSpreads = 3;
// Skin's hue hardly changes over a face, its saturation does (redder cheeks, paler or darker
// sides): the least hue difference and saturation range that still count as skin, whatever the
// samples' own spread.
constexpr float kLeastHue = 0.03f;
constexpr float kPalest = 0.6f, kReddest = 1.7f;
// Skin in shade keeps its colour down to this share of the typical brightness.
constexpr float kShadeFloor = 0.5f;
constexpr float kLitCeiling = 1.35f;

float median(std::vector<float>& v) {
    const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

// The median and 1.4826 x the median absolute deviation (the standard deviation, for a normal
// spread).
std::pair<float, float> robust(std::vector<float> v) {
    const float m = median(v);
    for (float& x : v)
        x = std::abs(x - m);
    return {m, 1.4826f * median(v)};
}

Shade medianShade(std::span<const Shade> s) {
    std::vector<float> y, u, v;
    for (const Shade& c : s) {
        y.push_back(c.y);
        u.push_back(c.u);
        v.push_back(c.v);
    }
    return {median(y), median(u), median(v)};
}

// --- the face's own frame -----------------------------------------------------------------

// x along the eye line to the picture's right, y down, in units of the distance between the
// eye centres, from the middle between them.
struct Frame {
    Point origin;
    Point ex;
    Point ey;
    double unit = 0; // pixels

    Point toImage(double x, double y) const {
        return {origin.x + unit * (x * ex.x + y * ey.x), origin.y + unit * (x * ex.y + y * ey.y)};
    }
    Point toFace(Point p) const {
        const double dx = p.x - origin.x, dy = p.y - origin.y;
        return {(dx * ex.x + dy * ex.y) / unit, (dx * ey.x + dy * ey.y) / unit};
    }
};

Point meanOf(const FacePoints& f, int first, int last) {
    Point m;
    for (int i = first; i <= last; ++i) {
        m.x += f[static_cast<std::size_t>(i)].x;
        m.y += f[static_cast<std::size_t>(i)].y;
    }
    const double n = last - first + 1;
    return {m.x / n, m.y / n};
}

std::optional<Frame> frameOf(const FacePoints& f) {
    const Point l = meanOf(f, 36, 41), r = meanOf(f, 42, 47);
    const double unit = std::hypot(r.x - l.x, r.y - l.y);
    if (!(unit >= 8)) // too small a face to read anything from (or NaN)
        return std::nullopt;
    Frame fr;
    fr.origin = {(l.x + r.x) / 2, (l.y + r.y) / 2};
    fr.ex = {(r.x - l.x) / unit, (r.y - l.y) / unit};
    fr.ey = {-fr.ex.y, fr.ex.x};
    fr.unit = unit;
    return fr;
}

// --- reading the photo --------------------------------------------------------------------

class Pixels {
public:
    explicit Pixels(const ImageView& v) : m_v(v) {}

    static bool usable(const ImageView& v) {
        return v.pixels && v.width > 0 && v.height > 0 &&
               (v.channels == 1 || v.channels == 3 || v.channels == 4) &&
               v.bytesPerLine >= static_cast<std::ptrdiff_t>(v.width) * v.channels;
    }

    void rgb(int x, int y, float* out) const {
        const std::uint8_t* p = m_v.pixels + static_cast<std::ptrdiff_t>(y) * m_v.bytesPerLine +
                                static_cast<std::ptrdiff_t>(x) * m_v.channels;
        switch (m_v.channels) {
        case 1:
            out[0] = out[1] = out[2] = p[0];
            break;
        case 3:
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
            break;
        default:
            out[0] = p[2];
            out[1] = p[1];
            out[2] = p[0];
            break;
        }
    }

    int width() const { return m_v.width; }
    int height() const { return m_v.height; }
    bool inside(Point p) const {
        return p.x >= 0 && p.y >= 0 && p.x < m_v.width && p.y < m_v.height;
    }

    // Between the four nearest pixel centres; false outside the picture.
    bool bilinear(Point p, float* out) const {
        if (!inside(p))
            return false;
        const double fx = std::clamp(p.x - 0.5, 0.0, m_v.width - 1.0);
        const double fy = std::clamp(p.y - 0.5, 0.0, m_v.height - 1.0);
        const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
        const int x1 = std::min(x0 + 1, m_v.width - 1), y1 = std::min(y0 + 1, m_v.height - 1);
        const float ax = static_cast<float>(fx - x0), ay = static_cast<float>(fy - y0);
        float a[3], b[3], c[3], d[3];
        rgb(x0, y0, a);
        rgb(x1, y0, b);
        rgb(x0, y1, c);
        rgb(x1, y1, d);
        for (int k = 0; k < 3; ++k)
            out[k] = (1 - ay) * ((1 - ax) * a[k] + ax * b[k]) + ay * ((1 - ax) * c[k] + ax * d[k]);
        return true;
    }

    float luma(Point p) const {
        float c[3] = {0, 0, 0};
        bilinear(p, c);
        return 0.299f * c[0] + 0.587f * c[1] + 0.114f * c[2];
    }

private:
    ImageView m_v;
};

// The face's surroundings resampled upright, at a fixed number of cells per eye distance, each
// cell the mean of the pixels it covers: the searches below then read the same at any size or
// tilt, and single noisy pixels are averaged away.
constexpr int kCellsPerUnit = 64;
constexpr double kCell = 1.0 / kCellsPerUnit;

class Chip {
public:
    static constexpr double kLeft = -2.3, kRight = 2.3, kTop = -2.3, kBottom = 0.8;

    Chip(const Pixels& px, const Frame& fr)
        : m_w(static_cast<int>(std::lround((kRight - kLeft) / kCell)) + 1),
          m_h(static_cast<int>(std::lround((kBottom - kTop) / kCell)) + 1),
          m_cells(static_cast<std::size_t>(m_w) * static_cast<std::size_t>(m_h)),
          m_valid(m_cells.size(), 0) {
        const double cellPx = fr.unit * kCell;
        const int k = std::clamp(static_cast<int>(std::ceil(cellPx - 0.01)), 1, 4);
        // From cell to cell in the picture, and from a cell's centre to its k x k samples.
        const Point corner = fr.toImage(kLeft, kTop);
        const Point right{cellPx * fr.ex.x, cellPx * fr.ex.y};
        const Point down{cellPx * fr.ey.x, cellPx * fr.ey.y};
        std::vector<Point> samples;
        for (int j = 0; j < k; ++j)
            for (int i = 0; i < k; ++i) {
                const double a = (i + 0.5) / k - 0.5, b = (j + 0.5) / k - 0.5;
                samples.push_back({a * right.x + b * down.x, a * right.y + b * down.y});
            }
        const double reachX = (std::abs(right.x) + std::abs(down.x)) / 2;
        const double reachY = (std::abs(right.y) + std::abs(down.y)) / 2;
        for (int cy = 0; cy < m_h; ++cy) {
            for (int cx = 0; cx < m_w; ++cx) {
                const Point c{corner.x + cx * right.x + cy * down.x,
                              corner.y + cx * right.y + cy * down.y};
                float sum[3] = {0, 0, 0};
                bool ok = true;
                if (k == 1) {
                    ok = px.bilinear(c, sum);
                } else {
                    ok = px.inside({c.x - reachX, c.y - reachY}) &&
                         px.inside({c.x + reachX, c.y + reachY});
                    for (std::size_t i = 0; ok && i < samples.size(); ++i) {
                        float v[3];
                        px.rgb(static_cast<int>(c.x + samples[i].x),
                               static_cast<int>(c.y + samples[i].y), v);
                        for (int q = 0; q < 3; ++q)
                            sum[q] += v[q];
                    }
                    for (float& v : sum)
                        v /= static_cast<float>(k * k);
                }
                if (ok) {
                    const std::size_t at = index(cx, cy);
                    m_cells[at] = shadeOf(sum[0], sum[1], sum[2]);
                    m_valid[at] = 1;
                }
            }
        }
    }

    // The cell at face coordinates; nullptr outside the chip or the picture.
    const Shade* at(double x, double y) const {
        const long cx = std::lround((x - kLeft) / kCell), cy = std::lround((y - kTop) / kCell);
        if (cx < 0 || cy < 0 || cx >= m_w || cy >= m_h)
            return nullptr;
        const std::size_t i = index(static_cast<int>(cx), static_cast<int>(cy));
        return m_valid[i] ? &m_cells[i] : nullptr;
    }

    // Every cell whose centre lies in the rectangle, row by row.
    template <typename F> void each(double x0, double x1, double y0, double y1, F&& f) const {
        for (double y = snap(y0); y <= y1 + 1e-9; y += kCell)
            for (double x = snap(x0); x <= x1 + 1e-9; x += kCell)
                if (const Shade* s = at(x, y))
                    f(*s);
    }

private:
    static double snap(double v) { return std::ceil(v / kCell - 1e-9) * kCell; }
    std::size_t index(int cx, int cy) const {
        return static_cast<std::size_t>(cy) * static_cast<std::size_t>(m_w) +
               static_cast<std::size_t>(cx);
    }

    int m_w, m_h;
    std::vector<Shade> m_cells;
    std::vector<std::uint8_t> m_valid;
};

// --- the hairline -------------------------------------------------------------------------

// A shadow or a shine this many eye distances tall is crossed; the hair above the skin's end
// must last at least as long.
constexpr double kRun = 0.15;
// Colours less saturated than this are greys; hues within 20 degrees are the same.
constexpr float kGrey = 0.05f;
const float kSameHue = static_cast<float>(std::cos(20 * std::numbers::pi / 180));
// What covers the head above the skin's end is read in this band above it.
constexpr double kCoverFrom = 0.03, kCoverTo = 0.18;

// Whether two colours can be the same hair: near in hue and saturation, or both nearly grey;
// any brightness within 4 times, as hair is shaded and lit strand by strand.
bool sameHair(const Shade& a, const Shade& b) {
    const float hi = std::max(a.y, b.y), lo = std::max(std::min(a.y, b.y), 1.0f);
    if (hi / lo > 4)
        return false;
    const float sa = std::hypot(a.u, a.v), sb = std::hypot(b.u, b.v);
    if (std::min(sa, sb) < kGrey)
        return std::max(sa, sb) < 2 * kGrey;
    const float cosine = (a.u * b.u + a.v * b.v) / (sa * sb);
    return cosine >= kSameHue && std::max(sa, sb) <= 2 * std::min(sa, sb);
}

// Whether a colour is one of the backdrop's: within 5 levels in Cr and Cb and 15 % in
// brightness.
bool isBackdrop(const Shade& s, std::span<const Shade> backdrop) {
    const auto level = [](float ratio, float y) { return ratio * std::max(y, kDarkest); };
    return std::any_of(backdrop.begin(), backdrop.end(), [&](const Shade& b) {
        const float hi = std::max(s.y, b.y), lo = std::max(std::min(s.y, b.y), 1.0f);
        return std::abs(level(s.u, s.y) - level(b.u, b.y)) <= 5 &&
               std::abs(level(s.v, s.y) - level(b.v, b.y)) <= 5 && hi <= 1.15f * lo;
    });
}

// A patch's colour if it is plain (of one even colour) and not skin; else nothing.
std::optional<Shade> plain(std::span<const Shade> patch, const SkinModel& skin) {
    if (patch.size() < 16)
        return std::nullopt;
    std::vector<float> y;
    for (const Shade& s : patch)
        y.push_back(s.y);
    const auto [level, spread] = robust(y);
    const Shade m = medianShade(patch);
    if (spread > std::max(4.0f, 0.04f * level) || skin.contains(m))
        return std::nullopt;
    return m;
}

// The backdrop: plain patches beside the head and in the picture's top corners. A patch that is
// not plain (long hair, a shoulder, a busy room) or out of the picture is left out.
std::vector<Shade> backgrounds(const Chip& chip, const Pixels& px, const SkinModel& skin,
                               const Frame& fr, double midline) {
    std::vector<Shade> out, patch;
    for (double side : {-1.0, 1.0}) {
        patch.clear();
        const double x0 = midline + side * 1.95, x1 = midline + side * 2.3;
        chip.each(std::min(x0, x1), std::max(x0, x1), -1.4, -0.4,
                  [&](const Shade& s) { patch.push_back(s); });
        if (const auto m = plain(patch, skin))
            out.push_back(*m);
    }
    const int side = std::max(4, static_cast<int>(0.2 * fr.unit));
    for (const int x0 : {0, px.width() - side}) {
        patch.clear();
        for (int y = 0; y < side; y += 2)
            for (int x = std::max(x0, 0); x < std::min(x0 + side, px.width()); x += 2) {
                float c[3];
                px.rgb(x, std::min(y, px.height() - 1), c);
                patch.push_back(shadeOf(c[0], c[1], c[2]));
            }
        if (const auto m = plain(patch, skin))
            out.push_back(*m);
    }
    return out;
}

// The hair beside the forehead, at the temples: along rows from the brows' outer ends outwards,
// what is neither skin nor backdrop, up to the backdrop or a short way.
std::optional<Shade> templeHair(const Chip& chip, const SkinModel& skin,
                                std::span<const Shade> backdrop, const Frame& fr,
                                const FacePoints& face) {
    std::vector<Shade> hair;
    const int most = static_cast<int>(std::lround(0.15 / kCell));
    for (int end : {17, 26}) {
        const Point brow = fr.toFace(face[static_cast<std::size_t>(end)]);
        const double side = brow.x < 0 ? -1 : 1;
        for (double y = brow.y - 0.35; y <= brow.y + 0.05; y += kCell) {
            int taken = 0;
            for (double x = brow.x - side * 0.1; std::abs(x - brow.x) <= 1 && taken < most;
                 x += side * kCell) {
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
    if (hair.size() < 40)
        return std::nullopt;
    return medianShade(hair);
}

struct Column {
    double x = 0;         // face units
    double halfWidth = 0; // of the band read across
    double start = 0;     // face units; the search goes up (to smaller y) from here
};

struct ColumnEnd {
    std::optional<Point> hairline;
    bool covered = false; // no skin at the start
};

// Up the column, row by row, the share of skin, judged against the skin just below rather than
// the face's typical skin: a forehead's colour drifts towards its sides and its top, while the
// hairline is where it changes at once.
ColumnEnd searchColumn(const Chip& chip, const SkinModel& face, std::span<const Shade> backdrop,
                       const std::optional<Shade>& hair, const Frame& fr, const Column& col) {
    const double start = std::round(col.start / kCell) * kCell;
    const int width = static_cast<int>(std::lround(2 * col.halfWidth / kCell)) + 1;
    const int run = static_cast<int>(std::lround(kRun / kCell));
    SkinModel skin = face;
    std::vector<float> share;
    std::vector<SkinModel> used;                                   // for each row
    std::vector<std::pair<std::size_t, std::vector<Shade>>> whole; // rows mostly skin, by index
    const std::size_t lag = static_cast<std::size_t>(run / 2);
    std::vector<Shade> row, kept, pooled;
    for (double y = start; y >= Chip::kTop; y -= kCell) {
        row.clear();
        chip.each(col.x - col.halfWidth, col.x + col.halfWidth, y, y,
                  [&](const Shade& s) { row.push_back(s); });
        if (static_cast<int>(row.size()) * 2 < width)
            break; // the picture's edge
        int isSkin = 0;
        kept.clear();
        for (const Shade& s : row) {
            const SkinModel::Kind k = skin.classify(s);
            isSkin += k != SkinModel::Kind::None;
            if (k == SkinModel::Kind::Skin)
                kept.push_back(s);
        }
        share.push_back(static_cast<float>(isSkin) / static_cast<float>(row.size()));
        used.push_back(skin);
        // The model follows the skin of the rows from half a run to two and a half runs below,
        // those mostly of skin only: a hairline blurred over a few rows must not draw it into
        // the hair.
        if (kept.size() * 4 >= row.size() * 3)
            whole.emplace_back(share.size() - 1, kept);
        if (share.size() % 2 == 0) {
            const std::size_t newest = share.size() - 1;
            pooled.clear();
            for (const auto& [at, cells] : whole)
                if (at + lag <= newest && at + lag + 2 * run >= newest)
                    pooled.insert(pooled.end(), cells.begin(), cells.end());
            if (pooled.size() >= row.size() * static_cast<std::size_t>(run) / 2)
                skin = face.recentred(medianShade(pooled));
        }
    }
    const auto end = skinEnd(share, run);
    ColumnEnd out;
    if (!end) {
        out.covered = !startsOnSkin(share, run);
        return out;
    }
    if (!hair)
        return out;
    const double y = start - *end * kCell;
    skin = used[static_cast<std::size_t>(*end)];

    std::vector<Shade> cover;
    chip.each(col.x - col.halfWidth, col.x + col.halfWidth, y - kCoverTo, y - kCoverFrom,
              [&](const Shade& s) {
                  if (!skin.contains(s))
                      cover.push_back(s);
              });
    if (cover.size() < 8)
        return out;
    const Shade c = medianShade(cover);
    if (isBackdrop(c, backdrop))
        return out; // skin up to the top of the head
    if (!sameHair(c, *hair))
        return out; // not the hair seen at the temples: a hat, a hand, a scarf
    out.hairline = fr.toImage(col.x, y);
    return out;
}

// The brows' height at `x` (face units), between the dlib points of the brow on that side.
double browAt(const Frame& fr, const FacePoints& face, double x) {
    std::array<Point, 10> b;
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = fr.toFace(face[17 + i]);
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

void findHairline(const Chip& chip, const Pixels& px, const Frame& fr, const FacePoints& face,
                  const FrontPoints& estimate, PhotoLandmarks& out) {
    const double midline = fr.toFace(face[27]).x;
    double browTop = 0;
    for (std::size_t i = 17; i <= 26; ++i)
        browTop = std::min(browTop, fr.toFace(face[i]).y);

    // The skin as this face shows it: the cheeks beside the nose and, if it is skin too, the
    // forehead just above the brows.
    std::vector<Shade> cheeks, forehead;
    for (double side : {-1.0, 1.0}) {
        const double x0 = midline + side * 0.32, x1 = midline + side * 0.6;
        chip.each(std::min(x0, x1), std::max(x0, x1), 0.3, 0.5,
                  [&](const Shade& s) { cheeks.push_back(s); });
    }
    chip.each(midline - 0.3, midline + 0.3, browTop - 0.16, browTop - 0.04,
              [&](const Shade& s) { forehead.push_back(s); });
    std::optional<SkinModel> skin = SkinModel::fit(cheeks);
    if (!skin)
        return;
    std::vector<Shade> pooled = cheeks;
    for (const Shade& s : forehead)
        if (skin->contains(s))
            pooled.push_back(s);
    if ((pooled.size() - cheeks.size()) * 2 >= forehead.size())
        skin = SkinModel::fit(pooled);

    const std::vector<Shade> backdrop = backgrounds(chip, px, *skin, fr, midline);
    const std::optional<Shade> hair = templeHair(chip, *skin, backdrop, fr, face);

    const auto column = [&](double x, double halfWidth) {
        return Column{x, halfWidth, browAt(fr, face, x) - 0.08};
    };
    out.hairlineTop = searchColumn(chip, *skin, backdrop, hair, fr, column(midline, 0.12)).hairline;
    // The forehead's ends: above the estimate or, where hair comes down to the brows there, the
    // nearest place inwards that shows the forehead.
    const auto end = [&](const Point& estimated) -> std::optional<Point> {
        const double x = fr.toFace(estimated).x, side = x < midline ? -1 : 1;
        for (double at = x; side * (at - midline) >= 0.35; at -= side * 0.05) {
            const ColumnEnd e = searchColumn(chip, *skin, backdrop, hair, fr, column(at, 0.06));
            if (!e.covered)
                return e.hairline;
        }
        return std::nullopt;
    };
    out.hairlineLeft = end(estimate[0]);
    out.hairlineRight = end(estimate[1]);
}

// --- the nose bridge ----------------------------------------------------------------------

// The least step of brightness (of 255) that counts as a side of the bridge.
constexpr double kLeastStep = 3;
constexpr double kNoiseTimes = 5;

void findBridge(const Pixels& px, const Frame& fr, const FrontPoints& estimate,
                PhotoLandmarks& out) {
    const Point root = estimate[15], base = estimate[14];
    const double ax = base.x - root.x, ay = base.y - root.y;
    const double length = std::hypot(ax, ay);
    if (!(length > 0))
        return;
    const Point along{ax / length, ay / length};
    const Point across{along.y, -along.x}; // to the picture's right
    // The sides' height: where the estimate puts them, between the root and the base.
    const Point mid{(estimate[16].x + estimate[17].x) / 2, (estimate[16].y + estimate[17].y) / 2};
    const double t = ((mid.x - root.x) * along.x + (mid.y - root.y) * along.y);
    const Point c{root.x + t * along.x, root.y + t * along.y};

    // Across the bridge, finely; each sample the mean of a short stretch along it, once for each
    // half of the stretch. The bridge's sides run along it, so the halves share them and differ
    // by the photo's noise; they lie two pixels apart at least, so that no pixel is under both.
    constexpr int kAlong = 4; // samples in each half
    const double step = std::max(fr.unit / 256, 0.25), gap = 0.012 * fr.unit;
    const double inner = std::max(1.0, gap / 2);
    const int half = static_cast<int>(std::lround(0.3 * fr.unit / step));
    std::vector<float> upper, lower;
    for (int i = -half; i <= half; ++i) {
        float sum[2] = {0, 0};
        for (int j = 0; j < 2 * kAlong; ++j) {
            const double s = i * step;
            const double a = j < kAlong ? -inner - j * gap : inner + (j - kAlong) * gap;
            const Point p{c.x + s * across.x + a * along.x, c.y + s * across.y + a * along.y};
            if (!px.inside(p))
                return;
            sum[j / kAlong] += px.luma(p) / kAlong;
        }
        upper.push_back(sum[0]);
        lower.push_back(sum[1]);
    }
    const double sigma = std::max(0.012 * fr.unit, 1.0) / step;
    const auto edges =
        ridgeEdges(upper, lower, half, 0.025 * fr.unit / step, 0.17 * fr.unit / step, sigma);
    if (!edges)
        return;
    const auto at = [&](double i) {
        const double s = (i - half) * step;
        return Point{c.x + s * across.x, c.y + s * across.y};
    };
    out.bridgeLeft = at(edges->left);
    out.bridgeRight = at(edges->right);
}

} // namespace

Shade shadeOf(float r, float g, float b) {
    const float y = 0.299f * r + 0.587f * g + 0.114f * b;
    const float cr = 0.713f * (r - y), cb = 0.564f * (b - y);
    const float scale = 1 / std::max(y, kDarkest);
    return {y, cr * scale, cb * scale};
}

std::optional<SkinModel> SkinModel::fit(std::span<const Shade> samples) {
    if (samples.size() < 8)
        return std::nullopt;
    SkinModel m;
    m.m_typical = medianShade(samples);
    const Shade& t = m.m_typical;
    m.m_chroma = std::hypot(t.u, t.v);
    std::vector<float> y, across, along;
    for (const Shade& s : samples) {
        y.push_back(s.y);
        if (m.m_chroma > 0) {
            across.push_back((s.u * t.v - s.v * t.u) / m.m_chroma);
            along.push_back((s.u * t.u + s.v * t.v) / (m.m_chroma * m.m_chroma));
        }
    }
    m.m_lumaSpread = robust(y).second;
    if (m.m_chroma > 0) {
        m.m_hueSpread = robust(across).second;
        m.m_satSpread = robust(along).second;
    }
    return m;
}

SkinModel SkinModel::recentred(const Shade& typical) const {
    SkinModel m = *this;
    m.m_typical = typical;
    m.m_chroma = std::hypot(typical.u, typical.v);
    return m;
}

SkinModel::Kind SkinModel::classify(const Shade& s) const {
    const Shade& t = m_typical;
    const bool grey = m_chroma < kLeastHue; // a grey picture: no hue to go by
    const float across = grey ? std::hypot(s.u, s.v) : (s.u * t.v - s.v * t.u) / m_chroma;
    const float along = grey ? 1 : (s.u * t.u + s.v * t.v) / (m_chroma * m_chroma);
    const float hueTol = std::max(kLeastHue, kSkinSpreads * m_hueSpread);
    // Brightness and saturation as ratios to the typical skin's, each within its own bounds;
    // together inside an ellipsoid, so that a colour darker, more saturated and of another hue
    // at once (hair) is not skin though each alone would pass.
    const float ly = std::log(std::max(s.y, 1.0f) / std::max(t.y, 1.0f));
    const float yTol = ly < 0 ? -std::log(kShadeFloor)
                              : std::log(kLitCeiling + 4 * m_lumaSpread / std::max(t.y, 1.0f));
    const float ls = std::log(std::max(along, 1e-3f));
    const float sTol = ls < 0 ? -std::log(std::clamp(1 - kSkinSpreads * m_satSpread, 0.2f, kPalest))
                              : std::log(std::max(kReddest, 1 + kSkinSpreads * m_satSpread));
    const float d = (ly / yTol) * (ly / yTol) + (ls / sTol) * (ls / sTol) +
                    (across / hueTol) * (across / hueTol);
    if (d <= 1)
        return Kind::Skin;
    // A shine: skin's colour thinned with white, so between the skin's and none.
    const bool lit = s.y > std::max(1.15f * t.y, t.y + 3 * m_lumaSpread);
    return lit && !grey && std::abs(across) <= hueTol && along >= 0.15f && along <= 1.1f
               ? Kind::Shine
               : Kind::None;
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

std::optional<EdgePair> ridgeEdges(std::span<const float> a, std::span<const float> b,
                                   double centre, double minHalf, double maxHalf, double sigma) {
    const int n = static_cast<int>(a.size());
    if (n < 5 || b.size() != a.size() || !(sigma > 0) || !(minHalf >= 1) || !(maxHalf > minHalf))
        return std::nullopt;
    // Slopes of the Gaussian-smoothed profiles, by a derivative-of-Gaussian kernel (ends
    // clamped).
    const int r = std::max(1, static_cast<int>(std::ceil(3 * sigma)));
    std::vector<double> kernel(static_cast<std::size_t>(2 * r + 1));
    double norm = 0;
    for (int k = -r; k <= r; ++k) {
        const double g = std::exp(-0.5 * k * k / (sigma * sigma));
        kernel[static_cast<std::size_t>(k + r)] = k * g;
        norm += k * k * g;
    }
    for (double& k : kernel)
        k /= norm; // a unit ramp gives slope 1
    const auto slopeAt = [&](std::span<const float> p, int i) {
        double sum = 0;
        for (int k = -r; k <= r; ++k)
            sum += kernel[static_cast<std::size_t>(k + r)] *
                   p[static_cast<std::size_t>(std::clamp(i + k, 0, n - 1))];
        return sum;
    };
    std::vector<double> slope(static_cast<std::size_t>(n));
    std::vector<float> apart(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double sa = slopeAt(a, i), sb = slopeAt(b, i);
        slope[static_cast<std::size_t>(i)] = (sa + sb) / 2;
        apart[static_cast<std::size_t>(i)] = static_cast<float>(std::abs(sa - sb) / 2);
    }
    // The slope's noise: how far the two profiles' slopes differ, typically. A side counts
    // when it stands well out of that and its step (slope x the smoothing's width) is a
    // visible shade.
    const double noise = 1.4826 * median(apart);
    const double least = std::max(kNoiseTimes * noise, kLeastStep / (2.5 * sigma));

    const auto best = [&](double from, double to, double sense) -> std::optional<double> {
        const int first = std::max(1, static_cast<int>(std::ceil(from)));
        const int last = std::min(n - 2, static_cast<int>(std::floor(to)));
        int pick = -1;
        for (int i = first; i <= last; ++i)
            if (pick < 0 || sense * slope[static_cast<std::size_t>(i)] >
                                sense * slope[static_cast<std::size_t>(pick)])
                pick = i;
        if (pick < 0 || sense * slope[static_cast<std::size_t>(pick)] < least)
            return std::nullopt;
        // The peak between samples, from a parabola through it and its neighbours.
        const double l = slope[static_cast<std::size_t>(pick - 1)],
                     m = slope[static_cast<std::size_t>(pick)],
                     h = slope[static_cast<std::size_t>(pick + 1)];
        const double den = l - 2 * m + h;
        const double off = den != 0 ? std::clamp(0.5 * (l - h) / den, -0.5, 0.5) : 0.0;
        return pick + off;
    };
    const auto left = best(centre - maxHalf, centre - minHalf, 1);
    const auto right = best(centre + minHalf, centre + maxHalf, -1);
    if (!left || !right)
        return std::nullopt;
    return EdgePair{*left, *right};
}

PhotoLandmarks findInPhoto(const ImageView& photo, const FacePoints& face,
                           const FrontPoints& estimate) {
    PhotoLandmarks out;
    if (!Pixels::usable(photo))
        return out;
    const std::optional<Frame> fr = frameOf(face);
    if (!fr)
        return out;
    const Pixels px(photo);
    const Chip chip(px, *fr);
    findHairline(chip, px, *fr, face, estimate, out);
    findBridge(px, *fr, estimate, out);
    return out;
}

} // namespace veidora::facefit
