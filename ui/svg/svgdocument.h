// A parsed SVG document and the walk over its elements that paints them onto a canvas.
#pragma once
#include <map>
#include <memory>
#include <string>

#include "svg/svgcanvas.h"
#include "svg/svgcss.h"
#include "svg/svgpath.h"
#include "svg/svgstyle.h"
#include "svg/svgxml.h"

namespace svg {

struct Viewport {
  double width = 100;
  double height = 100;
};

class Document {
 public:
  virtual ~Document() = default;
  // False when the data holds no <svg> root element.
  bool Load(const char* data, size_t size);
  double Width() const { return width_; }
  double Height() const { return height_; }
  // Paints the document; `toDevice` maps the document's pixel space onto the canvas.
  virtual void Render(Canvas& canvas, const Matrix& toDevice) const;

 private:
  struct Context {
    Canvas* canvas;
    Matrix ctm;
    Viewport viewport;
    int depth;
  };
  void RenderElement(const XmlElement& e, const Style& parent, const Context& ctx) const;
  void RenderChildren(const XmlElement& e, const Style& style, const Context& ctx) const;
  void RenderContent(const XmlElement& e, const std::string& tag, const Style& style,
                     const Context& ctx) const;
  void RenderShape(const Path& path, const Style& style, const Context& ctx) const;
  bool BuildShape(const XmlElement& e, const std::string& tag, const Viewport& vp,
                  Path& path) const;
  std::unique_ptr<Paint> MakePaint(const PaintValue& value, const Style& style,
                                   const Context& ctx, const Path& path) const;
  // Coverage of the clipPath element over the whole canvas; false when it cannot apply.
  bool BuildClipMask(const XmlElement& clip, const XmlElement& clipped, const std::string& tag,
                     const Context& ctx, std::vector<float>& mask) const;
  // Luminance of the mask element's content over the whole canvas; false when it cannot apply.
  bool BuildMask(const XmlElement& maskElement, const XmlElement& masked, const std::string& tag,
                 const Context& ctx, std::vector<float>& mask) const;
  // Bounds of a shape element in its user space.
  bool ShapeBounds(const XmlElement& e, const std::string& tag, const Viewport& vp, Point& min,
                   Point& max) const;
  Style ComputeStyle(const XmlElement& e, const std::string& tag, const Style& parent) const;
  const XmlElement* Find(const std::string& id) const;
  void CollectIds(const XmlElement& e);

  std::unique_ptr<XmlElement> root_;
  std::map<std::string, const XmlElement*> ids_;
  StyleSheet styleSheet_;
  double width_ = 0;
  double height_ = 0;
};

// The element's name without an "svg:" prefix; names of other namespaces stay prefixed.
std::string LocalName(const XmlElement& e);
// A length attribute in user units; percentages refer to `reference`.
double LengthAttribute(const XmlElement& e, const char* name, double reference, double fallback);
// The transform list of an attribute value ("matrix(...) translate(...) ..."), false on errors.
bool ParseTransform(const std::string& text, Matrix& out);
// The mapping of a viewBox onto a viewport of width x height with preserveAspectRatio.
Matrix ViewBoxTransform(const XmlElement& e, double width, double height);

}  // namespace svg
