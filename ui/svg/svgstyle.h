// Presentation properties of SVG elements: their computed values and how declarations
// ("fill", "stroke-width", ...) change them.
#pragma once
#include <string>
#include <vector>

#include "svg/svgcolor.h"
#include "svg/svgraster.h"
#include "svg/svgstroke.h"

namespace svg {

struct PaintValue {
  enum class Kind { kNone, kColor, kCurrentColor, kReference };
  Kind kind = Kind::kNone;
  Color color;
  std::string id;            // referenced paint server, without '#'
  bool hasFallback = false;  // "url(#id) <colour>"; kCurrentColor resolves at paint time
  bool fallbackIsCurrentColor = false;
};

// A stroke width as written: user units, or a percentage of the viewport's normalised diagonal.
struct StrokeWidth {
  double value = 1;
  bool percent = false;
};

struct Style {
  // Inherited properties.
  PaintValue fill;
  PaintValue stroke;
  Color color;
  double fillOpacity = 1;
  double strokeOpacity = 1;
  FillRule fillRule = FillRule::kNonZero;
  FillRule clipRule = FillRule::kNonZero;
  StrokeWidth strokeWidth;
  LineCap lineCap = LineCap::kButt;
  LineJoin lineJoin = LineJoin::kMiter;
  double miterLimit = 4;
  std::vector<double> dashes;
  double dashOffset = 0;
  bool visible = true;
  // Properties that apply to the element itself only.
  double opacity = 1;
  bool displayed = true;
  std::string clipPath;  // id of the clipPath element, without '#'
  std::string mask;      // id of the mask element, without '#'
  Color stopColor;
  double stopOpacity = 1;

  Style();
  // The computed style a child starts from: inherited properties kept, the others reset.
  Style InheritedBy() const;
  // Applies one declaration; `parent` resolves "inherit". Unknown names are ignored.
  void Apply(const std::string& name, const std::string& value, const Style& parent);
  // Applies "name: value; ..." declarations.
  void ApplyDeclarations(const std::string& text, const Style& parent);
};

// Parses a number with an optional unit (px, pt, pc, mm, cm, in, em, ex) into user units at
// 96 dots per inch; `percent` is set for a trailing '%' (the value is then the bare number).
bool ParseLength(const std::string& text, double& value, bool* percent = nullptr);

std::string Trim(const std::string& s);

}  // namespace svg
