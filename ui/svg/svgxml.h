// A tolerant XML reader for SVG documents: elements, attributes (any names, single or double
// quotes), the predefined entities and numeric character references, comments, CDATA,
// processing instructions and DOCTYPE skipped.
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace svg {

struct XmlElement {
  std::string name;  // qualified name as written, e.g. "path" or "sodipodi:namedview"
  std::vector<std::pair<std::string, std::string>> attributes;
  std::vector<std::unique_ptr<XmlElement>> children;
  std::string text;  // character data and CDATA directly inside this element

  const std::string* Attribute(const char* key) const;
};

// Parses the document and returns its root element, or nothing when there is no element.
// Unclosed elements at the end of the input are closed implicitly.
std::unique_ptr<XmlElement> ParseXml(const char* data, size_t size);

}  // namespace svg
