#include "profile_facing.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace veidora::facefit::profile {

namespace {

// The patches lie this far inside the outline and have this radius (shares of the head's
// width): inside the tip and on the ridge, clear of the backdrop's edge and of the nostril.
constexpr double kGrainDepth = 0.04;
constexpr double kGrainRadius = 0.02;
// A patch smaller than this many pixels across shows no strands.
constexpr int kLeastGrainRadius = 2;
// Hair is grainier than a nose by at least this factor and this many grey levels summed over
// the two patches; on the development profiles a nose gives 3.4 to 9, the hair read as one 9.5
// to 28, and the two readings of one photo differ by a factor of 1.8 at least.
constexpr double kGrainFactor = 1.5;
constexpr double kGrainGap = 3;
// Grainier than this, a nose is hair whatever the other way reads: between the grainiest nose
// (9) and the smoothest hair of the development profiles (9.5) and fronts (11).
constexpr double kHairGrain = 10;
// The nose tip's and the chin's colours differ by at most kSameSkin on a face (RGB distance);
// a tip this much further off, and at least kOtherColour, is not skin like the chin's.
constexpr double kSameSkin = 40;
constexpr double kOtherColour = 45;
constexpr double kSkinMargin = 2;
// A nose standing out less than twice as far one way as the other is a face seen from the
// front, or something else.
constexpr double kNoseMargin = 2;

double lightnessAt(const ColourView& v, int x, int y) {
    const std::uint8_t* q = v.pixels + static_cast<std::ptrdiff_t>(y) * v.bytesPerLine +
                            static_cast<std::ptrdiff_t>(x) * v.channels;
    if (v.channels == 3)
        return 0.299 * q[0] + 0.587 * q[1] + 0.114 * q[2];
    return 0.299 * q[2] + 0.587 * q[1] + 0.114 * q[0];
}

// The mean lightness step between neighbouring pixels in the disc of radius `r` about `c`.
std::optional<double> grainAt(const ColourView& v, Point c, int r) {
    const int cx = static_cast<int>(std::floor(c.x)), cy = static_cast<int>(std::floor(c.y));
    if (cx - r < 0 || cy - r < 0 || cx + r + 1 >= v.width || cy + r + 1 >= v.height)
        return std::nullopt;
    double sum = 0;
    int n = 0;
    for (int y = cy - r; y <= cy + r; ++y) {
        for (int x = cx - r; x <= cx + r; ++x) {
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) > r * r)
                continue;
            const double l = lightnessAt(v, x, y);
            sum += std::abs(lightnessAt(v, x + 1, y) - l) + std::abs(lightnessAt(v, x, y + 1) - l);
            n += 2;
        }
    }
    return sum / n;
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

std::optional<double> noseGrain(const FrontArc& arc, const ColourView& colours, bool mirrored,
                                double pictureWidth, std::size_t tip, std::size_t root,
                                double width) {
    const int r = std::max(kLeastGrainRadius, static_cast<int>(std::lround(kGrainRadius * width)));
    double sum = 0;
    for (const std::size_t i : {tip, (tip + root) / 2}) {
        Point c = arc.toPicture(arc.inside(i, kGrainDepth * width, width));
        if (mirrored)
            c = facefit::mirrored(c, pictureWidth);
        const std::optional<double> g = grainAt(colours, c, r);
        if (!g)
            return std::nullopt;
        sum += *g;
    }
    return sum;
}

} // namespace veidora::facefit::profile
