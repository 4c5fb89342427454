// Colour values of SVG documents.
#pragma once
#include <string>

namespace svg {

struct Color {
  float r = 0, g = 0, b = 0, a = 1;  // straight components, 0..1
};

// Parses "#rgb", "#rrggbb", "rgb(r, g, b)" with numbers or percentages, "rgba(...)" and the
// named colours, case-insensitively. Returns false for anything else ("none", "currentColor"
// and paint references are the caller's).
bool ParseColor(const std::string& text, Color& out);

}  // namespace svg
