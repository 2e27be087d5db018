#include "geometry.hpp"

#include <cmath>

namespace veidora {

double area(double x1, double y1, double x2, double y2, double x3, double y3) {
    const double twice = x1 * (y2 - y3) + x2 * (y3 - y1) + x3 * (y1 - y2);
    return std::fabs(twice / 2);
}

bool isInside(double x1, double y1, double x2, double y2, double x3, double y3, double x,
              double y) {
    const double A = area(x1, y1, x2, y2, x3, y3);
    const double A1 = area(x, y, x2, y2, x3, y3);
    const double A2 = area(x1, y1, x, y, x3, y3);
    const double A3 = area(x1, y1, x2, y2, x, y);
    const long double sum = static_cast<long double>(A1) + A2 + A3;
    return sum == static_cast<long double>(A);
}

double DistancePtToSegment(const TPointF& pt, const TPointF& pt1, const TPointF& pt2) {
    const double a = static_cast<double>(pt.X) - pt1.X;
    const double b = static_cast<double>(pt.Y) - pt1.Y;
    const double c = static_cast<double>(pt2.X) - pt1.X;
    const double d = static_cast<double>(pt2.Y) - pt1.Y;
    const double len_sq = c * c + d * d;
    double param = -1;
    if (len_sq != 0)
        param = (a * c + b * d) / len_sq;
    double xx, yy;
    if (param < 0) {
        xx = pt1.X;
        yy = pt1.Y;
    } else if (param > 1) {
        xx = pt2.X;
        yy = pt2.Y;
    } else {
        xx = pt1.X + param * c;
        yy = pt1.Y + param * d;
    }
    const double dx = pt.X - xx;
    const double dy = pt.Y - yy;
    return std::sqrt(dx * dx + dy * dy);
}

double TriangleAreaCalculation(const TPointF& Ap, const TPointF& Bp, const TPointF& Cp) {
    const double x1 = Ap.X, y1 = Ap.Y;
    const double x2 = Bp.X, y2 = Bp.Y;
    const double x3 = Cp.X, y3 = Cp.Y;
    const double Skait = (y2 - y3) * x1 + (y3 - y1) * x2 + (y1 - y2) * x3;
    return Skait / 2;
}

} // namespace veidora
