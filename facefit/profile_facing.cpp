#include "profile_facing.hpp"

#include "image_pixels.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace veidora::facefit::profile {

namespace {

// The patches lie this far inside the outline and have this radius (shares of the head's
// width): inside the tip and on the ridge, clear of the backdrop's edge and of the nostril.
constexpr double kGrainDepth = 0.04;
constexpr double kGrainRadius = 0.02;
// A patch smaller than this many pixels across shows no strands.
constexpr int kLeastGrainRadius = 2;
// Hair is grainier than a nose by at least this factor and this many grey levels summed over
// the two patches. On the development profiles decoded as the window decodes them, a nose gives
// 2.6 to 6, hair read as one 7 to 33, and a front view's ear or hair 8.7 and more.
constexpr double kGrainFactor = 1.5;
constexpr double kGrainGap = 2;
// Grainier than this, a nose is hair whatever the other way reads.
constexpr double kHairGrain = 7;
// The nose tip's and the chin's colours differ by at most kSameSkin on a face (RGB distance);
// a tip this much further off, and at least kOtherColour, is not skin like the chin's.
constexpr double kSameSkin = 40;
constexpr double kOtherColour = 45;
constexpr double kSkinMargin = 2;
// A nose standing out less than twice as far one way as the other is a face seen from the
// front, or something else.
constexpr double kNoseMargin = 2;

double lightnessAt(const ColourView& v, int x, int y) {
    const Rgb q = rgbAt(v, x, y);
    return 0.299 * q.r + 0.587 * q.g + 0.114 * q.b;
}

// The median lightness step between neighbouring pixels in the disc of radius `r` about `c`:
// strands fill a patch of hair, while a nose ring, a glint or a nostril's edge on a nose touch
// only a few of its pixels.
std::optional<double> grainAt(const ColourView& v, Point c, int r) {
    const int cx = static_cast<int>(std::floor(c.x)), cy = static_cast<int>(std::floor(c.y));
    if (cx - r < 0 || cy - r < 0 || cx + r + 1 >= v.width || cy + r + 1 >= v.height)
        return std::nullopt;
    std::vector<double> steps;
    steps.reserve(static_cast<std::size_t>(8 * r * r + 8));
    for (int y = cy - r; y <= cy + r; ++y) {
        for (int x = cx - r; x <= cx + r; ++x) {
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) > r * r)
                continue;
            const double l = lightnessAt(v, x, y);
            steps.push_back(std::abs(lightnessAt(v, x + 1, y) - l));
            steps.push_back(std::abs(lightnessAt(v, x, y + 1) - l));
        }
    }
    const auto middle = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2);
    std::nth_element(steps.begin(), middle, steps.end());
    return *middle;
}

// The side whose value is clearly the smaller: by `factor` and `gap` at least.
FaceSide clearlySmaller(double left, double right, double factor, double gap) {
    if (right >= factor * left && right - left >= gap)
        return FaceSide::Left;
    if (left >= factor * right && left - right >= gap)
        return FaceSide::Right;
    return FaceSide::Neither;
}

} // namespace

FaceSide whichIsFace(const FacingCues& left, const FacingCues& right) {
    if (left.noseGrain && right.noseGrain) {
        const FaceSide smooth =
            clearlySmaller(*left.noseGrain, *right.noseGrain, kGrainFactor, kGrainGap);
        if (smooth != FaceSide::Neither)
            return smooth;
    }
    if (left.skinMismatch && right.skinMismatch) {
        const double l = *left.skinMismatch, r = *right.skinMismatch;
        if (r <= kSameSkin && l >= kOtherColour && l >= kSkinMargin * r)
            return FaceSide::Right;
        if (l <= kSameSkin && r >= kOtherColour && r >= kSkinMargin * l)
            return FaceSide::Left;
    }
    if (left.noseSize >= kNoseMargin * right.noseSize)
        return FaceSide::Left;
    if (right.noseSize >= kNoseMargin * left.noseSize)
        return FaceSide::Right;
    return FaceSide::Neither;
}

bool noseIsHair(const FacingCues& cues) {
    return cues.noseGrain && *cues.noseGrain >= kHairGrain;
}

std::optional<double> grainInside(const FrontArc& arc, const ColourView& colours, bool mirrored,
                                  double pictureWidth, std::size_t i, double width) {
    const int r = std::max(kLeastGrainRadius, static_cast<int>(std::lround(kGrainRadius * width)));
    Point c = arc.toPicture(arc.inside(i, kGrainDepth * width, width));
    if (mirrored)
        c = facefit::mirrored(c, pictureWidth);
    return grainAt(colours, c, r);
}

std::optional<double> noseGrain(const FrontArc& arc, const ColourView& colours, bool mirrored,
                                double pictureWidth, std::size_t tip, std::size_t root,
                                double width) {
    double sum = 0;
    for (const std::size_t i : {tip, (tip + root) / 2}) {
        const std::optional<double> g = grainInside(arc, colours, mirrored, pictureWidth, i, width);
        if (!g)
            return std::nullopt;
        sum += *g;
    }
    return sum;
}

} // namespace veidora::facefit::profile
