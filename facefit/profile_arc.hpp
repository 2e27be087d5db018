#pragma once

// A head's outline read upright: turned by how far the head leans and split at the top of the
// head into the front arc, which runs down past the face, and the back. Plain C++.

#include "profile_fit.hpp"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace veidora::facefit::profile {

// A moving average along the closed outline: the pixel steps of a traced boundary would
// otherwise decide which of two nearly equal points is the extreme.
std::vector<Point> smoothed(const std::vector<Point>& points, int radius);

// `p` turned by `radians` (clockwise on the screen) about `centre`.
Point turned(Point p, Point centre, double radians);

class FrontArc {
public:
    // The outline (facing left) turned upright by `tiltDegrees` about `centre`; nullopt with
    // `why` when it is too small or has no front arc.
    static std::optional<FrontArc> place(const std::vector<Point>& outline, const Outline& frame,
                                         Point centre, double tiltDegrees, std::string& why);

    // The i-th point down the front arc from the top of the head, upright.
    const Point& operator[](std::size_t i) const { return m_pts[index(i)]; }
    std::size_t size() const { return m_length; }
    std::size_t last() const { return m_length - 1; }
    // Every point of the outline, upright, either arc.
    const std::vector<Point>& all() const { return m_pts; }
    double top() const { return m_yTop; }
    // The widest row's width, from the top down to where the neck narrows (hair hanging
    // behind the head included).
    double rowWidth() const { return m_rowWidth; }

    // Whether the i-th point lies in the band along the frame that was taken for background.
    bool nearFrame(std::size_t i) const;
    // An upright point in the picture's frame (still facing left).
    Point toPicture(Point upright) const;
    // The point `depth` inside the outline from the i-th, upright; `width` is the head's.
    Point inside(std::size_t i, double depth, double width) const;

    // The index in [from, to] whose point has the largest key.
    template <class Key> std::size_t argMax(std::size_t from, std::size_t to, Key&& key) const {
        std::size_t best = from;
        double bestKey = key((*this)[from]);
        for (std::size_t i = from + 1; i <= to; ++i) {
            const double k = key((*this)[i]);
            if (k > bestKey) {
                bestKey = k;
                best = i;
            }
        }
        return best;
    }

private:
    std::size_t index(std::size_t i) const {
        return (m_top + m_dir * i + m_pts.size() * 2) % m_pts.size();
    }

    const std::vector<Point>* m_raw = nullptr;
    const Outline* m_frame = nullptr;
    std::vector<Point> m_pts;
    Point m_centre;
    double m_tilt = 0;
    std::size_t m_top = 0;    // raw index of the top
    std::size_t m_dir = 1;    // +1 or n-1: the way round that runs down the face
    std::size_t m_length = 0; // of the front arc
    double m_yTop = 0;
    double m_rowWidth = 0;
};

} // namespace veidora::facefit::profile
