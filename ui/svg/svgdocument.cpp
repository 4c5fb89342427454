#include "svg/svgdocument.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "svg/svggradient.h"
#include "svg/svgstroke.h"

namespace svg {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Curves are flattened to within a tenth of a device pixel.
constexpr double kTolerance = 0.1;
// Nested use references and groups deeper than this are not drawn (reference cycles).
constexpr int kMaxDepth = 64;

// Numbers of a list separated by spaces and/or commas.
std::vector<double> NumberList(const std::string& text) {
  std::vector<double> out;
  const char* p = text.c_str();
  while (*p) {
    while (*p == ' ' || *p == ',' || *p == '\t' || *p == '\r' || *p == '\n') ++p;
    if (!*p) break;
    char* stop = nullptr;
    double v = std::strtod(p, &stop);
    if (stop == p) break;
    out.push_back(v);
    p = stop;
  }
  return out;
}

bool IsContainer(const std::string& tag) {
  return tag == "g" || tag == "a" || tag == "switch";
}

bool IsShape(const std::string& tag) {
  return tag == "path" || tag == "rect" || tag == "circle" || tag == "ellipse" ||
         tag == "line" || tag == "polyline" || tag == "polygon";
}

}  // namespace

std::string LocalName(const XmlElement& e) {
  if (e.name.compare(0, 4, "svg:") == 0) return e.name.substr(4);
  return e.name;
}

double LengthAttribute(const XmlElement& e, const char* name, double reference,
                       double fallback) {
  const std::string* v = e.Attribute(name);
  double value = 0;
  bool percent = false;
  if (!v || !ParseLength(*v, value, &percent)) return fallback;
  return percent ? value / 100 * reference : value;
}

bool ParseTransform(const std::string& text, Matrix& out) {
  Matrix result;
  size_t pos = 0;
  while (true) {
    while (pos < text.size() && (std::isspace(static_cast<unsigned char>(text[pos])) ||
                                 text[pos] == ',')) {
      ++pos;
    }
    if (pos >= text.size()) break;
    size_t open = text.find('(', pos);
    size_t close = text.find(')', pos);
    if (open == std::string::npos || close == std::string::npos || close < open) return false;
    std::string name = Trim(text.substr(pos, open - pos));
    std::vector<double> v = NumberList(text.substr(open + 1, close - open - 1));
    pos = close + 1;
    Matrix m;
    size_t n = v.size();
    if (name == "matrix" && n == 6) {
      m = {v[0], v[1], v[2], v[3], v[4], v[5]};
    } else if (name == "translate" && (n == 1 || n == 2)) {
      m = Matrix::Translate(v[0], n == 2 ? v[1] : 0);
    } else if (name == "scale" && (n == 1 || n == 2)) {
      m = Matrix::Scale(v[0], n == 2 ? v[1] : v[0]);
    } else if (name == "rotate" && (n == 1 || n == 3)) {
      double a = v[0] * kPi / 180;
      Matrix r{std::cos(a), std::sin(a), -std::sin(a), std::cos(a), 0, 0};
      m = n == 3 ? Matrix::Translate(v[1], v[2]) * r * Matrix::Translate(-v[1], -v[2]) : r;
    } else if (name == "skewX" && n == 1) {
      m = {1, 0, std::tan(v[0] * kPi / 180), 1, 0, 0};
    } else if (name == "skewY" && n == 1) {
      m = {1, std::tan(v[0] * kPi / 180), 0, 1, 0, 0};
    } else {
      return false;
    }
    result = result * m;
  }
  out = result;
  return true;
}

Matrix ViewBoxTransform(const XmlElement& e, double width, double height) {
  const std::string* vb = e.Attribute("viewBox");
  if (!vb) return Matrix();
  std::vector<double> v = NumberList(*vb);
  if (v.size() != 4 || v[2] <= 0 || v[3] <= 0) return Matrix();
  double sx = width / v[2], sy = height / v[3];
  std::string par = "xMidYMid meet";
  if (const std::string* p = e.Attribute("preserveAspectRatio")) par = *p;
  if (par.find("none") != std::string::npos) {
    return Matrix{sx, 0, 0, sy, -v[0] * sx, -v[1] * sy};
  }
  bool slice = par.find("slice") != std::string::npos;
  double s = slice ? std::max(sx, sy) : std::min(sx, sy);
  double freeX = width - v[2] * s, freeY = height - v[3] * s;
  double ax = par.find("xMin") != std::string::npos   ? 0
              : par.find("xMax") != std::string::npos ? 1
                                                      : 0.5;
  double ay = par.find("YMin") != std::string::npos   ? 0
              : par.find("YMax") != std::string::npos ? 1
                                                      : 0.5;
  return Matrix{s, 0, 0, s, freeX * ax - v[0] * s, freeY * ay - v[1] * s};
}

