#include "studio_matte.hpp"

#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <random>

namespace veidora::bench {

namespace {

// The band along the left, top and right sides read as backdrop first, as a share of the
// longer side (the body leaves the picture at the bottom).
constexpr double kFrameBand = 0.03;
// The backdrop's colour at a pixel is the mean of the backdrop known within this share of the
// longer side: a studio light falls off across a backdrop in a vignette no simple surface
// follows, but slowly.
constexpr double kLocalWindow = 0.03;
// A pixel is backdrop beside known backdrop when closer to its local colour than this many
// times the backdrop's spread (at least kLeastStep levels): sensor noise and JPEG ringing.
constexpr float kBackdropTimes = 3.5f;
constexpr float kLeastStep = 6;
// The local colour counts where known backdrop fills at least this share of the window.
constexpr float kLeastKnown = 0.1f;
// The backdrop grows out from the frame at most this many windows.
constexpr int kMostRounds = 60;
// Backdrop-coloured pixels this close to the backdrop the frame reaches (a share of the longer
// side) are backdrop seen between strands of hair.
constexpr double kHoleReach = 0.03;
// The edge band, as a share of the longer side, in which the person's share is read off the
// colour (a strand of hair covers part of a pixel); deeper in, the person covers it all.
constexpr double kEdgeBand = 0.004;
// The person's own colour distance from the backdrop is averaged over this share of the longer
// side about an edge pixel, and over kFarWindow times that where nothing solid lies closer.
constexpr double kSolidWindow = 0.012;
constexpr int kFarWindow = 4;

// Calls `visit` with each of pixel i's 4-connected neighbours inside a w x h picture.
template <typename Visit> void forEachNeighbour(std::size_t i, int w, int h, Visit&& visit) {
    const int x = int(i % std::size_t(w)), y = int(i / std::size_t(w));
    if (x > 0)
        visit(i - 1);
    if (x < w - 1)
        visit(i + 1);
    if (y > 0)
        visit(i - std::size_t(w));
    if (y < h - 1)
        visit(i + std::size_t(w));
}

float median(std::vector<float> v) {
    if (v.empty())
        return 0;
    std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// Box sums of radius `r` over a w×h plane through a summed-area table, the window cut at the
// edges; `mean` divides by the window's full area.
std::vector<float> boxMean(const std::vector<float>& in, int w, int h, int r) {
    std::vector<double> sat(std::size_t(w + 1) * std::size_t(h + 1), 0);
    const auto at = [&](int x, int y) -> double& { return sat[std::size_t(y) * (w + 1) + x]; };
    for (int y = 0; y < h; ++y) {
        double row = 0;
        for (int x = 0; x < w; ++x) {
            row += in[std::size_t(y * w + x)];
            at(x + 1, y + 1) = at(x + 1, y) + row;
        }
    }
    std::vector<float> out(in.size());
    const float area = float((2 * r + 1) * (2 * r + 1));
    for (int y = 0; y < h; ++y) {
        const int y0 = std::max(0, y - r), y1 = std::min(h, y + r + 1);
        for (int x = 0; x < w; ++x) {
            const int x0 = std::max(0, x - r), x1 = std::min(w, x + r + 1);
            out[std::size_t(y * w + x)] =
                float(at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0)) / area;
        }
    }
    return out;
}

} // namespace

const char* backdropName(Backdrop b) {
    switch (b) {
    case Backdrop::Light:
        return "light (warm white)";
    case Backdrop::Dark:
        return "dark";
    case Backdrop::GradientLeftLight:
        return "gradient, light at the left";
    case Backdrop::GradientRightLight:
        return "gradient, light at the right";
    case Backdrop::DarkHalo:
        return "dark, light halo round the head";
    case Backdrop::Busy:
        return "busy (blurred blobs, some skin/hair)";
    }
    return "";
}

StudioMatte::StudioMatte(const QImage& photo)
    : m_photo(photo.convertToFormat(QImage::Format_RGB32)), m_w(photo.width()),
      m_h(photo.height()) {
    fitBackdrop();
    cutPerson();
}

StudioMatte::Rgb StudioMatte::backdropAt(int x, int y) const {
    return m_backdrop[std::size_t(y * m_w + x)];
}

// The backdrop grown out from the frame's band, pixel by pixel while a pixel is close to the
// mean of the backdrop already known about it; then its colour at every pixel, behind the
// person too, from the nearest known backdrop.
void StudioMatte::fitBackdrop() {
    const std::size_t n = std::size_t(m_w) * std::size_t(m_h);
    std::vector<float> plane[3];
    for (auto& p : plane)
        p.resize(n);
    for (int y = 0; y < m_h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(m_photo.constScanLine(y));
        for (int x = 0; x < m_w; ++x) {
            const std::size_t i = std::size_t(y * m_w + x);
            plane[0][i] = float(qRed(line[x]));
            plane[1][i] = float(qGreen(line[x]));
            plane[2][i] = float(qBlue(line[x]));
        }
    }
    const int longer = std::max(m_w, m_h);
    const int band = std::max(2, int(kFrameBand * longer));
    const int window = std::max(3, int(kLocalWindow * longer));
    std::vector<float> known(n, 0);
    for (int y = 0; y < m_h; ++y)
        for (int x = 0; x < m_w; ++x)
            if (y < band || x < band || x >= m_w - band)
                known[std::size_t(y * m_w + x)] = 1;
    // The mean colour of the known backdrop about each pixel, and how much of it is known.
    std::vector<float> share;
    const auto localColour = [&](int r) {
        share = boxMean(known, m_w, m_h, r);
        std::vector<float> weighted[3];
        for (int c = 0; c < 3; ++c) {
            std::vector<float> masked(n);
            for (std::size_t i = 0; i < n; ++i)
                masked[i] = plane[c][i] * known[i];
            weighted[c] = boxMean(masked, m_w, m_h, r);
        }
        m_backdrop.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            const float k = std::max(share[i], 1e-6f);
            m_backdrop[i] = {weighted[0][i] / k, weighted[1][i] / k, weighted[2][i] / k};
        }
    };
    const auto distance = [&](std::size_t i) {
        const Rgb& b = m_backdrop[i];
        return std::hypot(plane[0][i] - b.r, plane[1][i] - b.g, plane[2][i] - b.b);
    };
    // The band's spread about its own local colour; strands reaching the frame dropped.
    localColour(window);
    std::vector<float> spread;
    for (std::size_t i = 0; i < n; ++i)
        if (known[i] > 0)
            spread.push_back(distance(i));
    m_noise = median(spread);
    const float step = std::max(kLeastStep, kBackdropTimes * m_noise);
    for (std::size_t i = 0; i < n; ++i)
        if (known[i] > 0 && distance(i) >= step)
            known[i] = 0;
    std::deque<std::size_t> queue;
    for (int round = 0; round < kMostRounds; ++round) {
        localColour(window);
        for (std::size_t i = 0; i < n; ++i)
            if (known[i] > 0)
                queue.push_back(i);
        int added = 0;
        while (!queue.empty()) {
            const std::size_t i = queue.front();
            queue.pop_front();
            forEachNeighbour(i, m_w, m_h, [&](std::size_t j) {
                if (known[j] == 0 && share[j] >= kLeastKnown && distance(j) < step) {
                    known[j] = 1;
                    queue.push_back(j);
                    ++added;
                }
            });
        }
        if (added == 0)
            break;
    }
    m_isBackdrop.assign(n, 0);
    for (std::size_t i = 0; i < n; ++i)
        m_isBackdrop[i] = known[i] > 0;
    // Behind the person: from ever wider windows until some backdrop is in reach.
    std::vector<Rgb> colour(n);
    std::vector<bool> done(n, false);
    for (int r = window; r < 4 * longer; r *= 2) {
        localColour(r);
        bool all = true;
        for (std::size_t i = 0; i < n; ++i) {
            if (!done[i] && share[i] > 1e-4f) {
                colour[i] = m_backdrop[i];
                done[i] = true;
            }
            all = all && done[i];
        }
        if (all)
            break;
    }
    m_backdrop = std::move(colour);
}

