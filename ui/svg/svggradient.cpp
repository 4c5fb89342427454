#include "svg/svggradient.h"

#include <algorithm>
#include <vector>

#include "svg/svgdocument.h"

namespace svg {

namespace {

bool IsGradient(const std::string& tag) {
  return tag == "linearGradient" || tag == "radialGradient";
}

// The gradient and the gradients it refers to, nearest first.
std::vector<const XmlElement*> Chain(const XmlElement& gradient, const ElementLookup& find) {
  std::vector<const XmlElement*> chain{&gradient};
  while (chain.size() < 16) {
    const XmlElement* next = find(HrefTarget(*chain.back()));
    if (!next || !IsGradient(LocalName(*next)) ||
        std::find(chain.begin(), chain.end(), next) != chain.end()) {
      break;
    }
    chain.push_back(next);
  }
  return chain;
}

const std::string* Inherited(const std::vector<const XmlElement*>& chain, const char* name,
                             const std::string& onlyTag = std::string()) {
  for (const XmlElement* e : chain) {
    if (!onlyTag.empty() && LocalName(*e) != onlyTag) continue;
    if (const std::string* v = e->Attribute(name)) return v;
  }
  return nullptr;
}

std::vector<GradientStop> Stops(const std::vector<const XmlElement*>& chain,
                                const StyleSheet& styleSheet) {
  std::vector<GradientStop> stops;
  for (const XmlElement* e : chain) {
    for (const auto& child : e->children) {
      if (LocalName(*child) != "stop") continue;
      Style parent;
      Style s;
      for (const auto& a : child->attributes) s.Apply(a.first, a.second, parent);
      styleSheet.Apply(*child, "stop", s, parent);
      if (const std::string* st = child->Attribute("style")) s.ApplyDeclarations(*st, parent);
      GradientStop stop;
      double offset = 0;
      bool percent = false;
      if (const std::string* o = child->Attribute("offset")) {
        if (ParseLength(*o, offset, &percent) && percent) offset /= 100;
      }
      offset = std::min(1.0, std::max(0.0, offset));
      if (!stops.empty()) offset = std::max(offset, stops.back().offset);
      stop.offset = offset;
      stop.color = s.stopColor;
      stop.color.a = static_cast<float>(s.stopColor.a * s.stopOpacity);
      stops.push_back(stop);
    }
    if (!stops.empty()) break;
  }
  return stops;
}

// A coordinate of the gradient: a fraction of the box for objectBoundingBox units, a length
// (percentages of the viewport) in user space otherwise.
double Coordinate(const std::vector<const XmlElement*>& chain, const std::string& tag,
                  const char* name, double fallback, bool boxUnits, double reference) {
  const std::string* v = Inherited(chain, name, tag);
  if (!v) return fallback;
  double value = 0;
  bool percent = false;
  if (!ParseLength(*v, value, &percent)) return fallback;
  if (percent) return boxUnits ? value / 100 : value / 100 * reference;
  return value;
}

}  // namespace

std::unique_ptr<Paint> MakeGradientPaint(const XmlElement& gradient, const ElementLookup& find,
                                         const StyleSheet& styleSheet,
                                         const GradientTarget& target) {
  std::string tag = LocalName(gradient);
  if (!IsGradient(tag)) return nullptr;
  std::vector<const XmlElement*> chain = Chain(gradient, find);
  std::vector<GradientStop> stops = Stops(chain, styleSheet);
  if (stops.empty()) return nullptr;
  if (stops.size() == 1) return std::make_unique<SolidPaint>(stops[0].color);

  const std::string* units = Inherited(chain, "gradientUnits");
  bool boxUnits = !units || Trim(*units) != "userSpaceOnUse";
  Matrix toDevice = target.ctm;
  if (boxUnits) {
    double w = target.boxMax.x - target.boxMin.x, h = target.boxMax.y - target.boxMin.y;
    if (!target.hasBox || w <= 0 || h <= 0) return nullptr;
    toDevice = toDevice * Matrix{w, 0, 0, h, target.boxMin.x, target.boxMin.y};
  }
  if (const std::string* t = Inherited(chain, "gradientTransform")) {
    Matrix m;
    if (ParseTransform(*t, m)) toDevice = toDevice * m;
  }
  Matrix toGradient;
  if (!toDevice.Invert(toGradient)) return nullptr;

  Spread spread = Spread::kPad;
  if (const std::string* s = Inherited(chain, "spreadMethod")) {
    if (Trim(*s) == "reflect") spread = Spread::kReflect;
    if (Trim(*s) == "repeat") spread = Spread::kRepeat;
  }
  double vw = target.viewport ? target.viewport->width : 100;
  double vh = target.viewport ? target.viewport->height : 100;
  if (tag == "linearGradient") {
    Point p1{Coordinate(chain, tag, "x1", 0, boxUnits, vw),
             Coordinate(chain, tag, "y1", 0, boxUnits, vh)};
    Point p2{Coordinate(chain, tag, "x2", boxUnits ? 1 : vw, boxUnits, vw),
             Coordinate(chain, tag, "y2", 0, boxUnits, vh)};
    if (p1.x == p2.x && p1.y == p2.y) return std::make_unique<SolidPaint>(stops.back().color);
    return std::make_unique<LinearGradientPaint>(stops, spread, toGradient, p1, p2);
  }
  double diag = std::sqrt((vw * vw + vh * vh) / 2);
  Point c{Coordinate(chain, tag, "cx", boxUnits ? 0.5 : vw / 2, boxUnits, vw),
          Coordinate(chain, tag, "cy", boxUnits ? 0.5 : vh / 2, boxUnits, vh)};
  double r = Coordinate(chain, tag, "r", boxUnits ? 0.5 : diag / 2, boxUnits, diag);
  Point f{Coordinate(chain, tag, "fx", c.x, boxUnits, vw),
          Coordinate(chain, tag, "fy", c.y, boxUnits, vh)};
  if (r <= 0) return std::make_unique<SolidPaint>(stops.back().color);
  return std::make_unique<RadialGradientPaint>(stops, spread, toGradient, c, r, f);
}

std::string HrefTarget(const XmlElement& e) {
  const std::string* h = e.Attribute("xlink:href");
  if (!h) h = e.Attribute("href");
  if (!h) return std::string();
  std::string v = Trim(*h);
  return !v.empty() && v[0] == '#' ? v.substr(1) : std::string();
}

}  // namespace svg
