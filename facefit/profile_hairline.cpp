#include "profile_hairline.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace veidora::facefit::profile {

namespace {

// Colours are read this far inside the outline (a share of the head's width), past the thin
// strands at the hairline's edge.
constexpr double kProbeDepth = 0.03;
// The forehead's skin is taken between these heights above the brow (below lie the eyebrows).
constexpr double kSkinBandFrom = 0.03;
constexpr double kSkinBandTo = 0.12;
// Hair differs from the skin by this much colour and is this much darker (a highlight on the
// forehead is lighter), over a run this long (a share of the width, at least kLeastRun points).
constexpr double kHairContrast = 45;
constexpr double kHairDarker = 15;
constexpr double kHairRun = 0.012;
constexpr int kLeastRun = 3;
// The hairline lies at most this share of the way up from the brow to the top of the head.
constexpr double kHairlineReach = 0.75;

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
            const std::uint8_t* q = v.pixels + static_cast<std::ptrdiff_t>(y) * v.bytesPerLine +
                                    static_cast<std::ptrdiff_t>(x) * v.channels;
            if (v.channels == 3) {
                sum.r += q[0];
                sum.g += q[1];
                sum.b += q[2];
            } else {
                sum.r += q[2];
                sum.g += q[1];
                sum.b += q[0];
            }
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

std::optional<std::size_t> findHairline(const FrontArc& arc, const ColourView& colours,
                                        bool mirrored, double pictureWidth, std::size_t brow,
                                        Point top, double width) {
    const auto inside = [&](std::size_t i) {
        return colourInside(arc, colours, mirrored, pictureWidth, i, kProbeDepth * width, width);
    };
    const double browY = arc[brow].y;

    Colour skin;
    int n = 0;
    for (std::size_t i = brow; i > 0 && arc[i].y > browY - kSkinBandTo * width; --i) {
        if (arc[i].y > browY - kSkinBandFrom * width)
            continue;
        if (const auto c = inside(i)) {
            skin.r += c->r;
            skin.g += c->g;
            skin.b += c->b;
            ++n;
        }
    }
    if (n == 0)
        return std::nullopt;
    skin = {skin.r / n, skin.g / n, skin.b / n};

    const double lowest = browY - kSkinBandFrom * width;
    const double highest = browY - kHairlineReach * (browY - top.y);
    const int least = std::max(kLeastRun, static_cast<int>(kHairRun * width));
    int run = 0;
    for (std::size_t i = brow; i-- > 0;) {
        if (arc[i].y > lowest)
            continue; // the eyebrows
        if (arc[i].y < highest)
            break;
        const auto c = inside(i);
        run = c && colourDistance(*c, skin) > kHairContrast &&
                      lightness(*c) < lightness(skin) - kHairDarker
                  ? run + 1
                  : 0;
        if (run >= least)
            return i + static_cast<std::size_t>(run) - 1;
    }
    return std::nullopt;
}

} // namespace veidora::facefit::profile
