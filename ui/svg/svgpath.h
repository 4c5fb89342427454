// Vector paths of the SVG renderer: building (path data, shapes), flattening into polylines.
#pragma once
#include <string>
#include <vector>

#include "svg/svggeometry.h"

namespace svg {

class Path {
 public:
  void MoveTo(Point p);
  void LineTo(Point p);
  void QuadTo(Point c, Point p);
  void CubicTo(Point c1, Point c2, Point p);
  // Elliptical arc from the current point, with the arguments of the path data's "A".
  void ArcTo(double rx, double ry, double angleDeg, bool largeArc, bool sweep, Point p);
  void Close();

  bool Empty() const { return segments_.empty(); }
  Point Current() const { return current_; }
  // Polylines of the path after `m`, curves split so that no point strays from the true
  // curve by more than `tolerance` (measured after `m`).
  std::vector<Polyline> Flatten(const Matrix& m, double tolerance) const;

 private:
  enum class Kind { kMove, kLine, kCubic, kClose };
  struct Segment {
    Kind kind;
    Point p[3];
  };
  void EnsureStarted();

  std::vector<Segment> segments_;
  Point current_;
  Point start_;
  bool open_ = false;  // a subpath is in progress
};

// Appends the commands of SVG path data to `out`. Parsing stops at the first error and keeps
// what was read before it; returns false in that case.
bool ParsePathData(const std::string& d, Path& out);

// Tight bounds of polylines; false when there are no points.
bool PolylineBounds(const std::vector<Polyline>& lines, Point& min, Point& max);

}  // namespace svg
