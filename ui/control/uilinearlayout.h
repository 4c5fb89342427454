// The layout of a row or a column: children with a fixed size along the line keep it, the
// others share what is left, and each child is aligned across the line.
#pragma once
#include <windows.h>

class CContainerUI;

enum class CrossAlign { kNear, kCenter, kFar };

struct LineLayout {
  bool horizontal;
  int childPadding;
  CrossAlign crossAlign;
  // The remainder of the shared size goes one pixel at a time to the first sharing children
  // instead of all to the last one.
  bool expandBalance;
};

// Places the visible children of the container in the working rectangle along the line;
// float children follow the float rule.
void LayOutLine(CContainerUI& container, const RECT& work, const LineLayout& line);
