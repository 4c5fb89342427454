// The subset of CSS style sheets that drawing tools write into SVG <style> elements: rules
// with simple selectors (element name, .class, #id, *, combined like "path.a") in groups.
#pragma once
#include <string>
#include <vector>

#include "svg/svgstyle.h"
#include "svg/svgxml.h"

namespace svg {

class StyleSheet {
 public:
  virtual ~StyleSheet() = default;
  // Adds the rules of a style sheet; rules with selectors outside the subset are skipped.
  void Parse(const std::string& text);
  // Applies the matching declarations to `style`, less specific and earlier rules first.
  virtual void Apply(const XmlElement& element, const std::string& tag, Style& style,
                     const Style& parent) const;
  bool Empty() const { return rules_.empty(); }

 private:
  struct Rule {
    std::string tag;  // empty matches every element
    std::vector<std::string> classes;
    std::string id;
    int specificity = 0;
    std::string declarations;
  };
  static bool ParseSelector(const std::string& text, Rule& rule);
  static bool Matches(const Rule& rule, const XmlElement& element, const std::string& tag);

  std::vector<Rule> rules_;
};

}  // namespace svg
