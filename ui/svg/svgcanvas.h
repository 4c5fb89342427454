// Pixel surface and paints of the SVG renderer; pixels are premultiplied RGBA floats.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "svg/svgcolor.h"
#include "svg/svggeometry.h"
#include "svg/svgraster.h"

namespace svg {

class Paint {
 public:
  virtual ~Paint() = default;
  // Premultiplied colour at the centre of device pixel (x, y).
  virtual void Shade(int x, int y, float out[4]) const = 0;
};

class SolidPaint : public Paint {
 public:
  explicit SolidPaint(Color c);
  void Shade(int x, int y, float out[4]) const override;

 private:
  float rgba_[4];
};

struct GradientStop {
  double offset = 0;
  Color color;  // alpha includes the stop's opacity
};

enum class Spread { kPad, kReflect, kRepeat };

// Colours along t = 0..1 from sorted stops, looked up from a table; `toGradient` maps device
// pixels into the gradient's own coordinate system.
class GradientPaint : public Paint {
 public:
  GradientPaint(const std::vector<GradientStop>& stops, Spread spread, const Matrix& toGradient);
  void Shade(int x, int y, float out[4]) const override;

 protected:
  virtual double Parameter(Point p) const = 0;

 private:
  static constexpr int kTableSize = 1024;
  std::vector<float> table_;  // kTableSize premultiplied colours
  Spread spread_;
  Matrix toGradient_;
};

class LinearGradientPaint : public GradientPaint {
 public:
  LinearGradientPaint(const std::vector<GradientStop>& stops, Spread spread,
                      const Matrix& toGradient, Point p1, Point p2);

 protected:
  double Parameter(Point p) const override;

 private:
  Point p1_;
  Point d_;  // (p2 - p1) / |p2 - p1|^2
};

class RadialGradientPaint : public GradientPaint {
 public:
  // The focal point is moved inside the circle when it lies on or outside it.
  RadialGradientPaint(const std::vector<GradientStop>& stops, Spread spread,
                      const Matrix& toGradient, Point centre, double radius, Point focus);

 protected:
  double Parameter(Point p) const override;

 private:
  Point focus_;
  Point delta_;  // centre - focus
  double radius_;
};

class Canvas {
 public:
  Canvas(int width, int height);
  virtual ~Canvas() = default;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Source-over of the paint through the coverage, scaled by opacity.
  virtual void Fill(const CoverageMask& mask, const Paint& paint, float opacity);
  // Source-over of a layer of the same size, scaled by opacity and, when given, by a
  // per-pixel coverage mask of the same size.
  virtual void Composite(const Canvas& layer, float opacity, const std::vector<float>* mask);
  // Luminance times alpha of every pixel for luminance masks, or the alpha alone.
  std::vector<float> MaskValues(bool alphaOnly) const;
  // Straight (non-premultiplied) 8-bit RGBA, row by row.
  std::vector<uint8_t> ToStraightRgba() const;

 private:
  int width_;
  int height_;
  std::vector<float> pixels_;
};

}  // namespace svg
