#include "svg/svgstyle.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace svg {

namespace {

bool ParsePaint(const std::string& text, PaintValue& out) {
  std::string v = Trim(text);
  if (v == "none") {
    out = PaintValue();
    return true;
  }
  if (v == "currentColor") {
    out = PaintValue();
    out.kind = PaintValue::Kind::kCurrentColor;
    return true;
  }
  if (v.compare(0, 4, "url(") == 0) {
    size_t close = v.find(')');
    if (close == std::string::npos) return false;
    std::string ref = Trim(v.substr(4, close - 4));
    if (!ref.empty() && (ref[0] == '\'' || ref[0] == '"')) ref = ref.substr(1, ref.size() - 2);
    PaintValue p;
    p.kind = PaintValue::Kind::kReference;
    p.id = !ref.empty() && ref[0] == '#' ? ref.substr(1) : ref;
    std::string rest = Trim(v.substr(close + 1));
    if (rest == "currentColor") {
      p.hasFallback = p.fallbackIsCurrentColor = true;
    } else if (!rest.empty()) {
      p.hasFallback = ParseColor(rest, p.color);
    }
    out = p;
    return true;
  }
  Color c;
  if (!ParseColor(v, c)) return false;
  out = PaintValue();
  out.kind = PaintValue::Kind::kColor;
  out.color = c;
  return true;
}

bool ParseOpacity(const std::string& text, double& out) {
  double v = 0;
  bool percent = false;
  if (!ParseLength(text, v, &percent)) return false;
  if (percent) v /= 100;
  out = std::min(1.0, std::max(0.0, v));
  return true;
}

}  // namespace

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

bool ParseLength(const std::string& text, double& value, bool* percent) {
  const char* p = text.c_str();
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r') ++p;
  char* stop = nullptr;
  double v = std::strtod(p, &stop);
  if (stop == p) return false;
  std::string unit = Trim(stop);
  double factor = 1;
  if (percent) *percent = false;
  if (unit == "%") {
    if (!percent) return false;
    *percent = true;
  } else if (unit == "pt") {
    factor = 96.0 / 72.0;
  } else if (unit == "pc") {
    factor = 16;
  } else if (unit == "mm") {
    factor = 96.0 / 25.4;
  } else if (unit == "cm") {
    factor = 96.0 / 2.54;
  } else if (unit == "in") {
    factor = 96;
  } else if (unit == "em") {
    factor = 12;
  } else if (unit == "ex") {
    factor = 6;
  } else if (!unit.empty() && unit != "px") {
    return false;
  }
  value = v * factor;
  return true;
}

Style::Style() {
  fill.kind = PaintValue::Kind::kColor;
}

Style Style::InheritedBy() const {
  Style s = *this;
  Style defaults;
  s.opacity = defaults.opacity;
  s.displayed = defaults.displayed;
  s.clipPath.clear();
  s.mask.clear();
  s.stopColor = defaults.stopColor;
  s.stopOpacity = defaults.stopOpacity;
  return s;
}

