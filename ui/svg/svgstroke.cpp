#include "svg/svgstroke.h"

#include <algorithm>
#include <cmath>

namespace svg {

namespace {

constexpr double kPi = 3.14159265358979323846;

Point Normal(Point d) { return {-d.y, d.x}; }

void Emit(std::vector<Point> pts, std::vector<Polyline>& out) {
  if (pts.size() < 3) return;
  double area = 0;
  for (size_t i = 0; i < pts.size(); ++i) area += Cross(pts[i], pts[(i + 1) % pts.size()]);
  if (area < 0) std::reverse(pts.begin(), pts.end());
  Polyline line;
  line.points = std::move(pts);
  line.closed = true;
  out.push_back(std::move(line));
}

}  // namespace

Stroker::Stroker(const StrokeStyle& style, double tolerance)
    : style_(style), half_(style.width / 2), tolerance_(tolerance) {}

std::vector<Polyline> Stroker::Stroke(const std::vector<Polyline>& contours) const {
  std::vector<Polyline> out;
  if (!(half_ > 0)) return out;
  double period = 0;
  for (double d : style_.dashes) period += d;
  const std::vector<Polyline>& pieces = period > 0 ? Dash(contours) : contours;
  for (const Polyline& c : pieces) StrokeContour(c, out);
  return out;
}

std::vector<Polyline> Stroker::Dash(const std::vector<Polyline>& contours) const {
  std::vector<double> pattern = style_.dashes;
  if (pattern.size() % 2 == 1) pattern.insert(pattern.end(), pattern.begin(), pattern.end());
  double period = 0;
  for (double d : pattern) period += d;
  std::vector<Polyline> out;
  for (const Polyline& contour : contours) {
    std::vector<Point> pts = contour.points;
    if (contour.closed && !pts.empty()) pts.push_back(pts.front());
    // Find where in the pattern the contour starts.
    double offset = std::fmod(style_.dashOffset, period);
    if (offset < 0) offset += period;
    size_t index = 0;
    while (offset >= pattern[index]) {
      offset -= pattern[index];
      index = (index + 1) % pattern.size();
    }
    double left = pattern[index] - offset;  // length left in the current dash or gap
    bool on = index % 2 == 0;
    Polyline piece;
    if (on && !pts.empty()) piece.points.push_back(pts[0]);
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
      Point a = pts[i], b = pts[i + 1];
      double len = Length(b - a), pos = 0;
      while (len - pos > left) {
        pos += left;
        Point p = a + (b - a) * (pos / len);
        if (on) {
          piece.points.push_back(p);
          out.push_back(std::move(piece));
          piece = Polyline();
        } else {
          piece.points.push_back(p);
        }
        on = !on;
        index = (index + 1) % pattern.size();
        left = pattern[index];
      }
      left -= len - pos;
      if (on) piece.points.push_back(b);
    }
    if (on && piece.points.size() > 1) out.push_back(std::move(piece));
  }
  return out;
}

void Stroker::AppendArc(Point c, double a0, double sweep, std::vector<Point>& pts) const {
  double step = half_ > tolerance_ ? 2 * std::acos(1 - tolerance_ / half_) : kPi / 2;
  int n = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / step)));
  for (int i = 0; i <= n; ++i) {
    double a = a0 + sweep * i / n;
    pts.push_back({c.x + half_ * std::cos(a), c.y + half_ * std::sin(a)});
  }
}

void Stroker::StrokeContour(const Polyline& contour, std::vector<Polyline>& out) const {
  std::vector<Point> pts;
  for (Point p : contour.points) {
    if (pts.empty() || Length(p - pts.back()) > 1e-9) pts.push_back(p);
  }
  bool closed = contour.closed;
  if (closed && pts.size() > 1 && Length(pts.front() - pts.back()) <= 1e-9) pts.pop_back();
  if (pts.size() < 2) {
    // A zero-length subpath still shows its caps.
    if (!pts.empty() && (closed || contour.points.size() > 1)) ZeroLengthCaps(pts[0], out);
    return;
  }
  size_t n = pts.size();
  size_t segments = closed ? n : n - 1;
  std::vector<Point> dirs(segments);
  for (size_t i = 0; i < segments; ++i) {
    Point d = pts[(i + 1) % n] - pts[i];
    dirs[i] = d * (1.0 / Length(d));
  }
  for (size_t i = 0; i < segments; ++i) {
    Point a = pts[i], b = pts[(i + 1) % n], off = Normal(dirs[i]) * half_;
    Emit({a + off, b + off, b - off, a - off}, out);
  }
  for (size_t i = closed ? 0 : 1; i < (closed ? n : n - 1); ++i) {
    Join(pts[i], dirs[(i + segments - 1) % segments], dirs[i], out);
  }
  if (!closed) {
    Cap(pts[0], dirs[0] * -1, out);
    Cap(pts[n - 1], dirs[segments - 1], out);
  }
}

void Stroker::Join(Point p, Point d0, Point d1, std::vector<Polyline>& out) const {
  double cross = Cross(d0, d1);
  double dot = Dot(d0, d1);
  if (std::fabs(cross) < 1e-12 && dot > 0) return;
  // The outer side of the turn is where the offset edges of the two segments diverge.
  double side = cross > 0 ? -1 : 1;
  Point n0 = Normal(d0) * side, n1 = Normal(d1) * side;
  Point e0 = p + n0 * half_, e1 = p + n1 * half_;
  switch (style_.join) {
    case LineJoin::kRound: {
      double a0 = std::atan2(n0.y, n0.x);
      double sweep = std::atan2(Cross(n0, n1), Dot(n0, n1));
      std::vector<Point> pts{p};
      AppendArc(p, a0, sweep, pts);
      Emit(std::move(pts), out);
      return;
    }
    case LineJoin::kMiter: {
      Point m = n0 + n1;
      double len = Length(m);
      if (len > 1e-12) {
        m = m * (1.0 / len);
        double cosHalf = Dot(m, n0);
        // The miter length over the stroke width is 1 / cos of half the normals' angle.
        if (cosHalf > 1e-12 && 1.0 / cosHalf <= style_.miterLimit) {
          Emit({p, e0, p + m * (half_ / cosHalf), e1}, out);
          return;
        }
      }
      break;
    }
    case LineJoin::kBevel:
      break;
  }
  Emit({p, e0, e1}, out);
}

void Stroker::Cap(Point p, Point d, std::vector<Polyline>& out) const {
  Point n = Normal(d) * half_;
  switch (style_.cap) {
    case LineCap::kButt:
      return;
    case LineCap::kSquare: {
      Point ext = d * half_;
      Emit({p + n, p + n + ext, p - n + ext, p - n}, out);
      return;
    }
    case LineCap::kRound: {
      std::vector<Point> pts;
      AppendArc(p, std::atan2(n.y, n.x), (Cross(n, d) > 0 ? 1 : -1) * kPi, pts);
      Emit(std::move(pts), out);
      return;
    }
  }
}

void Stroker::ZeroLengthCaps(Point p, std::vector<Polyline>& out) const {
  if (style_.cap == LineCap::kRound) {
    std::vector<Point> pts;
    AppendArc(p, 0, 2 * kPi, pts);
    pts.pop_back();
    Emit(std::move(pts), out);
  } else if (style_.cap == LineCap::kSquare) {
    Emit({p + Point{-half_, -half_}, p + Point{half_, -half_}, p + Point{half_, half_},
          p + Point{-half_, half_}},
         out);
  }
}

}  // namespace svg
