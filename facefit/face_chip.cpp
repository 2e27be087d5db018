#include "face_chip.hpp"

#include "face_points.hpp"
#include "image_pixels.hpp"

#include <algorithm>

namespace veidora::facefit {

namespace {

// A face narrower than this many pixels between the eye centres shows too little to read.
constexpr double kLeastEyeDistance = 8;

Point meanOf(const FacePoints& f, int first, int last) {
    Point m;
    for (int i = first; i <= last; ++i) {
        m.x += f[static_cast<std::size_t>(i)].x;
        m.y += f[static_cast<std::size_t>(i)].y;
    }
    const double n = last - first + 1;
    return {m.x / n, m.y / n};
}

} // namespace

std::optional<Frame> frameOf(const FacePoints& f) {
    const Point l = meanOf(f, face68::kLeftEyeOuter, face68::kLeftEyeLast);
    const Point r = meanOf(f, face68::kRightEyeInner, face68::kRightEyeLast);
    const double unit = std::hypot(r.x - l.x, r.y - l.y);
    if (!(unit >= kLeastEyeDistance)) // or NaN
        return std::nullopt;
    Frame fr;
    fr.origin = {(l.x + r.x) / 2, (l.y + r.y) / 2};
    fr.ex = {(r.x - l.x) / unit, (r.y - l.y) / unit};
    fr.ey = {-fr.ex.y, fr.ex.x};
    fr.unit = unit;
    return fr;
}

void Pixels::rgb(int x, int y, float* out) const {
    const Rgb c = rgbAt(m_v, x, y);
    out[0] = c.r;
    out[1] = c.g;
    out[2] = c.b;
}

// Between the four nearest pixel centres; false outside the picture.
bool Pixels::bilinear(Point p, float* out) const {
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

float Pixels::luma(Point p) const {
    float c[3] = {0, 0, 0};
    bilinear(p, c);
    return lumaOf(c[0], c[1], c[2]);
}

Chip::Chip(const Pixels& px, const Frame& fr)
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

std::vector<Shade> cheekShades(const Chip& chip, double midline) {
    // Beside the nose's wings and below the eyes' lower lids, in eye distances.
    constexpr double kInner = 0.32, kOuter = 0.6, kTop = 0.3, kBottom = 0.5;
    std::vector<Shade> out;
    for (double side : {-1.0, 1.0}) {
        const double x0 = midline + side * kInner, x1 = midline + side * kOuter;
        chip.each(std::min(x0, x1), std::max(x0, x1), kTop, kBottom,
                  [&](const Shade& s) { out.push_back(s); });
    }
    return out;
}

} // namespace veidora::facefit
