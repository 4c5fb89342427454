// Turns flattened contours into the polygons that cover their stroke.
#pragma once
#include <vector>

#include "svg/svggeometry.h"

namespace svg {

enum class LineCap { kButt, kRound, kSquare };
enum class LineJoin { kMiter, kRound, kBevel };

struct StrokeStyle {
  double width = 1;
  LineCap cap = LineCap::kButt;
  LineJoin join = LineJoin::kMiter;
  double miterLimit = 4;
  std::vector<double> dashes;  // on/off lengths; empty for a solid stroke
  double dashOffset = 0;
};

class Stroker {
 public:
  // `tolerance` bounds the error of round joins and caps, in the contours' units.
  Stroker(const StrokeStyle& style, double tolerance);
  virtual ~Stroker() = default;

  // Polygons whose non-zero union is the stroke: one per segment, join and cap. All share one
  // orientation and meet along common edges, so the union needs no clipping.
  virtual std::vector<Polyline> Stroke(const std::vector<Polyline>& contours) const;

 private:
  // Splits the contours into the "on" pieces of the dash pattern, each an open contour.
  std::vector<Polyline> Dash(const std::vector<Polyline>& contours) const;
  void StrokeContour(const Polyline& contour, std::vector<Polyline>& out) const;
  void Join(Point p, Point d0, Point d1, std::vector<Polyline>& out) const;
  void Cap(Point p, Point d, std::vector<Polyline>& out) const;
  void ZeroLengthCaps(Point p, std::vector<Polyline>& out) const;
  // Points on the circle around c from angle a0 over the signed angle sweep, both ends included.
  void AppendArc(Point c, double a0, double sweep, std::vector<Point>& pts) const;

  StrokeStyle style_;
  double half_;
  double tolerance_;
};

}  // namespace svg
