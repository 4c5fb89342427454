// Points and affine matrices shared by the SVG renderer's parts.
#pragma once
#include <algorithm>
#include <cmath>
#include <vector>

namespace svg {

struct Point {
  double x = 0;
  double y = 0;
};

inline Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
inline Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
inline Point operator*(Point a, double s) { return {a.x * s, a.y * s}; }
inline double Dot(Point a, Point b) { return a.x * b.x + a.y * b.y; }
inline double Cross(Point a, Point b) { return a.x * b.y - a.y * b.x; }
inline double Length(Point a) { return std::sqrt(a.x * a.x + a.y * a.y); }

// Maps (x, y) to (a*x + c*y + e, b*x + d*y + f), as SVG's matrix(a b c d e f).
struct Matrix {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

  Point Apply(Point p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
  // This matrix applied after `inner`: result(p) = this(inner(p)).
  Matrix operator*(const Matrix& m) const {
    return {a * m.a + c * m.b, b * m.a + d * m.b, a * m.c + c * m.d,
            b * m.c + d * m.d, a * m.e + c * m.f + e, b * m.e + d * m.f + f};
  }
  double Determinant() const { return a * d - b * c; }
  bool Invert(Matrix& out) const {
    double det = Determinant();
    if (std::fabs(det) < 1e-12) return false;
    double r = 1.0 / det;
    out = {d * r, -b * r, -c * r, a * r, (c * f - d * e) * r, (b * e - a * f) * r};
    return true;
  }
  // Geometric mean of the axis scales: how much one user unit grows on the device.
  double MeanScale() const { return std::sqrt(std::fabs(Determinant())); }
  double MaxScale() const {
    return std::max(std::sqrt(a * a + b * b), std::sqrt(c * c + d * d));
  }
  static Matrix Translate(double x, double y) { return {1, 0, 0, 1, x, y}; }
  static Matrix Scale(double x, double y) { return {x, 0, 0, y, 0, 0}; }
};

// A flattened contour: straight segments between consecutive points.
struct Polyline {
  std::vector<Point> points;
  bool closed = false;
};

}  // namespace svg
