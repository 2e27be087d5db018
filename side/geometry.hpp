#pragma once

#include "types.hpp"

namespace veidora {

// Unsigned area of the triangle (x1,y1), (x2,y2), (x3,y3).
double area(double x1, double y1, double x2, double y2, double x3, double y3);

// Whether (x, y) lies in the triangle: the three partial areas, summed in extended precision,
// equal the whole exactly. No tolerance, so points on an edge count as inside.
bool isInside(double x1, double y1, double x2, double y2, double x3, double y3, double x, double y);

// Shortest distance from pt to the segment pt1-pt2 (to pt1 when the segment is a point).
double DistancePtToSegment(const TPointF& pt, const TPointF& pt1, const TPointF& pt2);

// Signed area: positive when Ap, Bp, Cp run clockwise on screen (Y down).
double TriangleAreaCalculation(const TPointF& Ap, const TPointF& Bp, const TPointF& Cp);

} // namespace veidora