void Document::CollectIds(const XmlElement& e) {
  if (const std::string* id = e.Attribute("id")) ids_.emplace(*id, &e);
  if (LocalName(e) == "style") styleSheet_.Parse(e.text);
  for (const auto& child : e.children) CollectIds(*child);
}

const XmlElement* Document::Find(const std::string& id) const {
  auto it = ids_.find(id);
  return it == ids_.end() ? nullptr : it->second;
}

bool Document::Load(const char* data, size_t size) {
  root_ = ParseXml(data, size);
  if (!root_ || LocalName(*root_) != "svg") return false;
  CollectIds(*root_);
  std::vector<double> vb;
  if (const std::string* v = root_->Attribute("viewBox")) vb = NumberList(*v);
  bool hasViewBox = vb.size() == 4 && vb[2] > 0 && vb[3] > 0;
  // Relative or missing sizes fall back to the viewBox (or 100 %) of a 100 x 100 viewport.
  width_ = LengthAttribute(*root_, "width", hasViewBox ? vb[2] : 100, hasViewBox ? vb[2] : 100);
  height_ =
      LengthAttribute(*root_, "height", hasViewBox ? vb[3] : 100, hasViewBox ? vb[3] : 100);
  return width_ > 0 && height_ > 0;
}

void Document::Render(Canvas& canvas, const Matrix& toDevice) const {
  if (!root_) return;
  Context ctx{&canvas, toDevice, {width_, height_}, 0};
  RenderElement(*root_, Style(), ctx);
}

Style Document::ComputeStyle(const XmlElement& e, const std::string& tag,
                             const Style& parent) const {
  Style s = parent.InheritedBy();
  for (const auto& a : e.attributes) s.Apply(a.first, a.second, parent);
  styleSheet_.Apply(e, tag, s, parent);
  if (const std::string* st = e.Attribute("style")) s.ApplyDeclarations(*st, parent);
  return s;
}

void Document::RenderElement(const XmlElement& e, const Style& parent, const Context& ctx) const {
  std::string tag = LocalName(e);
  if (!IsContainer(tag) && !IsShape(tag) && tag != "svg" && tag != "use") return;
  if (ctx.depth > kMaxDepth) return;
  Style style = ComputeStyle(e, tag, parent);
  if (!style.displayed || style.opacity <= 0) return;
  Context inner = ctx;
  inner.depth = ctx.depth + 1;
  if (const std::string* t = e.Attribute("transform")) {
    Matrix m;
    if (ParseTransform(*t, m)) inner.ctm = ctx.ctm * m;
  }
  std::vector<float> clipMask;
  const XmlElement* clip = style.clipPath.empty() ? nullptr : Find(style.clipPath);
  bool clipped = clip && BuildClipMask(*clip, e, tag, inner, clipMask);
  std::vector<float> maskValues;
  const XmlElement* maskElement = style.mask.empty() ? nullptr : Find(style.mask);
  if (maskElement && BuildMask(*maskElement, e, tag, inner, maskValues)) {
    if (clipped) {
      for (size_t i = 0; i < clipMask.size(); ++i) clipMask[i] *= maskValues[i];
    } else {
      clipMask.swap(maskValues);
      clipped = true;
    }
  }
  if (style.opacity >= 1 && !clipped) {
    RenderContent(e, tag, style, inner);
    return;
  }
  // Group opacity and clipping: the content is drawn opaque into a layer that is then blended
  // as a whole.
  Canvas layer(ctx.canvas->Width(), ctx.canvas->Height());
  inner.canvas = &layer;
  RenderContent(e, tag, style, inner);
  ctx.canvas->Composite(layer, static_cast<float>(style.opacity), clipped ? &clipMask : nullptr);
}

bool Document::ShapeBounds(const XmlElement& e, const std::string& tag, const Viewport& vp,
                           Point& min, Point& max) const {
  Path shape;
  return IsShape(tag) && BuildShape(e, tag, vp, shape) &&
         PolylineBounds(shape.Flatten(Matrix(), 0.01), min, max);
}

