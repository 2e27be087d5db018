#include "profile_hairline.hpp"

#include "image_pixels.hpp"
#include "profile_facing.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace veidora::facefit::profile {

namespace {

// Colours are read this far inside the outline (a share of the head's width), past the thin
// strands at the hairline's edge.
constexpr double kProbeDepth = 0.03;
// The forehead's skin is the middle colour of the outline between these heights above the
// brow: the eyebrows reach up to about 0.06 of the head's width above its most forward point.
constexpr double kSkinBandFrom = 0.07;
constexpr double kSkinBandTo = 0.14;
// Hair differs from the skin by this much colour, and is this much darker or this much
// rougher (the lightness's spread over a square of kSpreadRadius): a highlight on the forehead
// is lighter and smooth, blond hair is strands.
constexpr double kHairContrast = 45;
constexpr double kHairDarker = 15;
constexpr double kHairSpread = 4;
constexpr double kSpreadRadius = 0.006;
// Runs this long (shares of the width, at least kLeastRun points) are skin and hair, not an
// eyebrow's gap or a strand.
constexpr double kSkinRun = 0.02;
constexpr double kHairRun = 0.012;
constexpr std::size_t kLeastRun = 3;
// The hairline lies at most this share of the way up from the brow to the top of the head.
constexpr double kHairlineReach = 0.75;
// Above a hairline, hair covers the outline up to the crown: a run of the forehead's colour this
// long (a share of the width) above a hair edge means a few strands across a bald scalp, or
// hair too like the skin to tell. On the development profiles hairlines show runs up to 0.35
// (one 0.5 at one decoding size), a short-cropped head of hair like its skin 0.52 to 0.54.
constexpr double kBareAbove = 0.43;
// ... and at least this share: a forehead's hairline lies about halfway up, and a hair edge
// below a third of the way is a fringe hanging over the forehead, not where the hair grows.
constexpr double kFringeBelow = 0.3;

// Hair hanging over the brow is mostly at least this many times as grainy as the nose's skin
// (per patch): on the development profiles, a forehead coming forward again above a dent over
// the brow reads 0.4 to 1.4 times the nose's grain, hair over the brow 2.3 to 4.9 times, at any
// decoding size.
constexpr double kFringeGrain = 1.8;
// ... and at least this grainy: neighbouring pixels of smooth skin differ by less whatever the
// nose reads (a camera's noise gives 1 to 2 grey levels; the fringes 3 and more).
constexpr double kLeastHairGrain = 2.5;

struct Colour {
    double r = 0, g = 0, b = 0;
};

double colourDistance(Colour a, Colour b) {
    return std::hypot(a.r - b.r, a.g - b.g, a.b - b.b);
}

double lightness(Colour c) {
    return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
}

// The mean colour of the 3 x 3 pixels about `p`; nullopt outside the picture.
std::optional<Colour> colourAt(const ColourView& v, Point p) {
    const int cx = static_cast<int>(std::floor(p.x)), cy = static_cast<int>(std::floor(p.y));
    Colour sum;
    int n = 0;
    for (int y = cy - 1; y <= cy + 1; ++y) {
        for (int x = cx - 1; x <= cx + 1; ++x) {
            if (x < 0 || y < 0 || x >= v.width || y >= v.height)
                continue;
            const Rgb q = rgbAt(v, x, y);
            sum.r += q.r;
            sum.g += q.g;
            sum.b += q.b;
            ++n;
        }
    }
    if (n == 0)
        return std::nullopt;
    return Colour{sum.r / n, sum.g / n, sum.b / n};
}

// The colour `depth` inside the arc's i-th point, in the picture as given.
std::optional<Colour> colourInside(const FrontArc& arc, const ColourView& colours, bool mirrored,
                                   double pictureWidth, std::size_t i, double depth, double width) {
    Point p = arc.toPicture(arc.inside(i, depth, width));
    if (mirrored)
        p = facefit::mirrored(p, pictureWidth);
    return colourAt(colours, p);
}

// How much the lightness varies (standard deviation) over the square of `radius` about `p`:
// hair is strands, skin is smooth. nullopt outside the picture.
std::optional<double> lightnessSpread(const ColourView& v, Point p, int radius) {
    const int cx = static_cast<int>(std::floor(p.x)), cy = static_cast<int>(std::floor(p.y));
    double sum = 0, sum2 = 0;
    int n = 0;
    for (int y = cy - radius; y <= cy + radius; ++y) {
        for (int x = cx - radius; x <= cx + radius; ++x) {
            if (x < 0 || y < 0 || x >= v.width || y >= v.height)
                continue;
            const Rgb q = rgbAt(v, x, y);
            const double l = lightness({double(q.r), double(q.g), double(q.b)});
            sum += l;
            sum2 += l * l;
            ++n;
        }
    }
    if (n == 0)
        return std::nullopt;
    const double mean = sum / n;
    return std::sqrt(std::max(0.0, sum2 / n - mean * mean));
}

struct Probe {
    std::size_t index = 0;
    double y = 0;
    Colour colour;
    double spread = 0;
};

// The index up the arc from `from` whose point is the first at or above `y`.
std::size_t upTo(const FrontArc& arc, std::size_t from, double y) {
    std::size_t i = from;
    while (i > 0 && arc[i].y > y)
        --i;
    return i;
}

// The middle (per channel) colour and spread of the probes in the forehead's band; nullopt
// when none lie there.
std::optional<Probe> foreheadSkin(const std::vector<Probe>& probes, double browY, double width) {
    std::vector<double> r, g, b, s;
    for (const Probe& q : probes) {
        if (q.y <= browY - kSkinBandFrom * width && q.y >= browY - kSkinBandTo * width) {
            r.push_back(q.colour.r);
            g.push_back(q.colour.g);
            b.push_back(q.colour.b);
            s.push_back(q.spread);
        }
    }
    if (r.empty())
        return std::nullopt;
    const auto middle = [](std::vector<double>& v) {
        std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
        return v[v.size() / 2];
    };
    Probe out;
    out.colour = {middle(r), middle(g), middle(b)};
    out.spread = middle(s);
    return out;
}

// The longest run of points (probed as the hairline is) up the arc from `from` to the top whose
// colour is the skin's, bridging gaps shorter than `bridge` points (a strand across the scalp).
std::size_t longestSkinRunAbove(const FrontArc& arc, const ColourView& colours, bool mirrored,
                                double pictureWidth, std::size_t from, Colour skin,
                                std::size_t bridge, double width) {
    std::size_t run = 0, gap = 0, longest = 0;
    for (std::size_t i = from + 1; i-- > 0;) {
        const auto c =
            colourInside(arc, colours, mirrored, pictureWidth, i, kProbeDepth * width, width);
        if (c && colourDistance(*c, skin) <= kHairContrast) {
            run = (gap >= bridge ? 0 : run + gap) + 1;
            gap = 0;
        } else {
            ++gap;
        }
        longest = std::max(longest, run);
    }
    return longest;
}

} // namespace

