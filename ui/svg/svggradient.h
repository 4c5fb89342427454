// Linear and radial gradient elements resolved into paints.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "svg/svgcanvas.h"
#include "svg/svgcss.h"
#include "svg/svgxml.h"

namespace svg {

struct Viewport;

struct GradientTarget {
  Matrix ctm;              // user space of the painted element onto the device
  bool hasBox = false;     // the element's bounding box, for objectBoundingBox units
  Point boxMin;
  Point boxMax;
  const Viewport* viewport = nullptr;  // for percentages in userSpaceOnUse units
};

// The id that an element's href (or xlink:href) names; empty unless it is a local "#id".
std::string HrefTarget(const XmlElement& e);

using ElementLookup = std::function<const XmlElement*(const std::string& id)>;

// The paint of a linearGradient or radialGradient element, following its href chain for
// attributes and stops. Nothing when the element is no gradient, has no stops or cannot
// apply to the target (an empty bounding box with objectBoundingBox units).
std::unique_ptr<Paint> MakeGradientPaint(const XmlElement& gradient, const ElementLookup& find,
                                         const StyleSheet& styleSheet,
                                         const GradientTarget& target);

}  // namespace svg
