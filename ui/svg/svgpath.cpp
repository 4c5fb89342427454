#include "svg/svgpath.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace svg {

namespace {
constexpr double kPi = 3.14159265358979323846;
}

void Path::EnsureStarted() {
  if (!open_) MoveTo(current_);
}

void Path::MoveTo(Point p) {
  if (!segments_.empty() && segments_.back().kind == Kind::kMove) segments_.pop_back();
  segments_.push_back({Kind::kMove, {p, p, p}});
  current_ = start_ = p;
  open_ = true;
}

void Path::LineTo(Point p) {
  EnsureStarted();
  segments_.push_back({Kind::kLine, {p, p, p}});
  current_ = p;
}

void Path::QuadTo(Point c, Point p) {
  Point c1 = current_ + (c - current_) * (2.0 / 3.0);
  Point c2 = p + (c - p) * (2.0 / 3.0);
  CubicTo(c1, c2, p);
}

void Path::CubicTo(Point c1, Point c2, Point p) {
  EnsureStarted();
  segments_.push_back({Kind::kCubic, {c1, c2, p}});
  current_ = p;
}

void Path::Close() {
  if (!open_) return;
  segments_.push_back({Kind::kClose, {start_, start_, start_}});
  current_ = start_;
  open_ = false;
}

// Converts the endpoint form of the arc to its centre form and approximates it by cubic
// pieces of at most 90 degrees each.
void Path::ArcTo(double rx, double ry, double angleDeg, bool largeArc, bool sweep, Point p) {
  Point p0 = current_;
  if (p0.x == p.x && p0.y == p.y) return;
  rx = std::fabs(rx);
  ry = std::fabs(ry);
  if (rx == 0 || ry == 0) {
    LineTo(p);
    return;
  }
  double phi = angleDeg * kPi / 180.0;
  double cosPhi = std::cos(phi), sinPhi = std::sin(phi);
  double dx = (p0.x - p.x) / 2, dy = (p0.y - p.y) / 2;
  double x1 = cosPhi * dx + sinPhi * dy;
  double y1 = -sinPhi * dx + cosPhi * dy;
  double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
  if (lambda > 1) {
    double s = std::sqrt(lambda);
    rx *= s;
    ry *= s;
  }
  double num = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
  double den = rx * rx * y1 * y1 + ry * ry * x1 * x1;
  double coef = den > 0 && num > 0 ? std::sqrt(num / den) : 0;
  if (largeArc == sweep) coef = -coef;
  double cx1 = coef * rx * y1 / ry;
  double cy1 = -coef * ry * x1 / rx;
  double cx = cosPhi * cx1 - sinPhi * cy1 + (p0.x + p.x) / 2;
  double cy = sinPhi * cx1 + cosPhi * cy1 + (p0.y + p.y) / 2;
  double theta1 = std::atan2((y1 - cy1) / ry, (x1 - cx1) / rx);
  double theta2 = std::atan2((-y1 - cy1) / ry, (-x1 - cx1) / rx);
  double delta = theta2 - theta1;
  if (sweep && delta < 0) delta += 2 * kPi;
  if (!sweep && delta > 0) delta -= 2 * kPi;
  int pieces = static_cast<int>(std::ceil(std::fabs(delta) / (kPi / 2) - 1e-9));
  if (pieces < 1) pieces = 1;
  double step = delta / pieces;
  double k = 4.0 / 3.0 * std::tan(step / 4);
  auto onEllipse = [&](double t, double& ex, double& ey, double& tx, double& ty) {
    double ct = std::cos(t), st = std::sin(t);
    ex = cx + rx * ct * cosPhi - ry * st * sinPhi;
    ey = cy + rx * ct * sinPhi + ry * st * cosPhi;
    tx = -rx * st * cosPhi - ry * ct * sinPhi;
    ty = -rx * st * sinPhi + ry * ct * cosPhi;
  };
  double t = theta1;
  double ex, ey, tx, ty;
  onEllipse(t, ex, ey, tx, ty);
  for (int i = 0; i < pieces; ++i) {
    double nx, ny, ntx, nty;
    onEllipse(t + step, nx, ny, ntx, nty);
    Point end = i == pieces - 1 ? p : Point{nx, ny};
    CubicTo({ex + k * tx, ey + k * ty}, {nx - k * ntx, ny - k * nty}, end);
    t += step;
    ex = nx;
    ey = ny;
    tx = ntx;
    ty = nty;
  }
}

std::vector<Polyline> Path::Flatten(const Matrix& m, double tolerance) const {
  std::vector<Polyline> out;
  Point last;
  for (const Segment& s : segments_) {
    switch (s.kind) {
      case Kind::kMove:
        out.emplace_back();
        last = m.Apply(s.p[0]);
        out.back().points.push_back(last);
        break;
      case Kind::kLine:
      case Kind::kClose: {
        Point p = m.Apply(s.p[0]);
        Polyline& line = out.back();
        if (s.kind == Kind::kClose) line.closed = true;
        if (p.x != last.x || p.y != last.y || s.kind == Kind::kLine) line.points.push_back(p);
        last = p;
        break;
      }
      case Kind::kCubic: {
        Point p0 = last, p1 = m.Apply(s.p[0]), p2 = m.Apply(s.p[1]), p3 = m.Apply(s.p[2]);
        // The second differences bound the distance between curve and chord polygon.
        Point dd1 = p0 - p1 * 2 + p2, dd2 = p1 - p2 * 2 + p3;
        double dd = std::max(Length(dd1), Length(dd2));
        double steps = std::ceil(std::sqrt(0.75 * dd / tolerance));
        int n = std::isfinite(steps) ? static_cast<int>(std::min(1000.0, std::max(1.0, steps))) : 1;
        Polyline& line = out.back();
        for (int i = 1; i <= n; ++i) {
          double t = static_cast<double>(i) / n, u = 1 - t;
          double w0 = u * u * u, w1 = 3 * u * u * t, w2 = 3 * u * t * t, w3 = t * t * t;
          line.points.push_back({w0 * p0.x + w1 * p1.x + w2 * p2.x + w3 * p3.x,
                                 w0 * p0.y + w1 * p1.y + w2 * p2.y + w3 * p3.y});
        }
        last = p3;
        break;
      }
    }
  }
  // A closing segment back onto the start point adds nothing.
  for (Polyline& line : out) {
    if (line.closed && line.points.size() > 1) {
      Point a = line.points.front(), b = line.points.back();
      if (a.x == b.x && a.y == b.y) line.points.pop_back();
    }
  }
  return out;
}