std::optional<double> tipToChinColour(const FrontArc& arc, const ColourView& colours, bool mirrored,
                                      double pictureWidth, std::size_t tip, std::size_t chin,
                                      double width) {
    const auto a =
        colourInside(arc, colours, mirrored, pictureWidth, tip, kProbeDepth * width, width);
    const auto b =
        colourInside(arc, colours, mirrored, pictureWidth, chin, kProbeDepth * width, width);
    if (!a || !b)
        return std::nullopt;
    return colourDistance(*a, *b);
}

bool isHairOverBrow(const FrontArc& arc, const ColourView& colours, bool mirrored,
                    double pictureWidth, std::size_t from, std::size_t to, double noseGrain,
                    double width) {
    std::vector<double> grains;
    for (std::size_t i = from; i <= to; ++i)
        if (const auto g = grainInside(arc, colours, mirrored, pictureWidth, i, width))
            grains.push_back(*g);
    if (grains.empty())
        return false;
    const auto middle = grains.begin() + static_cast<std::ptrdiff_t>(grains.size() / 2);
    std::nth_element(grains.begin(), middle, grains.end());
    return *middle >= std::max(kFringeGrain * noseGrain / 2, kLeastHairGrain);
}

std::optional<HairEdge> findHairline(const FrontArc& arc, const ColourView& colours, bool mirrored,
                                     double pictureWidth, std::size_t brow, Point top,
                                     double width) {
    const double browY = arc[brow].y;
    const std::size_t highest = upTo(arc, brow, browY - kHairlineReach * (browY - top.y));
    // The probes from the brow up to as high as a hairline can lie, lowest first.
    std::vector<Probe> probes;
    for (std::size_t i = brow; i-- > highest;) {
        Point p = arc.toPicture(arc.inside(i, kProbeDepth * width, width));
        if (mirrored)
            p = facefit::mirrored(p, pictureWidth);
        const auto c = colourAt(colours, p);
        const auto spread =
            lightnessSpread(colours, p, std::max(1, static_cast<int>(kSpreadRadius * width)));
        if (c && spread)
            probes.push_back({i, arc[i].y, *c, *spread});
    }
    // The forehead's skin: the middle colour of the band above the eyebrows.
    const auto skin = foreheadSkin(probes, browY, width);
    if (!skin)
        return std::nullopt;
    const auto isSkin = [&](const Probe& q) {
        return colourDistance(q.colour, skin->colour) <= kHairContrast;
    };
    const auto isHair = [&](const Probe& q) {
        return colourDistance(q.colour, skin->colour) > kHairContrast &&
               (lightness(q.colour) < lightness(skin->colour) - kHairDarker ||
                q.spread > skin->spread + kHairSpread);
    };
    // Up from the brow past the eyebrows to the first run of skin, then on up to the first run
    // of hair: its lowest point is the hairline. No skin (a fringe down to the brows) or no
    // hair (a bald or shaved head, hair like the skin) shows no hairline.
    const std::size_t skinRun = std::max(kLeastRun, static_cast<std::size_t>(kSkinRun * width));
    const std::size_t hairRun = std::max(kLeastRun, static_cast<std::size_t>(kHairRun * width));
    std::size_t k = 0, run = 0;
    for (; k < probes.size() && run < skinRun; ++k)
        run = isSkin(probes[k]) ? run + 1 : 0;
    if (run < skinRun)
        return std::nullopt;
    run = 0;
    for (; k < probes.size(); ++k) {
        run = isHair(probes[k]) ? run + 1 : 0;
        if (run >= hairRun) {
            const std::size_t edge = probes[k + 1 - run].index;
            const bool aboveFringe = arc[edge].y <= browY - kFringeBelow * (browY - top.y);
            const bool coveredAbove =
                longestSkinRunAbove(arc, colours, mirrored, pictureWidth, edge, skin->colour,
                                    hairRun, width) < kBareAbove * width;
            return HairEdge{edge, aboveFringe && coveredAbove};
        }
    }
    return std::nullopt;
}

} // namespace veidora::facefit::profile