// Steps from each pixel to the nearest `from` pixel (0 on them), 4-connected.
std::vector<int> StudioMatte::depthFrom(const std::vector<std::uint8_t>& from) const {
    const std::size_t n = from.size();
    std::vector<int> depth(n, -1);
    std::deque<std::size_t> queue;
    for (std::size_t i = 0; i < n; ++i)
        if (from[i]) {
            depth[i] = 0;
            queue.push_back(i);
        }
    while (!queue.empty()) {
        const std::size_t i = queue.front();
        queue.pop_front();
        forEachNeighbour(i, m_w, m_h, [&](std::size_t j) {
            if (depth[j] < 0) {
                depth[j] = depth[i] + 1;
                queue.push_back(j);
            }
        });
    }
    return depth;
}

// The person's share of each pixel: none on the backdrop (also where it shows between strands
// of hair), unmixed from the colours about it in a thin band at the edge, all of it deeper in.
void StudioMatte::cutPerson() {
    const std::size_t n = std::size_t(m_w) * std::size_t(m_h);
    const int longer = std::max(m_w, m_h);
    std::vector<Rgb> colour(n);
    std::vector<float> distance(n);
    for (int y = 0; y < m_h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(m_photo.constScanLine(y));
        for (int x = 0; x < m_w; ++x) {
            const std::size_t i = std::size_t(y * m_w + x);
            const Rgb b = m_backdrop[i];
            colour[i] = {float(qRed(line[x])), float(qGreen(line[x])), float(qBlue(line[x]))};
            distance[i] = std::hypot(colour[i].r - b.r, colour[i].g - b.g, colour[i].b - b.b);
        }
    }
    const float step = std::max(kLeastStep, kBackdropTimes * m_noise);
    std::vector<std::uint8_t> backdrop = m_isBackdrop;
    const std::vector<int> outside = depthFrom(backdrop);
    const int holeReach = std::max(2, int(kHoleReach * longer));
    for (std::size_t i = 0; i < n; ++i)
        if (outside[i] > 0 && outside[i] <= holeReach && distance[i] < step)
            backdrop[i] = 1;
    const std::vector<int> depth = depthFrom(backdrop);
    const int edge = std::max(2, int(std::lround(kEdgeBand * longer)));
    // The person's own colour about each pixel, from where it covers the pixels wholly.
    std::vector<float> solid(n, 0), planes[3];
    for (auto& p : planes)
        p.assign(n, 0);
    Rgb everywhere;
    double count = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (depth[i] > edge) {
            solid[i] = 1;
            planes[0][i] = colour[i].r;
            planes[1][i] = colour[i].g;
            planes[2][i] = colour[i].b;
            everywhere = {everywhere.r + colour[i].r, everywhere.g + colour[i].g,
                          everywhere.b + colour[i].b};
            ++count;
        }
    if (count > 0)
        everywhere = {float(everywhere.r / count), float(everywhere.g / count),
                      float(everywhere.b / count)};
    const int near = std::max(3, int(kSolidWindow * longer));
    const std::vector<float> countNear = boxMean(solid, m_w, m_h, near);
    const std::vector<float> countFar = boxMean(solid, m_w, m_h, kFarWindow * near);
    std::vector<float> sumNear[3], sumFar[3];
    for (int c = 0; c < 3; ++c) {
        sumNear[c] = boxMean(planes[c], m_w, m_h, near);
        sumFar[c] = boxMean(planes[c], m_w, m_h, kFarWindow * near);
    }
    m_alpha.assign(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        if (depth[i] == 0)
            continue;
        if (depth[i] > edge) {
            m_alpha[i] = 1;
            continue;
        }
        Rgb person = everywhere;
        if (countNear[i] > 1e-3f)
            person = {sumNear[0][i] / countNear[i], sumNear[1][i] / countNear[i],
                      sumNear[2][i] / countNear[i]};
        else if (countFar[i] > 1e-3f)
            person = {sumFar[0][i] / countFar[i], sumFar[1][i] / countFar[i],
                      sumFar[2][i] / countFar[i]};
        // The pixel as a mix of the person's colour and the backdrop's: its share along the
        // line between them (a sharpening halo brighter than the backdrop is none of it).
        const Rgb b = m_backdrop[i], c = colour[i];
        const float fr = person.r - b.r, fg = person.g - b.g, fb = person.b - b.b;
        const float span = fr * fr + fg * fg + fb * fb;
        if (span < step * step) {
            m_alpha[i] = 1; // the person looks like the backdrop here: kept whole
            continue;
        }
        const float along = (c.r - b.r) * fr + (c.g - b.g) * fg + (c.b - b.b) * fb;
        m_alpha[i] = std::clamp(along / span, 0.0f, 1.0f);
    }
    m_alpha = boxMean(m_alpha, m_w, m_h, 1); // feathered
}

