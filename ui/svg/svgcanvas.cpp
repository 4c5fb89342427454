#include "svg/svgcanvas.h"

#include <algorithm>
#include <cmath>

namespace svg {

SolidPaint::SolidPaint(Color c) : rgba_{c.r * c.a, c.g * c.a, c.b * c.a, c.a} {}

void SolidPaint::Shade(int, int, float out[4]) const { std::copy(rgba_, rgba_ + 4, out); }

GradientPaint::GradientPaint(const std::vector<GradientStop>& stops, Spread spread,
                             const Matrix& toGradient)
    : table_(kTableSize * 4), spread_(spread), toGradient_(toGradient) {
  for (int i = 0; i < kTableSize; ++i) {
    double t = static_cast<double>(i) / (kTableSize - 1);
    Color c = stops.back().color;
    if (t <= stops.front().offset) {
      c = stops.front().color;
    } else {
      for (size_t s = 1; s < stops.size(); ++s) {
        if (t <= stops[s].offset) {
          const GradientStop& a = stops[s - 1];
          const GradientStop& b = stops[s];
          double span = b.offset - a.offset;
          float f = span > 0 ? static_cast<float>((t - a.offset) / span) : 1.0f;
          c = {a.color.r + (b.color.r - a.color.r) * f, a.color.g + (b.color.g - a.color.g) * f,
               a.color.b + (b.color.b - a.color.b) * f, a.color.a + (b.color.a - a.color.a) * f};
          break;
        }
      }
    }
    float* px = &table_[i * 4];
    px[0] = c.r * c.a;
    px[1] = c.g * c.a;
    px[2] = c.b * c.a;
    px[3] = c.a;
  }
}

void GradientPaint::Shade(int x, int y, float out[4]) const {
  double t = Parameter(toGradient_.Apply({x + 0.5, y + 0.5}));
  if (!std::isfinite(t)) t = 1;
  switch (spread_) {
    case Spread::kPad:
      t = std::min(1.0, std::max(0.0, t));
      break;
    case Spread::kRepeat:
      t -= std::floor(t);
      break;
    case Spread::kReflect:
      t = std::fabs(t);
      t -= 2 * std::floor(t / 2);
      if (t > 1) t = 2 - t;
      break;
  }
  int i = static_cast<int>(t * (kTableSize - 1) + 0.5);
  std::copy(&table_[i * 4], &table_[i * 4] + 4, out);
}

LinearGradientPaint::LinearGradientPaint(const std::vector<GradientStop>& stops, Spread spread,
                                         const Matrix& toGradient, Point p1, Point p2)
    : GradientPaint(stops, spread, toGradient), p1_(p1) {
  Point d = p2 - p1;
  double len2 = Dot(d, d);
  d_ = len2 > 0 ? d * (1.0 / len2) : Point{};
}

double LinearGradientPaint::Parameter(Point p) const { return Dot(p - p1_, d_); }

RadialGradientPaint::RadialGradientPaint(const std::vector<GradientStop>& stops, Spread spread,
                                         const Matrix& toGradient, Point centre, double radius,
                                         Point focus)
    : GradientPaint(stops, spread, toGradient), radius_(radius) {
  Point off = focus - centre;
  double dist = Length(off);
  double limit = radius * 0.999;
  if (dist > limit) focus = centre + off * (limit / dist);
  focus_ = focus;
  delta_ = centre - focus;
}

// The t for which p lies on the circle interpolated between the focus (radius 0, t = 0) and
// the end circle (t = 1): |p - f - t*delta| = t*r.
double RadialGradientPaint::Parameter(Point p) const {
  Point e = p - focus_;
  double ed = Dot(e, delta_);
  double a = Dot(delta_, delta_) - radius_ * radius_;
  double disc = ed * ed - a * Dot(e, e);
  if (disc < 0) disc = 0;
  return (ed - std::sqrt(disc)) / a;
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height * 4, 0.0f) {}

void Canvas::Fill(const CoverageMask& mask, const Paint& paint, float opacity) {
  float src[4];
  for (int y = 0; y < mask.height; ++y) {
    int py = mask.top + y;
    for (int x = 0; x < mask.width; ++x) {
      float cov = mask.At(x, y) * opacity;
      if (cov <= 0) continue;
      int px = mask.left + x;
      paint.Shade(px, py, src);
      float* dst = &pixels_[(static_cast<size_t>(py) * width_ + px) * 4];
      float keep = 1 - src[3] * cov;
      for (int c = 0; c < 4; ++c) dst[c] = src[c] * cov + dst[c] * keep;
    }
  }
}

void Canvas::Composite(const Canvas& layer, float opacity, const std::vector<float>* mask) {
  for (size_t i = 0; i < pixels_.size(); i += 4) {
    const float* src = &layer.pixels_[i];
    if (src[3] <= 0) continue;
    float k = mask ? opacity * (*mask)[i / 4] : opacity;
    float keep = 1 - src[3] * k;
    for (int c = 0; c < 4; ++c) pixels_[i + c] = src[c] * k + pixels_[i + c] * keep;
  }
}

std::vector<float> Canvas::MaskValues(bool alphaOnly) const {
  std::vector<float> out(pixels_.size() / 4);
  for (size_t i = 0; i < out.size(); ++i) {
    const float* p = &pixels_[i * 4];
    out[i] = alphaOnly ? p[3] : std::min(1.0f, 0.2125f * p[0] + 0.7154f * p[1] + 0.0721f * p[2]);
  }
  return out;
}

std::vector<uint8_t> Canvas::ToStraightRgba() const {
  std::vector<uint8_t> out(pixels_.size(), 0);
  for (size_t i = 0; i < pixels_.size(); i += 4) {
    float a = std::min(1.0f, std::max(0.0f, pixels_[i + 3]));
    int a8 = static_cast<int>(a * 255 + 0.5f);
    if (a8 == 0) continue;
    for (int c = 0; c < 3; ++c) {
      float v = std::min(1.0f, std::max(0.0f, pixels_[i + c] / a));
      out[i + c] = static_cast<uint8_t>(v * 255 + 0.5f);
    }
    out[i + 3] = static_cast<uint8_t>(a8);
  }
  return out;
}

}  // namespace svg
