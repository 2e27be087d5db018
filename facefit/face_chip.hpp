#pragma once

// The face's own frame (from its eyes) and its surroundings resampled upright into a chip of
// colour cells, which the searches of the photo read at any size or tilt.

#include "face_fit.hpp"
#include "image_view.hpp"
#include "skin_model.hpp"

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace veidora::facefit {

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

// The frame from the eye centres; nullopt for a face too small to read anything from.
std::optional<Frame> frameOf(const FacePoints& f);

// A readable picture's pixels in continuous coordinates (pixel (i, j) covers [i, i+1) x
// [j, j+1)).
class Pixels {
public:
    explicit Pixels(const ImageView& v) : m_v(v) {}

    void rgb(int x, int y, float* out) const;
    int width() const { return m_v.width; }
    int height() const { return m_v.height; }
    bool inside(Point p) const {
        return p.x >= 0 && p.y >= 0 && p.x < m_v.width && p.y < m_v.height;
    }
    // Between the four nearest pixel centres; false outside the picture.
    bool bilinear(Point p, float* out) const;
    // The luma there; 0 outside the picture.
    float luma(Point p) const;

private:
    ImageView m_v;
};

// The face's surroundings resampled upright, at a fixed number of cells per eye distance, each
// cell the mean of the pixels it covers: the searches then read the same at any size or
// tilt, and single noisy pixels are averaged away.
inline constexpr int kCellsPerUnit = 64;
inline constexpr double kCell = 1.0 / kCellsPerUnit;

class Chip {
public:
    static constexpr double kLeft = -2.3, kRight = 2.3, kTop = -2.3, kBottom = 0.8;

    // The chip of `fr`'s face on the picture `px` reads.
    Chip(const Pixels& px, const Frame& fr);

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

// The cheeks beside the nose, where a face shows its skin most plainly; `midline` in face units.
std::vector<Shade> cheekShades(const Chip& chip, double midline);

} // namespace veidora::facefit