bool PolylineBounds(const std::vector<Polyline>& lines, Point& min, Point& max) {
  bool any = false;
  for (const Polyline& line : lines) {
    for (Point p : line.points) {
      if (!any) {
        min = max = p;
        any = true;
      }
      min.x = std::min(min.x, p.x);
      min.y = std::min(min.y, p.y);
      max.x = std::max(max.x, p.x);
      max.y = std::max(max.y, p.y);
    }
  }
  return any;
}

namespace {

class PathDataReader {
 public:
  explicit PathDataReader(const std::string& d) : p_(d.c_str()) {}

  void SkipSeparators() {
    while (*p_ == ' ' || *p_ == '\t' || *p_ == '\r' || *p_ == '\n' || *p_ == ',') ++p_;
  }
  bool AtEnd() {
    SkipSeparators();
    return *p_ == 0;
  }
  bool AtNumber() {
    SkipSeparators();
    return *p_ == '-' || *p_ == '+' || *p_ == '.' || std::isdigit(static_cast<unsigned char>(*p_));
  }
  char Command() {
    SkipSeparators();
    return *p_ ? *p_++ : 0;
  }
  bool Number(double& v) {
    SkipSeparators();
    char* stop = nullptr;
    v = std::strtod(p_, &stop);
    if (stop == p_) return false;
    p_ = stop;
    return true;
  }
  // Arc flags are single digits and may be written without separators ("a1 1 0 00 5 5").
  bool Flag(bool& v) {
    SkipSeparators();
    if (*p_ != '0' && *p_ != '1') return false;
    v = *p_++ == '1';
    return true;
  }

 private:
  const char* p_;
};

}  // namespace

bool ParsePathData(const std::string& d, Path& out) {
  PathDataReader r(d);
  char cmd = 0;
  Point lastControl;
  char lastCmd = 0;
  while (!r.AtEnd()) {
    if (!r.AtNumber()) {
      cmd = r.Command();
    } else if (cmd == 0) {
      return false;
    } else if (cmd == 'M') {
      cmd = 'L';  // extra coordinate pairs after a move are lines
    } else if (cmd == 'm') {
      cmd = 'l';
    } else if (cmd == 'Z' || cmd == 'z') {
      return false;
    }
    bool rel = std::islower(static_cast<unsigned char>(cmd)) != 0;
    Point cur = out.Current();
    Point base = rel ? cur : Point{};
    double v[7];
    auto numbers = [&](int n) {
      for (int i = 0; i < n; ++i) {
        if (!r.Number(v[i])) return false;
      }
      return true;
    };
    char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(cmd)));
    switch (upper) {
      case 'M':
        if (!numbers(2)) return false;
        out.MoveTo(base + Point{v[0], v[1]});
        break;
      case 'L':
        if (!numbers(2)) return false;
        out.LineTo(base + Point{v[0], v[1]});
        break;
      case 'H':
        if (!numbers(1)) return false;
        out.LineTo({rel ? cur.x + v[0] : v[0], cur.y});
        break;
      case 'V':
        if (!numbers(1)) return false;
        out.LineTo({cur.x, rel ? cur.y + v[0] : v[0]});
        break;
      case 'C':
        if (!numbers(6)) return false;
        lastControl = base + Point{v[2], v[3]};
        out.CubicTo(base + Point{v[0], v[1]}, lastControl, base + Point{v[4], v[5]});
        break;
      case 'S': {
        if (!numbers(4)) return false;
        Point c1 = (lastCmd == 'C' || lastCmd == 'S') ? cur * 2 - lastControl : cur;
        lastControl = base + Point{v[0], v[1]};
        out.CubicTo(c1, lastControl, base + Point{v[2], v[3]});
        break;
      }
      case 'Q':
        if (!numbers(4)) return false;
        lastControl = base + Point{v[0], v[1]};
        out.QuadTo(lastControl, base + Point{v[2], v[3]});
        break;
      case 'T':
        if (!numbers(2)) return false;
        lastControl = (lastCmd == 'Q' || lastCmd == 'T') ? cur * 2 - lastControl : cur;
        out.QuadTo(lastControl, base + Point{v[0], v[1]});
        break;
      case 'A': {
        bool large = false, sweep = false;
        if (!numbers(3) || !r.Flag(large) || !r.Flag(sweep) || !r.Number(v[3]) ||
            !r.Number(v[4])) {
          return false;
        }
        out.ArcTo(v[0], v[1], v[2], large, sweep, base + Point{v[3], v[4]});
        break;
      }
      case 'Z':
        out.Close();
        break;
      default:
        return false;
    }
    lastCmd = upper;
  }
  return true;
}

}  // namespace svg
