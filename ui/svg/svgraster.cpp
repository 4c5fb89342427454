#include "svg/svgraster.h"

#include <algorithm>
#include <cmath>

namespace svg {

Rasterizer::Rasterizer(int canvasWidth, int canvasHeight)
    : canvasWidth_(canvasWidth), canvasHeight_(canvasHeight) {}

void Rasterizer::AddPolylines(const std::vector<Polyline>& lines) {
  for (const Polyline& line : lines) {
    size_t n = line.points.size();
    if (n < 2) continue;
    for (size_t i = 0; i < n; ++i) {
      Point a = line.points[i], b = line.points[(i + 1) % n];
      if (a.y != b.y && std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(b.x) &&
          std::isfinite(b.y)) {
        edges_.push_back({a, b});
      }
    }
  }
}

// Adds the signed area that the edge a-b contributes to each cell it crosses, plus the
// remaining cover to the cell right of it; a running sum along the row then yields the
// winding-weighted coverage of every pixel. Requires 0 <= x <= stride - 2.
void Rasterizer::Accumulate(std::vector<float>& acc, int stride, int rows, Point a,
                            Point b) const {
  if (a.y == b.y) return;
  double dir = 1;
  if (a.y > b.y) {
    std::swap(a, b);
    dir = -1;
  }
  if (b.y <= 0 || a.y >= rows) return;
  double dxdy = (b.x - a.x) / (b.y - a.y);
  // An edge this close to horizontal adds no measurable cover.
  if (!std::isfinite(dxdy)) return;
  // Rounding (far-off end points, a long way from the first row) can carry x a little outside
  // the columns; it is held inside them so that every write stays in the row.
  const double xMax = stride - 2;
  auto inside = [xMax](double v) { return std::min(std::max(v, 0.0), xMax); };
  double x = a.x;
  int yStart = 0;
  if (a.y < 0) {
    x -= a.y * dxdy;
  } else {
    yStart = static_cast<int>(std::floor(a.y));
  }
  int yEnd = static_cast<int>(std::ceil(std::min<double>(rows, b.y)));
  x = inside(x);
  for (int y = yStart; y < yEnd; ++y) {
    float* row = &acc[static_cast<size_t>(y) * stride];
    double dy = std::min<double>(y + 1, b.y) - std::max<double>(y, a.y);
    double xNext = inside(x + dxdy * dy);
    double d = dy * dir;
    double x0 = std::min(x, xNext), x1 = std::max(x, xNext);
    double x0Floor = std::floor(x0);
    int x0i = static_cast<int>(x0Floor);
    double x1Ceil = std::ceil(x1);
    int x1i = static_cast<int>(x1Ceil);
    if (x1i <= x0i + 1) {
      double xmf = 0.5 * (x + xNext) - x0Floor;
      row[x0i] += static_cast<float>(d - d * xmf);
      row[x0i + 1] += static_cast<float>(d * xmf);
    } else {
      double s = 1.0 / (x1 - x0);
      double x0f = x0 - x0Floor;
      double a0 = 0.5 * s * (1 - x0f) * (1 - x0f);
      double x1f = x1 - x1Ceil + 1;
      double am = 0.5 * s * x1f * x1f;
      row[x0i] += static_cast<float>(d * a0);
      if (x1i == x0i + 2) {
        row[x0i + 1] += static_cast<float>(d * (1 - a0 - am));
      } else {
        double a1 = s * (1.5 - x0f);
        row[x0i + 1] += static_cast<float>(d * (a1 - a0));
        for (int xi = x0i + 2; xi < x1i - 1; ++xi) row[xi] += static_cast<float>(d * s);
        double a2 = a1 + (x1i - x0i - 3) * s;
        row[x1i - 1] += static_cast<float>(d * (1 - a2 - am));
      }
      row[x1i] += static_cast<float>(d * am);
    }
    x = xNext;
  }
}

// Splits the edge where it leaves the columns 0..right and moves the outside parts onto the
// border: what lies left of the region still covers every pixel to its right.
void Rasterizer::AccumulateClipped(std::vector<float>& acc, int stride, int rows, double right,
                                   Point a, Point b) const {
  Point pts[4] = {a};
  int n = 1;
  double cuts[2] = {0, right};
  double ts[2];
  int nt = 0;
  for (double cx : cuts) {
    if ((a.x < cx && b.x > cx) || (a.x > cx && b.x < cx)) ts[nt++] = (cx - a.x) / (b.x - a.x);
  }
  if (nt == 2 && ts[0] > ts[1]) std::swap(ts[0], ts[1]);
  for (int i = 0; i < nt; ++i) pts[n++] = a + (b - a) * ts[i];
  pts[n++] = b;
  for (int i = 0; i + 1 < n; ++i) {
    Point p = pts[i], q = pts[i + 1];
    p.x = std::min(std::max(p.x, 0.0), right);
    q.x = std::min(std::max(q.x, 0.0), right);
    Accumulate(acc, stride, rows, p, q);
  }
}

bool Rasterizer::Render(FillRule rule, CoverageMask& out) {
  std::vector<Edge> edges;
  edges.swap(edges_);
  if (edges.empty()) return false;
  double minX = edges[0].a.x, maxX = minX, minY = edges[0].a.y, maxY = minY;
  for (const Edge& e : edges) {
    for (Point p : {e.a, e.b}) {
      minX = std::min(minX, p.x);
      maxX = std::max(maxX, p.x);
      minY = std::min(minY, p.y);
      maxY = std::max(maxY, p.y);
    }
  }
  // Bounds are limited to the canvas in floating point before they become integers.
  auto limit = [](double v, double hi) { return std::min(hi, std::max(-1.0, v)); };
  int left = static_cast<int>(std::floor(limit(minX, canvasWidth_)));
  int top = static_cast<int>(std::floor(limit(minY, canvasHeight_)));
  int right = static_cast<int>(std::ceil(limit(maxX, canvasWidth_ - 1))) + 1;
  int bottom = static_cast<int>(std::ceil(limit(maxY, canvasHeight_)));
  left = std::max(0, left);
  top = std::max(0, top);
  if (left >= right || top >= bottom) return false;
  int width = right - left, height = bottom - top;
  int stride = width + 2;
  std::vector<float> acc(static_cast<size_t>(stride) * height, 0.0f);
  Point origin{static_cast<double>(left), static_cast<double>(top)};
  for (const Edge& e : edges) {
    AccumulateClipped(acc, stride, height, width, e.a - origin, e.b - origin);
  }
  out.left = left;
  out.top = top;
  out.width = width;
  out.height = height;
  out.coverage.assign(static_cast<size_t>(width) * height, 0.0f);
  bool any = false;
  for (int y = 0; y < height; ++y) {
    const float* row = &acc[static_cast<size_t>(y) * stride];
    float* dst = &out.coverage[static_cast<size_t>(y) * width];
    double sum = 0;
    for (int x = 0; x < width; ++x) {
      sum += row[x];
      double c = std::fabs(sum);
      if (rule == FillRule::kEvenOdd) {
        c = std::fmod(c, 2.0);
        if (c > 1) c = 2 - c;
      } else if (c > 1) {
        c = 1;
      }
      if (c < 1e-4) c = 0;
      dst[x] = static_cast<float>(c);
      any = any || c > 0;
    }
  }
  return any;
}

}  // namespace svg
