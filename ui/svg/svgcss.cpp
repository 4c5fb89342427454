#include "svg/svgcss.h"

#include <algorithm>
#include <cctype>

namespace svg {

namespace {

std::string StripComments(const std::string& text) {
  std::string out;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t start = text.find("/*", pos);
    if (start == std::string::npos) {
      out.append(text, pos, std::string::npos);
      break;
    }
    out.append(text, pos, start - pos);
    size_t end = text.find("*/", start + 2);
    pos = end == std::string::npos ? text.size() : end + 2;
  }
  return out;
}

bool IsIdentChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

}  // namespace

bool StyleSheet::ParseSelector(const std::string& text, Rule& rule) {
  std::string s = Trim(text);
  if (s.empty()) return false;
  size_t i = 0;
  if (s[0] == '*') {
    i = 1;
  } else {
    while (i < s.size() && IsIdentChar(s[i])) ++i;
    rule.tag = s.substr(0, i);
    if (!rule.tag.empty()) rule.specificity += 1;
  }
  while (i < s.size()) {
    char kind = s[i++];
    size_t start = i;
    while (i < s.size() && IsIdentChar(s[i])) ++i;
    if (i == start) return false;
    std::string name = s.substr(start, i - start);
    if (kind == '.') {
      rule.classes.push_back(name);
      rule.specificity += 10;
    } else if (kind == '#') {
      rule.id = name;
      rule.specificity += 100;
    } else {
      return false;  // combinators, pseudo-classes and attribute selectors
    }
  }
  return true;
}

void StyleSheet::Parse(const std::string& text) {
  std::string css = StripComments(text);
  size_t pos = 0;
  while (pos < css.size()) {
    size_t open = css.find('{', pos);
    if (open == std::string::npos) break;
    size_t close = css.find('}', open);
    if (close == std::string::npos) close = css.size();
    std::string selectors = css.substr(pos, open - pos);
    std::string declarations = css.substr(open + 1, close - open - 1);
    pos = close + 1;
    if (Trim(selectors).compare(0, 1, "@") == 0) continue;
    size_t s = 0;
    while (s <= selectors.size()) {
      size_t comma = selectors.find(',', s);
      if (comma == std::string::npos) comma = selectors.size();
      Rule rule;
      if (ParseSelector(selectors.substr(s, comma - s), rule)) {
        rule.declarations = declarations;
        rules_.push_back(std::move(rule));
      }
      s = comma + 1;
    }
  }
  std::stable_sort(rules_.begin(), rules_.end(),
                   [](const Rule& a, const Rule& b) { return a.specificity < b.specificity; });
}

bool StyleSheet::Matches(const Rule& rule, const XmlElement& element, const std::string& tag) {
  if (!rule.tag.empty() && rule.tag != tag) return false;
  if (!rule.id.empty()) {
    const std::string* id = element.Attribute("id");
    if (!id || *id != rule.id) return false;
  }
  if (!rule.classes.empty()) {
    const std::string* cls = element.Attribute("class");
    if (!cls) return false;
    std::string padded = " " + *cls + " ";
    for (char& c : padded) {
      if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    for (const std::string& c : rule.classes) {
      if (padded.find(" " + c + " ") == std::string::npos) return false;
    }
  }
  return true;
}

void StyleSheet::Apply(const XmlElement& element, const std::string& tag, Style& style,
                       const Style& parent) const {
  for (const Rule& rule : rules_) {
    if (Matches(rule, element, tag)) style.ApplyDeclarations(rule.declarations, parent);
  }
}

}  // namespace svg