void Style::Apply(const std::string& name, const std::string& rawValue, const Style& parent) {
  std::string value = Trim(rawValue);
  size_t important = value.find("!important");
  if (important != std::string::npos) value = Trim(value.substr(0, important));
  bool inherit = value == "inherit";
  if (name == "fill") {
    if (inherit) fill = parent.fill;
    else ParsePaint(value, fill);
  } else if (name == "stroke") {
    if (inherit) stroke = parent.stroke;
    else ParsePaint(value, stroke);
  } else if (name == "color") {
    if (inherit) color = parent.color;
    else ParseColor(value, color);
  } else if (name == "fill-opacity") {
    if (inherit) fillOpacity = parent.fillOpacity;
    else ParseOpacity(value, fillOpacity);
  } else if (name == "stroke-opacity") {
    if (inherit) strokeOpacity = parent.strokeOpacity;
    else ParseOpacity(value, strokeOpacity);
  } else if (name == "opacity") {
    if (inherit) opacity = parent.opacity;
    else ParseOpacity(value, opacity);
  } else if (name == "fill-rule") {
    if (inherit) fillRule = parent.fillRule;
    else if (value == "evenodd") fillRule = FillRule::kEvenOdd;
    else if (value == "nonzero") fillRule = FillRule::kNonZero;
  } else if (name == "clip-rule") {
    if (inherit) clipRule = parent.clipRule;
    else if (value == "evenodd") clipRule = FillRule::kEvenOdd;
    else if (value == "nonzero") clipRule = FillRule::kNonZero;
  } else if (name == "clip-path") {
    PaintValue ref;
    clipPath = ParsePaint(value, ref) && ref.kind == PaintValue::Kind::kReference ? ref.id : "";
  } else if (name == "mask") {
    PaintValue ref;
    mask = ParsePaint(value, ref) && ref.kind == PaintValue::Kind::kReference ? ref.id : "";
  } else if (name == "stroke-width") {
    StrokeWidth w;
    if (inherit) strokeWidth = parent.strokeWidth;
    else if (ParseLength(value, w.value, &w.percent) && w.value >= 0) strokeWidth = w;
  } else if (name == "stroke-linecap") {
    if (inherit) lineCap = parent.lineCap;
    else if (value == "butt") lineCap = LineCap::kButt;
    else if (value == "round") lineCap = LineCap::kRound;
    else if (value == "square") lineCap = LineCap::kSquare;
  } else if (name == "stroke-linejoin") {
    if (inherit) lineJoin = parent.lineJoin;
    else if (value == "miter" || value == "miter-clip") lineJoin = LineJoin::kMiter;
    else if (value == "round") lineJoin = LineJoin::kRound;
    else if (value == "bevel") lineJoin = LineJoin::kBevel;
  } else if (name == "stroke-miterlimit") {
    double v = 0;
    if (inherit) miterLimit = parent.miterLimit;
    else if (ParseLength(value, v) && v >= 1) miterLimit = v;
  } else if (name == "stroke-dasharray") {
    if (inherit) {
      dashes = parent.dashes;
    } else {
      std::vector<double> list;
      std::string item;
      bool valid = true;
      for (size_t pos = 0; pos <= value.size(); ++pos) {
        char c = pos < value.size() ? value[pos] : ',';
        if (c != ',' && c != ' ' && c != '\t') {
          item += c;
          continue;
        }
        double v = 0;
        if (!item.empty()) valid = valid && ParseLength(item, v) && v >= 0;
        if (!item.empty()) list.push_back(v);
        item.clear();
      }
      // "none" and invalid lists give a solid stroke.
      dashes = valid && value != "none" ? list : std::vector<double>();
    }
  } else if (name == "stroke-dashoffset") {
    if (inherit) dashOffset = parent.dashOffset;
    else ParseLength(value, dashOffset);
  } else if (name == "visibility") {
    if (inherit) visible = parent.visible;
    else visible = value == "visible";
  } else if (name == "display") {
    displayed = value != "none";
  } else if (name == "stop-color") {
    if (inherit) stopColor = parent.stopColor;
    else if (value == "currentColor") stopColor = color;
    else ParseColor(value, stopColor);
  } else if (name == "stop-opacity") {
    if (inherit) stopOpacity = parent.stopOpacity;
    else ParseOpacity(value, stopOpacity);
  }
}

void Style::ApplyDeclarations(const std::string& text, const Style& parent) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find(';', pos);
    if (end == std::string::npos) end = text.size();
    std::string decl = text.substr(pos, end - pos);
    size_t colon = decl.find(':');
    if (colon != std::string::npos) Apply(Trim(decl.substr(0, colon)), decl.substr(colon + 1), parent);
    pos = end + 1;
  }
}

}  // namespace svg