std::vector<StudioMatte::Rgb> StudioMatte::generated(Backdrop b, unsigned seed) const {
    const std::size_t n = std::size_t(m_w) * std::size_t(m_h);
    std::vector<Rgb> out(n);
    const Rgb light{234, 232, 226}, dark{32, 34, 38};
    const auto lerp = [](Rgb a, Rgb c, float t) {
        return Rgb{a.r + (c.r - a.r) * t, a.g + (c.g - a.g) * t, a.b + (c.b - a.b) * t};
    };
    switch (b) {
    case Backdrop::Light:
        std::fill(out.begin(), out.end(), Rgb{238, 234, 226});
        break;
    case Backdrop::Dark:
        std::fill(out.begin(), out.end(), dark);
        break;
    case Backdrop::GradientLeftLight:
    case Backdrop::GradientRightLight:
        for (int y = 0; y < m_h; ++y)
            for (int x = 0; x < m_w; ++x) {
                const float t = float(x) / float(std::max(1, m_w - 1));
                out[std::size_t(y * m_w + x)] =
                    lerp(light, dark, b == Backdrop::GradientLeftLight ? t : 1 - t);
            }
        break;
    case Backdrop::DarkHalo: {
        // Centred on the head: the top rows the person covers.
        int top = m_h;
        for (int y = 0; y < m_h && top == m_h; ++y)
            for (int x = 0; x < m_w; ++x)
                if (m_alpha[std::size_t(y * m_w + x)] > 0.5f) {
                    top = y;
                    break;
                }
        double sx = 0, count = 0;
        for (int y = top; y < std::min(m_h, top + m_h / 3); ++y)
            for (int x = 0; x < m_w; ++x)
                if (m_alpha[std::size_t(y * m_w + x)] > 0.5f) {
                    sx += x;
                    ++count;
                }
        const double cx = count > 0 ? sx / count : m_w / 2.0, cy = top + 0.2 * m_h;
        const double spread = 0.3 * m_h;
        const Rgb halo{150, 154, 160};
        for (int y = 0; y < m_h; ++y)
            for (int x = 0; x < m_w; ++x) {
                const double r2 = ((x - cx) * (x - cx) + (y - cy) * (y - cy)) / (spread * spread);
                out[std::size_t(y * m_w + x)] = lerp(dark, halo, float(std::exp(-r2)));
            }
        break;
    }
    case Backdrop::Busy: {
        // A room out of focus: soft blobs and blocks of many colours, some taken from the
        // person's own skin and hair, over a fine mottle.
        std::mt19937 random(seed);
        const auto uniform = [&](double lo, double hi) {
            return std::uniform_real_distribution<double>(lo, hi)(random);
        };
        std::vector<QRgb> own;
        for (int y = 0; y < m_h; y += 4)
            for (int x = 0; x < m_w; x += 4)
                if (m_alpha[std::size_t(y * m_w + x)] >= 1 && y < m_h * 6 / 10)
                    own.push_back(m_photo.pixel(x, y));
        QImage scene(m_w, m_h, QImage::Format_RGB32);
        scene.fill(QColor(120, 118, 110));
        QPainter p(&scene);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        const auto colour = [&]() {
            if (!own.empty() && uniform(0, 1) < 0.4)
                return QColor(own[std::size_t(uniform(0, double(own.size()) - 1))]);
            // Muted as most rooms are: half way to grey.
            return QColor(int(uniform(25, 235) + 128) / 2, int(uniform(25, 235) + 128) / 2,
                          int(uniform(25, 235) + 128) / 2);
        };
        for (int k = 0; k < 25; ++k) {
            p.setBrush(colour());
            p.drawRect(QRectF(uniform(-0.1, 1) * m_w, uniform(-0.1, 1) * m_h,
                              uniform(0.05, 0.3) * m_w, uniform(0.05, 0.4) * m_h));
        }
        for (int k = 0; k < 70; ++k) {
            const QPointF c(uniform(0, m_w), uniform(0, m_h));
            const double r = uniform(0.03, 0.15) * m_w;
            QColor inner = colour(), outer = inner;
            outer.setAlpha(0);
            QRadialGradient g(c, r);
            g.setColorAt(0, inner);
            g.setColorAt(0.6, inner);
            g.setColorAt(1, outer);
            p.setBrush(g);
            p.drawEllipse(c, r, r);
        }
        p.end();
        std::vector<float> plane[3];
        for (auto& q : plane)
            q.resize(n);
        for (int y = 0; y < m_h; ++y)
            for (int x = 0; x < m_w; ++x) {
                const QRgb q = scene.pixel(x, y);
                const std::size_t i = std::size_t(y * m_w + x);
                plane[0][i] = float(qRed(q));
                plane[1][i] = float(qGreen(q));
                plane[2][i] = float(qBlue(q));
            }
        const int blur = std::max(1, m_w / 250);
        for (auto& q : plane)
            for (int pass = 0; pass < 3; ++pass)
                q = boxMean(q, m_w, m_h, blur);
        std::vector<float> mottle(n);
        std::normal_distribution<float> grain(0, 14);
        for (float& v : mottle)
            v = grain(random);
        mottle = boxMean(mottle, m_w, m_h, 2);
        for (std::size_t i = 0; i < n; ++i)
            out[i] = {plane[0][i] + mottle[i], plane[1][i] + mottle[i], plane[2][i] + mottle[i]};
        break;
    }
    }
    return out;
}

