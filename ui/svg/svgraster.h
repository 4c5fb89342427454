// Antialiased scanline rasteriser: exact signed-area coverage accumulated per pixel cell and
// summed along each row, with the non-zero and even-odd fill rules.
#pragma once
#include <vector>

#include "svg/svggeometry.h"

namespace svg {

enum class FillRule { kNonZero, kEvenOdd };

// Coverage (0..1) of the pixels of a rectangle of the canvas.
struct CoverageMask {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<float> coverage;  // width * height, row by row

  float At(int x, int y) const { return coverage[static_cast<size_t>(y) * width + x]; }
};

class Rasterizer {
 public:
  Rasterizer(int canvasWidth, int canvasHeight);
  virtual ~Rasterizer() = default;

  // Adds the outlines of polygons in device pixels; every polyline counts as closed.
  void AddPolylines(const std::vector<Polyline>& lines);
  // Computes the coverage of the added polygons inside the canvas. Returns false when they
  // cover no pixel. The rasteriser is empty again afterwards.
  virtual bool Render(FillRule rule, CoverageMask& out);

 private:
  struct Edge {
    Point a, b;
  };
  void Accumulate(std::vector<float>& acc, int stride, int rows, Point a, Point b) const;
  void AccumulateClipped(std::vector<float>& acc, int stride, int rows, double right, Point a,
                         Point b) const;

  int canvasWidth_;
  int canvasHeight_;
  std::vector<Edge> edges_;
};

}  // namespace svg
