#include "level_frame.hpp"

#include "image_pixels.hpp"

#include <algorithm>
#include <cmath>

namespace veidora::facefit::level {

namespace {

// S4 and S15 in the side result (index 0 = S1).
constexpr std::size_t kNoseRoot = 3;
constexpr std::size_t kChinBottom = 14;

} // namespace

Point Frame::toFrame(Point p) const {
    const double dx = p.x - origin.x, dy = p.y - origin.y;
    return {(dx * back.x + dy * back.y) / unit, (dx * down.x + dy * down.y) / unit};
}

Point Frame::toPicture(Point f) const {
    return {origin.x + (f.x * back.x + f.y * down.x) * unit,
            origin.y + (f.x * back.y + f.y * down.y) * unit};
}

std::optional<Frame> frameOf(const ProfileResult& profile) {
    const Point root = profile.points[kNoseRoot], chin = profile.points[kChinBottom];
    const double dx = chin.x - root.x, dy = chin.y - root.y;
    const double length = std::hypot(dx, dy);
    if (!(length > 1))
        return std::nullopt;
    Frame f;
    f.origin = root;
    f.unit = length;
    f.down = {dx / length, dy / length};
    // Down turned a quarter anticlockwise on the screen points right, the back of a head that
    // faces left; the other way for one that faces right.
    f.back =
        profile.facing == Facing::Left ? Point{f.down.y, -f.down.x} : Point{-f.down.y, f.down.x};
    return f;
}

Patch resample(const ImageView& picture, const Frame& frame, double left, double top, double right,
               double bottom, double step) {
    Patch p;
    p.left = left;
    p.top = top;
    p.step = step;
    p.columns = std::max(1, static_cast<int>(std::floor((right - left) / step)) + 1);
    p.rows = std::max(1, static_cast<int>(std::floor((bottom - top) / step)) + 1);
    const std::size_t n = std::size_t(p.columns) * std::size_t(p.rows);
    p.luma.assign(n, 0);
    p.red.assign(n, 0);
    p.green.assign(n, 0);
    p.blue.assign(n, 0);
    p.inside.assign(n, 0);
    for (int j = 0; j < p.rows; ++j)
        for (int i = 0; i < p.columns; ++i) {
            // Pixel centres sit at half-integer continuous coordinates.
            const Point q = frame.toPicture(p.framePoint(i, j));
            const double x = q.x - 0.5, y = q.y - 0.5;
            const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
            if (x0 < 0 || y0 < 0 || x0 + 1 >= picture.width || y0 + 1 >= picture.height)
                continue;
            const double fx = x - x0, fy = y - y0;
            const Rgb a = rgbAt(picture, x0, y0), b = rgbAt(picture, x0 + 1, y0),
                      c = rgbAt(picture, x0, y0 + 1), d = rgbAt(picture, x0 + 1, y0 + 1);
            const auto mix = [&](double va, double vb, double vc, double vd) {
                return static_cast<float>((1 - fy) * ((1 - fx) * va + fx * vb) +
                                          fy * ((1 - fx) * vc + fx * vd));
            };
            const std::size_t k = p.at(i, j);
            p.red[k] = mix(a.r, b.r, c.r, d.r);
            p.green[k] = mix(a.g, b.g, c.g, d.g);
            p.blue[k] = mix(a.b, b.b, c.b, d.b);
            p.luma[k] = lumaOf(p.red[k], p.green[k], p.blue[k]);
            p.inside[k] = 1;
        }
    return p;
}

std::vector<float> boxBlur(const std::vector<float>& values,
                           const std::vector<unsigned char>& inside, int columns, int rows,
                           int radius) {
    // Running sums along the rows, then down the columns.
    const auto idx = [columns](int i, int j) {
        return std::size_t(j) * std::size_t(columns) + std::size_t(i);
    };
    std::vector<float> sum(values.size(), 0), count(values.size(), 0);
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i) {
            float s = 0, c = 0;
            for (int k = std::max(0, i - radius); k <= std::min(columns - 1, i + radius); ++k)
                if (inside[idx(k, j)]) {
                    s += values[idx(k, j)];
                    c += 1;
                }
            sum[idx(i, j)] = s;
            count[idx(i, j)] = c;
        }
    std::vector<float> out(values.size(), 0);
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i) {
            float s = 0, c = 0;
            for (int k = std::max(0, j - radius); k <= std::min(rows - 1, j + radius); ++k) {
                s += sum[idx(i, k)];
                c += count[idx(i, k)];
            }
            out[idx(i, j)] = c > 0 ? s / c : 0;
        }
    return out;
}

float medianLuma(const Patch& patch, int i0, int j0, int i1, int j1) {
    std::vector<float> v;
    for (int j = std::max(0, j0); j < std::min(patch.rows, j1); ++j)
        for (int i = std::max(0, i0); i < std::min(patch.columns, i1); ++i)
            if (patch.inside[patch.at(i, j)])
                v.push_back(patch.luma[patch.at(i, j)]);
    if (v.empty())
        return 0;
    std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
    return v[v.size() / 2];
}

} // namespace veidora::facefit::level