QImage StudioMatte::onto(Backdrop b, unsigned seed) const {
    const std::vector<Rgb> ground = generated(b, seed);
    QImage out(m_w, m_h, QImage::Format_RGB32);
    for (int y = 0; y < m_h; ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(m_photo.constScanLine(y));
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < m_w; ++x) {
            const std::size_t i = std::size_t(y * m_w + x);
            const float keep = 1 - m_alpha[i];
            const Rgb old = backdropAt(x, y), now = ground[i];
            // The photo's own grain on the backdrop goes with it.
            const auto mix = [&](int was, float from, float to) {
                return std::clamp(int(std::lround(was + keep * (to - from))), 0, 255);
            };
            line[x] = qRgb(mix(qRed(in[x]), old.r, now.r), mix(qGreen(in[x]), old.g, now.g),
                           mix(qBlue(in[x]), old.b, now.b));
        }
    }
    return out;
}

QImage StudioMatte::alphaImage() const {
    QImage out(m_w, m_h, QImage::Format_Grayscale8);
    for (int y = 0; y < m_h; ++y)
        for (int x = 0; x < m_w; ++x)
            out.scanLine(y)[x] = std::uint8_t(std::lround(255 * m_alpha[std::size_t(y * m_w + x)]));
    return out;
}

} // namespace veidora::bench