bool Document::BuildMask(const XmlElement& maskElement, const XmlElement& masked,
                         const std::string& tag, const Context& ctx,
                         std::vector<float>& mask) const {
  if (LocalName(maskElement) != "mask" || ctx.depth > kMaxDepth) return false;
  Context inner = ctx;
  inner.depth = ctx.depth + 1;
  const std::string* units = maskElement.Attribute("maskContentUnits");
  if (units && Trim(*units) == "objectBoundingBox") {
    Point min, max;
    if (!ShapeBounds(masked, tag, ctx.viewport, min, max)) return false;
    inner.ctm = inner.ctm * Matrix{max.x - min.x, 0, 0, max.y - min.y, min.x, min.y};
  }
  Canvas layer(ctx.canvas->Width(), ctx.canvas->Height());
  inner.canvas = &layer;
  // The mask's content inherits from the mask's own ancestors, not from the masked element.
  RenderChildren(maskElement, ComputeStyle(maskElement, "mask", Style()), inner);
  std::string type;
  if (const std::string* t = maskElement.Attribute("mask-type")) type = Trim(*t);
  if (const std::string* st = maskElement.Attribute("style")) {
    if (st->find("mask-type:alpha") != std::string::npos) type = "alpha";
  }
  mask = layer.MaskValues(type == "alpha");
  return true;
}

bool Document::BuildClipMask(const XmlElement& clip, const XmlElement& clipped,
                             const std::string& tag, const Context& ctx,
                             std::vector<float>& mask) const {
  if (LocalName(clip) != "clipPath") return false;
  Matrix base = ctx.ctm;
  const std::string* units = clip.Attribute("clipPathUnits");
  if (units && Trim(*units) == "objectBoundingBox") {
    Point min, max;
    if (!ShapeBounds(clipped, tag, ctx.viewport, min, max)) return false;
    base = base * Matrix{max.x - min.x, 0, 0, max.y - min.y, min.x, min.y};
  }
  Matrix m;
  if (const std::string* t = clip.Attribute("transform")) {
    if (ParseTransform(*t, m)) base = base * m;
  }
  int w = ctx.canvas->Width(), h = ctx.canvas->Height();
  mask.assign(static_cast<size_t>(w) * h, 0.0f);
  Style clipStyle = ComputeStyle(clip, "clipPath", Style());
  for (const auto& child : clip.children) {
    const XmlElement* shapeElement = child.get();
    Matrix ctm = base;
    if (LocalName(*child) == "use") {
      shapeElement = Find(HrefTarget(*child));
      if (!shapeElement) continue;
      if (const std::string* t = child->Attribute("transform")) {
        if (ParseTransform(*t, m)) ctm = ctm * m;
      }
      ctm = ctm * Matrix::Translate(LengthAttribute(*child, "x", ctx.viewport.width, 0),
                                    LengthAttribute(*child, "y", ctx.viewport.height, 0));
    }
    std::string childTag = LocalName(*shapeElement);
    if (!IsShape(childTag)) continue;
    Style s = ComputeStyle(*shapeElement, childTag, clipStyle);
    if (!s.displayed || !s.visible) continue;
    if (const std::string* t = shapeElement->Attribute("transform")) {
      if (ParseTransform(*t, m)) ctm = ctm * m;
    }
    Path path;
    if (!BuildShape(*shapeElement, childTag, ctx.viewport, path)) continue;
    Rasterizer raster(w, h);
    raster.AddPolylines(path.Flatten(ctm, kTolerance));
    CoverageMask cover;
    if (!raster.Render(s.clipRule, cover)) continue;
    for (int y = 0; y < cover.height; ++y) {
      for (int x = 0; x < cover.width; ++x) {
        float& dst = mask[static_cast<size_t>(y + cover.top) * w + x + cover.left];
        float c = cover.At(x, y);
        dst = dst + c - dst * c;
      }
    }
  }
  return true;
}

void Document::RenderChildren(const XmlElement& e, const Style& style, const Context& ctx) const {
  for (const auto& child : e.children) RenderElement(*child, style, ctx);
}

