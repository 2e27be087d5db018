#include "level_eye.hpp"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace veidora::facefit::level {

namespace {

// Where the lid's lowest point lies behind and below the nose's root on adult profiles, and how
// far round that it is looked for (frame units). Wide enough for the spread between heads, not
// so wide that the brow above or the cheek's shadow below come in.
constexpr double kEyeBack = 0.14;
constexpr double kEyeDown = 0.04;
constexpr double kHalfWidth = 0.10;
constexpr double kAbove = 0.09;
constexpr double kBelow = 0.09;
// Samples per frame unit: a face's length spans a few hundred pixels of a decoded photo.
constexpr double kStep = 1.0 / 250;
// Smoothing radius in samples: lashes and pores are finer than an eye's opening.
constexpr int kSmooth = 1;
// The opening (lashes, iris, the lids' shadowed edges) is this much darker than the skin round
// it.
constexpr float kDarkShare = 0.62f;
// An eye's opening covers between these areas (frame units squared); a lash line alone is less,
// a brow or hair more.
constexpr double kLeastArea = 0.0008;
constexpr double kMostArea = 0.012;
// The bottom of the opening: this share of its samples lie lower.
constexpr double kBottomShare = 0.04;
// The band above that bottom (frame units) whose samples say where across the lid is lowest.
constexpr double kBottomBand = 0.012;

struct Blob {
    std::vector<int> samples;
    double meanI = 0, meanJ = 0;
};

std::vector<Blob> darkBlobs(const std::vector<unsigned char>& dark, int columns, int rows) {
    std::vector<int> label(dark.size(), -1);
    std::vector<Blob> blobs;
    std::vector<int> stack;
    for (int start = 0; start < int(dark.size()); ++start) {
        if (!dark[std::size_t(start)] || label[std::size_t(start)] >= 0)
            continue;
        Blob b;
        stack.assign(1, start);
        label[std::size_t(start)] = int(blobs.size());
        while (!stack.empty()) {
            const int k = stack.back();
            stack.pop_back();
            b.samples.push_back(k);
            const int i = k % columns, j = k / columns;
            b.meanI += i;
            b.meanJ += j;
            for (const auto& [di, dj] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                const int ni = i + di, nj = j + dj;
                if (ni < 0 || nj < 0 || ni >= columns || nj >= rows)
                    continue;
                const int n = nj * columns + ni;
                if (dark[std::size_t(n)] && label[std::size_t(n)] < 0) {
                    label[std::size_t(n)] = int(blobs.size());
                    stack.push_back(n);
                }
            }
        }
        b.meanI /= double(b.samples.size());
        b.meanJ /= double(b.samples.size());
        blobs.push_back(std::move(b));
    }
    return blobs;
}

} // namespace

std::optional<Point> findLowerLid(const ImageView& picture, const Frame& frame) {
    const Patch patch = resample(picture, frame, kEyeBack - kHalfWidth, kEyeDown - kAbove,
                                 kEyeBack + kHalfWidth, kEyeDown + kBelow, kStep);
    const std::vector<float> luma =
        boxBlur(patch.luma, patch.inside, patch.columns, patch.rows, kSmooth);
    const float skin = medianLuma(patch, 0, 0, patch.columns, patch.rows);
    if (skin <= 0)
        return std::nullopt;
    std::vector<unsigned char> dark(luma.size(), 0);
    for (std::size_t k = 0; k < luma.size(); ++k)
        dark[k] = patch.inside[k] && luma[k] < kDarkShare * skin;
    const std::vector<Blob> blobs = darkBlobs(dark, patch.columns, patch.rows);
    // The opening of an eye's size nearest the typical place.
    const double area = kStep * kStep;
    const Blob* best = nullptr;
    double bestDistance = 0;
    for (const Blob& b : blobs) {
        const double a = double(b.samples.size()) * area;
        if (a < kLeastArea || a > kMostArea)
            continue;
        const Point c = patch.framePoint(b.meanI, b.meanJ);
        const double d = std::hypot(c.x - kEyeBack, c.y - kEyeDown);
        if (!best || d < bestDistance) {
            best = &b;
            bestDistance = d;
        }
    }
    if (!best)
        return std::nullopt;
    std::vector<int> rowsOf;
    for (int k : best->samples)
        rowsOf.push_back(k / patch.columns);
    std::sort(rowsOf.begin(), rowsOf.end());
    const int bottom = rowsOf[std::min(rowsOf.size() - 1,
                                       std::size_t((1 - kBottomShare) * double(rowsOf.size())))];
    const int band = std::max(1, int(std::lround(kBottomBand / kStep)));
    double sumI = 0;
    int n = 0;
    for (int k : best->samples)
        if (k / patch.columns >= bottom - band && k / patch.columns <= bottom) {
            sumI += k % patch.columns;
            ++n;
        }
    return patch.framePoint(sumI / n, bottom + 0.5);
}

} // namespace veidora::facefit::level
