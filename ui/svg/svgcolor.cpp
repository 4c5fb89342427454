#include "svg/svgcolor.h"

#include <algorithm>
#include <cmath>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace svg {

namespace {

struct NamedColor {
  const char* name;
  unsigned rgb;
};

const NamedColor kNamedColors[] = {
    {"aliceblue", 0xf0f8ff}, {"antiquewhite", 0xfaebd7}, {"aqua", 0x00ffff},
    {"aquamarine", 0x7fffd4}, {"azure", 0xf0ffff}, {"beige", 0xf5f5dc},
    {"bisque", 0xffe4c4}, {"black", 0x000000}, {"blanchedalmond", 0xffebcd},
    {"blue", 0x0000ff}, {"blueviolet", 0x8a2be2}, {"brown", 0xa52a2a},
    {"burlywood", 0xdeb887}, {"cadetblue", 0x5f9ea0}, {"chartreuse", 0x7fff00},
    {"chocolate", 0xd2691e}, {"coral", 0xff7f50}, {"cornflowerblue", 0x6495ed},
    {"cornsilk", 0xfff8dc}, {"crimson", 0xdc143c}, {"cyan", 0x00ffff},
    {"darkblue", 0x00008b}, {"darkcyan", 0x008b8b}, {"darkgoldenrod", 0xb8860b},
    {"darkgray", 0xa9a9a9}, {"darkgreen", 0x006400}, {"darkgrey", 0xa9a9a9},
    {"darkkhaki", 0xbdb76b}, {"darkmagenta", 0x8b008b}, {"darkolivegreen", 0x556b2f},
    {"darkorange", 0xff8c00}, {"darkorchid", 0x9932cc}, {"darkred", 0x8b0000},
    {"darksalmon", 0xe9967a}, {"darkseagreen", 0x8fbc8f}, {"darkslateblue", 0x483d8b},
    {"darkslategray", 0x2f4f4f}, {"darkslategrey", 0x2f4f4f}, {"darkturquoise", 0x00ced1},
    {"darkviolet", 0x9400d3}, {"deeppink", 0xff1493}, {"deepskyblue", 0x00bfff},
    {"dimgray", 0x696969}, {"dimgrey", 0x696969}, {"dodgerblue", 0x1e90ff},
    {"firebrick", 0xb22222}, {"floralwhite", 0xfffaf0}, {"forestgreen", 0x228b22},
    {"fuchsia", 0xff00ff}, {"gainsboro", 0xdcdcdc}, {"ghostwhite", 0xf8f8ff},
    {"gold", 0xffd700}, {"goldenrod", 0xdaa520}, {"gray", 0x808080},
    {"grey", 0x808080}, {"green", 0x008000}, {"greenyellow", 0xadff2f},
    {"honeydew", 0xf0fff0}, {"hotpink", 0xff69b4}, {"indianred", 0xcd5c5c},
    {"indigo", 0x4b0082}, {"ivory", 0xfffff0}, {"khaki", 0xf0e68c},
    {"lavender", 0xe6e6fa}, {"lavenderblush", 0xfff0f5}, {"lawngreen", 0x7cfc00},
    {"lemonchiffon", 0xfffacd}, {"lightblue", 0xadd8e6}, {"lightcoral", 0xf08080},
    {"lightcyan", 0xe0ffff}, {"lightgoldenrodyellow", 0xfafad2}, {"lightgray", 0xd3d3d3},
    {"lightgreen", 0x90ee90}, {"lightgrey", 0xd3d3d3}, {"lightpink", 0xffb6c1},
    {"lightsalmon", 0xffa07a}, {"lightseagreen", 0x20b2aa}, {"lightskyblue", 0x87cefa},
    {"lightslategray", 0x778899}, {"lightslategrey", 0x778899}, {"lightsteelblue", 0xb0c4de},
    {"lightyellow", 0xffffe0}, {"lime", 0x00ff00}, {"limegreen", 0x32cd32},
    {"linen", 0xfaf0e6}, {"magenta", 0xff00ff}, {"maroon", 0x800000},
    {"mediumaquamarine", 0x66cdaa}, {"mediumblue", 0x0000cd}, {"mediumorchid", 0xba55d3},
    {"mediumpurple", 0x9370db}, {"mediumseagreen", 0x3cb371}, {"mediumslateblue", 0x7b68ee},
    {"mediumspringgreen", 0x00fa9a}, {"mediumturquoise", 0x48d1cc},
    {"mediumvioletred", 0xc71585}, {"midnightblue", 0x191970}, {"mintcream", 0xf5fffa},
    {"mistyrose", 0xffe4e1}, {"moccasin", 0xffe4b5}, {"navajowhite", 0xffdead},
    {"navy", 0x000080}, {"oldlace", 0xfdf5e6}, {"olive", 0x808000},
    {"olivedrab", 0x6b8e23}, {"orange", 0xffa500}, {"orangered", 0xff4500},
    {"orchid", 0xda70d6}, {"palegoldenrod", 0xeee8aa}, {"palegreen", 0x98fb98},
    {"paleturquoise", 0xafeeee}, {"palevioletred", 0xdb7093}, {"papayawhip", 0xffefd5},
    {"peachpuff", 0xffdab9}, {"peru", 0xcd853f}, {"pink", 0xffc0cb},
    {"plum", 0xdda0dd}, {"powderblue", 0xb0e0e6}, {"purple", 0x800080},
    {"rebeccapurple", 0x663399}, {"red", 0xff0000}, {"rosybrown", 0xbc8f8f},
    {"royalblue", 0x4169e1}, {"saddlebrown", 0x8b4513}, {"salmon", 0xfa8072},
    {"sandybrown", 0xf4a460}, {"seagreen", 0x2e8b57}, {"seashell", 0xfff5ee},
    {"sienna", 0xa0522d}, {"silver", 0xc0c0c0}, {"skyblue", 0x87ceeb},
    {"slateblue", 0x6a5acd}, {"slategray", 0x708090}, {"slategrey", 0x708090},
    {"snow", 0xfffafa}, {"springgreen", 0x00ff7f}, {"steelblue", 0x4682b4},
    {"tan", 0xd2b48c}, {"teal", 0x008080}, {"thistle", 0xd8bfd8},
    {"tomato", 0xff6347}, {"turquoise", 0x40e0d0}, {"violet", 0xee82ee},
    {"wheat", 0xf5deb3}, {"white", 0xffffff}, {"whitesmoke", 0xf5f5f5},
    {"yellow", 0xffff00}, {"yellowgreen", 0x9acd32},
};

Color FromRgb(unsigned rgb) {
  return {((rgb >> 16) & 0xff) / 255.0f, ((rgb >> 8) & 0xff) / 255.0f, (rgb & 0xff) / 255.0f,
          1.0f};
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

float Clamp01(double v) { return static_cast<float>(std::min(1.0, std::max(0.0, v))); }

// The numbers of a functional colour up to ")", separated by blanks, commas or "/", at most
// four; `percent` marks those written with "%", and a "deg" unit is skipped when allowed.
// Returns the count, or -1 when a number is malformed.
int ReadColorNumbers(const char* p, bool allowDegrees, double number[4], bool percent[4]) {
  int count = 0;
  while (count < 4) {
    while (*p == ' ' || *p == ',' || *p == '\t' || *p == '/') ++p;
    if (*p == ')') break;
    char* stop = nullptr;
    number[count] = std::strtod(p, &stop);
    if (stop == p) return -1;
    p = stop;
    if (allowDegrees && strncmp(p, "deg", 3) == 0) p += 3;
    percent[count] = *p == '%';
    if (percent[count]) ++p;
    ++count;
  }
  return count;
}

// "r, g, b[, a]" with numbers (0..255) or percentages; alpha as a number 0..1 or percentage.
bool ParseFunctionalRgb(const char* p, Color& out) {
  double v[4] = {0, 0, 0, 1};
  bool percent[4] = {};
  int count = ReadColorNumbers(p, false, v, percent);
  if (count < 3) return false;
  for (int i = 0; i < count; ++i) {
    v[i] = percent[i] ? v[i] / 100.0 : i < 3 ? v[i] / 255.0 : v[i];
  }
  out = {Clamp01(v[0]), Clamp01(v[1]), Clamp01(v[2]), Clamp01(v[3])};
  return true;
}

float HueToRgb(double m1, double m2, double h) {
  h -= std::floor(h);
  double v = h * 6 < 1 ? m1 + (m2 - m1) * h * 6
             : h * 2 < 1 ? m2
             : h * 3 < 2 ? m1 + (m2 - m1) * (2.0 / 3 - h) * 6
                         : m1;
  return Clamp01(v);
}

// "h, s%, l%[, a]" with the hue in degrees.
bool ParseFunctionalHsl(const char* p, Color& out) {
  double v[4] = {0, 0, 0, 1};
  bool percent[4] = {};
  int count = ReadColorNumbers(p, true, v, percent);
  if (count < 3) return false;
  for (int i = 0; i < count; ++i) {
    v[i] = i == 0 ? v[i] / 360.0 : percent[i] ? v[i] / 100.0 : v[i];
  }
  double s = std::min(1.0, std::max(0.0, v[1])), l = std::min(1.0, std::max(0.0, v[2]));
  double m2 = l <= 0.5 ? l * (s + 1) : l + s - l * s;
  double m1 = l * 2 - m2;
  out = {HueToRgb(m1, m2, v[0] + 1.0 / 3), HueToRgb(m1, m2, v[0]), HueToRgb(m1, m2, v[0] - 1.0 / 3),
         Clamp01(v[3])};
  return true;
}

}  // namespace

bool ParseColor(const std::string& text, Color& out) {
  size_t b = text.find_first_not_of(" \t\r\n");
  size_t e = text.find_last_not_of(" \t\r\n");
  if (b == std::string::npos) return false;
  std::string s = text.substr(b, e - b + 1);
  std::string lower = s;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (s[0] == '#') {
    unsigned v = 0;
    for (size_t i = 1; i < s.size(); ++i) {
      int d = HexDigit(s[i]);
      if (d < 0) return false;
      v = v * 16 + d;
    }
    switch (s.size()) {
      case 4:
      case 5: {
        // #rgb and #rgba: each digit doubled.
        bool alpha = s.size() == 5;
        unsigned rgb = alpha ? v >> 4 : v;
        unsigned r = (rgb >> 8) & 0xf, g = (rgb >> 4) & 0xf, bl = rgb & 0xf;
        out = FromRgb((r * 17) << 16 | (g * 17) << 8 | (bl * 17));
        if (alpha) out.a = (v & 0xf) * 17 / 255.0f;
        return true;
      }
      case 7:
        out = FromRgb(v);
        return true;
      case 9:
        out = FromRgb(v >> 8);
        out.a = (v & 0xff) / 255.0f;
        return true;
      default:
        return false;
    }
  }
  if (lower.compare(0, 5, "rgba(") == 0) return ParseFunctionalRgb(lower.c_str() + 5, out);
  if (lower.compare(0, 4, "rgb(") == 0) return ParseFunctionalRgb(lower.c_str() + 4, out);
  if (lower.compare(0, 5, "hsla(") == 0) return ParseFunctionalHsl(lower.c_str() + 5, out);
  if (lower.compare(0, 4, "hsl(") == 0) return ParseFunctionalHsl(lower.c_str() + 4, out);
  for (const NamedColor& n : kNamedColors) {
    if (lower == n.name) {
      out = FromRgb(n.rgb);
      return true;
    }
  }
  return false;
}

}  // namespace svg