void Document::RenderContent(const XmlElement& e, const std::string& tag, const Style& style,
                             const Context& ctx) const {
  if (IsContainer(tag)) {
    RenderChildren(e, style, ctx);
    return;
  }
  if (tag == "svg") {
    Context inner = ctx;
    if (&e != root_.get()) {
      double x = LengthAttribute(e, "x", ctx.viewport.width, 0);
      double y = LengthAttribute(e, "y", ctx.viewport.height, 0);
      double w = LengthAttribute(e, "width", ctx.viewport.width, ctx.viewport.width);
      double h = LengthAttribute(e, "height", ctx.viewport.height, ctx.viewport.height);
      inner.ctm = ctx.ctm * Matrix::Translate(x, y);
      inner.viewport = {w, h};
    } else {
      inner.viewport = {width_, height_};
    }
    inner.ctm = inner.ctm * ViewBoxTransform(e, inner.viewport.width, inner.viewport.height);
    std::vector<double> vb;
    if (const std::string* v = e.Attribute("viewBox")) vb = NumberList(*v);
    if (vb.size() == 4 && vb[2] > 0 && vb[3] > 0) inner.viewport = {vb[2], vb[3]};
    RenderChildren(e, style, inner);
    return;
  }
  if (tag == "use") {
    const XmlElement* target = Find(HrefTarget(e));
    if (!target) return;
    Context inner = ctx;
    inner.ctm = ctx.ctm * Matrix::Translate(LengthAttribute(e, "x", ctx.viewport.width, 0),
                                            LengthAttribute(e, "y", ctx.viewport.height, 0));
    std::string targetTag = LocalName(*target);
    if (targetTag == "symbol") {
      // The use element's size (100 % by default) is the symbol's viewport.
      Style symbolStyle = ComputeStyle(*target, targetTag, style);
      double w = LengthAttribute(e, "width", ctx.viewport.width, ctx.viewport.width);
      double h = LengthAttribute(e, "height", ctx.viewport.height, ctx.viewport.height);
      inner.ctm = inner.ctm * ViewBoxTransform(*target, w, h);
      std::vector<double> vb;
      if (const std::string* v = target->Attribute("viewBox")) vb = NumberList(*v);
      inner.viewport = vb.size() == 4 && vb[2] > 0 && vb[3] > 0 ? Viewport{vb[2], vb[3]}
                                                                : Viewport{w, h};
      if (symbolStyle.displayed) RenderChildren(*target, symbolStyle, inner);
    } else {
      RenderElement(*target, style, inner);
    }
    return;
  }
  Path path;
  if (style.visible && BuildShape(e, tag, ctx.viewport, path)) RenderShape(path, style, ctx);
}

bool Document::BuildShape(const XmlElement& e, const std::string& tag, const Viewport& vp,
                          Path& path) const {
  double vw = vp.width, vh = vp.height;
  double diag = std::sqrt((vw * vw + vh * vh) / 2);
  if (tag == "path") {
    const std::string* d = e.Attribute("d");
    if (!d) return false;
    ParsePathData(*d, path);
  } else if (tag == "rect") {
    double x = LengthAttribute(e, "x", vw, 0), y = LengthAttribute(e, "y", vh, 0);
    double w = LengthAttribute(e, "width", vw, 0), h = LengthAttribute(e, "height", vh, 0);
    if (w <= 0 || h <= 0) return false;
    double rx = LengthAttribute(e, "rx", vw, -1), ry = LengthAttribute(e, "ry", vh, -1);
    if (rx < 0 && ry < 0) rx = ry = 0;
    if (rx < 0) rx = ry;
    if (ry < 0) ry = rx;
    rx = std::min(rx, w / 2);
    ry = std::min(ry, h / 2);
    if (rx > 0 && ry > 0) {
      path.MoveTo({x + rx, y});
      path.LineTo({x + w - rx, y});
      path.ArcTo(rx, ry, 0, false, true, {x + w, y + ry});
      path.LineTo({x + w, y + h - ry});
      path.ArcTo(rx, ry, 0, false, true, {x + w - rx, y + h});
      path.LineTo({x + rx, y + h});
      path.ArcTo(rx, ry, 0, false, true, {x, y + h - ry});
      path.LineTo({x, y + ry});
      path.ArcTo(rx, ry, 0, false, true, {x + rx, y});
    } else {
      path.MoveTo({x, y});
      path.LineTo({x + w, y});
      path.LineTo({x + w, y + h});
      path.LineTo({x, y + h});
    }
    path.Close();
  } else if (tag == "circle" || tag == "ellipse") {
    double cx = LengthAttribute(e, "cx", vw, 0), cy = LengthAttribute(e, "cy", vh, 0);
    double rx, ry;
    if (tag == "circle") {
      rx = ry = LengthAttribute(e, "r", diag, 0);
    } else {
      rx = LengthAttribute(e, "rx", vw, -1);
      ry = LengthAttribute(e, "ry", vh, -1);
      if (rx < 0) rx = ry;
      if (ry < 0) ry = rx;
    }
    if (rx <= 0 || ry <= 0) return false;
    path.MoveTo({cx + rx, cy});
    path.ArcTo(rx, ry, 0, false, true, {cx, cy + ry});
    path.ArcTo(rx, ry, 0, false, true, {cx - rx, cy});
    path.ArcTo(rx, ry, 0, false, true, {cx, cy - ry});
    path.ArcTo(rx, ry, 0, false, true, {cx + rx, cy});
    path.Close();
  } else if (tag == "line") {
    path.MoveTo({LengthAttribute(e, "x1", vw, 0), LengthAttribute(e, "y1", vh, 0)});
    path.LineTo({LengthAttribute(e, "x2", vw, 0), LengthAttribute(e, "y2", vh, 0)});
  } else {
    const std::string* pts = e.Attribute("points");
    if (!pts) return false;
    std::vector<double> v = NumberList(*pts);
    for (size_t i = 0; i + 1 < v.size(); i += 2) {
      if (i == 0) path.MoveTo({v[0], v[1]});
      else path.LineTo({v[i], v[i + 1]});
    }
    if (tag == "polygon") path.Close();
  }
  return !path.Empty();
}

