// Colour values of SVG documents.
#pragma once
#include <string>

namespace svg {

struct Color {
  float r = 0, g = 0, b = 0, a = 1;  // straight components, 0..1
};

// Parses "#rgb", "#rgba", "#rrggbb", "#rrggbbaa", "rgb(r, g, b)" with numbers or percentages,
// "rgba(...)", "hsl(h, s%, l%)", "hsla(...)" and the named colours, case-insensitively. Returns false for anything else ("none", "currentColor"
// and paint references are the caller's).
bool ParseColor(const std::string& text, Color& out);

}  // namespace svg
