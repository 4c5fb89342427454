#include "svg/svgxml.h"

#include <cstring>

namespace svg {

const std::string* XmlElement::Attribute(const char* key) const {
  for (const auto& a : attributes) {
    if (a.first == key) return &a.second;
  }
  return nullptr;
}

namespace {

void AppendUtf8(std::string& out, unsigned long cp) {
  if (cp == 0 || cp > 0x10FFFF) return;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Replaces entity and character references; unknown references stay as written.
std::string Decode(const char* p, const char* end) {
  std::string out;
  out.reserve(end - p);
  while (p < end) {
    if (*p != '&') {
      out += *p++;
      continue;
    }
    const char* semi = static_cast<const char*>(memchr(p, ';', end - p));
    if (!semi || semi - p > 12) {
      out += *p++;
      continue;
    }
    std::string ref(p + 1, semi);
    static const struct { const char* name; char ch; } kNamed[] = {
        {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    bool done = false;
    for (const auto& n : kNamed) {
      if (ref == n.name) {
        out += n.ch;
        done = true;
      }
    }
    if (!done && ref.size() > 1 && ref[0] == '#') {
      bool hex = ref[1] == 'x' || ref[1] == 'X';
      char* stop = nullptr;
      const char* digits = ref.c_str() + (hex ? 2 : 1);
      unsigned long cp = strtoul(digits, &stop, hex ? 16 : 10);
      if (stop && *stop == 0 && stop != digits) {
        AppendUtf8(out, cp);
        done = true;
      }
    }
    if (!done) {
      out.append(p, semi + 1);
    }
    p = semi + 1;
  }
  return out;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsNameEnd(char c) { return IsSpace(c) || c == '/' || c == '>' || c == '=' || c == 0; }

class XmlReader {
 public:
  XmlReader(const char* data, size_t size) : p_(data), end_(data + size) {}

  std::unique_ptr<XmlElement> Read() {
    std::unique_ptr<XmlElement> root;
    std::vector<XmlElement*> open;
    while (p_ < end_) {
      if (*p_ != '<') {
        const char* start = p_;
        while (p_ < end_ && *p_ != '<') ++p_;
        if (!open.empty()) open.back()->text += Decode(start, p_);
        continue;
      }
      if (StartsWith("<!--")) {
        SkipPast("-->");
      } else if (StartsWith("<![CDATA[")) {
        const char* start = p_ + 9;
        SkipPast("]]>");
        const char* stop = p_ >= start + 3 ? p_ - 3 : start;
        if (!open.empty()) open.back()->text.append(start, stop);
      } else if (StartsWith("<?")) {
        SkipPast("?>");
      } else if (StartsWith("<!")) {
        SkipDeclaration();
      } else if (StartsWith("</")) {
        p_ += 2;
        std::string name = ReadName();
        SkipPast(">");
        // Close up to the matching element; a stray end tag is ignored.
        for (size_t i = open.size(); i-- > 0;) {
          if (open[i]->name == name) {
            open.resize(i);
            break;
          }
        }
      } else {
        ++p_;
        auto element = std::make_unique<XmlElement>();
        element->name = ReadName();
        bool selfClosing = ReadAttributes(*element);
        XmlElement* raw = element.get();
        if (!open.empty()) {
          open.back()->children.push_back(std::move(element));
        } else if (!root) {
          root = std::move(element);
        } else {
          continue;  // a second top-level element is ignored
        }
        if (!selfClosing) open.push_back(raw);
      }
    }
    return root;
  }

 private:
  bool StartsWith(const char* s) const {
    size_t n = strlen(s);
    return static_cast<size_t>(end_ - p_) >= n && memcmp(p_, s, n) == 0;
  }
  void SkipPast(const char* s) {
    size_t n = strlen(s);
    while (p_ < end_ && !StartsWith(s)) ++p_;
    p_ = p_ < end_ ? p_ + n : end_;
  }
  // <!DOCTYPE ...> with an optional internal subset in brackets.
  void SkipDeclaration() {
    int depth = 0;
    while (p_ < end_) {
      char c = *p_++;
      if (c == '[') ++depth;
      if (c == ']') --depth;
      if (c == '>' && depth <= 0) return;
    }
  }
  void SkipSpace() {
    while (p_ < end_ && IsSpace(*p_)) ++p_;
  }
  std::string ReadName() {
    SkipSpace();
    const char* start = p_;
    while (p_ < end_ && !IsNameEnd(*p_)) ++p_;
    return std::string(start, p_);
  }
  // Reads attributes up to '>' or "/>"; returns true for an empty-element tag.
  bool ReadAttributes(XmlElement& element) {
    while (p_ < end_) {
      SkipSpace();
      if (p_ >= end_) break;
      if (*p_ == '>') {
        ++p_;
        return false;
      }
      if (*p_ == '/') {
        ++p_;
        if (p_ < end_ && *p_ == '>') {
          ++p_;
          return true;
        }
        continue;
      }
      std::string name = ReadName();
      if (name.empty()) {
        ++p_;
        continue;
      }
      SkipSpace();
      std::string value;
      if (p_ < end_ && *p_ == '=') {
        ++p_;
        SkipSpace();
        if (p_ < end_ && (*p_ == '"' || *p_ == '\'')) {
          char quote = *p_++;
          const char* start = p_;
          while (p_ < end_ && *p_ != quote) ++p_;
          value = Decode(start, p_);
          if (p_ < end_) ++p_;
        } else {
          const char* start = p_;
          while (p_ < end_ && !IsSpace(*p_) && *p_ != '>') ++p_;
          value = Decode(start, p_);
        }
      }
      element.attributes.emplace_back(std::move(name), std::move(value));
    }
    return true;
  }

  const char* p_;
  const char* end_;
};

}  // namespace

std::unique_ptr<XmlElement> ParseXml(const char* data, size_t size) {
  if (!data) return nullptr;
  return XmlReader(data, size).Read();
}

}  // namespace svg