std::unique_ptr<Paint> Document::MakePaint(const PaintValue& value, const Style& style,
                                           const Context& ctx, const Path& path) const {
  switch (value.kind) {
    case PaintValue::Kind::kNone:
      return nullptr;
    case PaintValue::Kind::kColor:
      return std::make_unique<SolidPaint>(value.color);
    case PaintValue::Kind::kCurrentColor:
      return std::make_unique<SolidPaint>(style.color);
    case PaintValue::Kind::kReference:
      break;
  }
  if (const XmlElement* server = Find(value.id)) {
    GradientTarget target;
    target.ctm = ctx.ctm;
    target.viewport = &ctx.viewport;
    target.hasBox = PolylineBounds(path.Flatten(Matrix(), 0.01), target.boxMin, target.boxMax);
    auto paint = MakeGradientPaint(
        *server, [this](const std::string& id) { return Find(id); }, styleSheet_, target);
    if (paint) return paint;
  }
  if (!value.hasFallback) return nullptr;
  return std::make_unique<SolidPaint>(value.fallbackIsCurrentColor ? style.color : value.color);
}

void Document::RenderShape(const Path& path, const Style& style, const Context& ctx) const {
  Canvas& canvas = *ctx.canvas;
  if (auto fill = MakePaint(style.fill, style, ctx, path)) {
    Rasterizer raster(canvas.Width(), canvas.Height());
    raster.AddPolylines(path.Flatten(ctx.ctm, kTolerance));
    CoverageMask mask;
    if (raster.Render(style.fillRule, mask)) {
      canvas.Fill(mask, *fill, static_cast<float>(style.fillOpacity));
    }
  }
  double width = style.strokeWidth.value;
  if (style.strokeWidth.percent) {
    width = width / 100 *
            std::sqrt((ctx.viewport.width * ctx.viewport.width +
                       ctx.viewport.height * ctx.viewport.height) / 2);
  }
  double scale = ctx.ctm.MaxScale();
  if (width <= 0 || scale <= 0) return;
  auto stroke = MakePaint(style.stroke, style, ctx, path);
  if (!stroke) return;
  // The stroke is built in user space so that non-uniform transforms shape it correctly.
  double tolerance = kTolerance / scale;
  StrokeStyle strokeStyle{width,        style.lineCap, style.lineJoin,
                          style.miterLimit, style.dashes, style.dashOffset};
  std::vector<Polyline> outline =
      Stroker(strokeStyle, tolerance).Stroke(path.Flatten(Matrix(), tolerance));
  for (Polyline& line : outline) {
    for (Point& p : line.points) p = ctx.ctm.Apply(p);
  }
  Rasterizer raster(canvas.Width(), canvas.Height());
  raster.AddPolylines(outline);
  CoverageMask mask;
  if (raster.Render(FillRule::kNonZero, mask)) {
    canvas.Fill(mask, *stroke, static_cast<float>(style.strokeOpacity));
  }
}

}  // namespace svg
