#include "uilinearlayout.h"

#include <algorithm>

#include "uicontainer.h"

namespace {

int Clamp(int value, int low, int high) { return std::min(std::max(value, low), high); }

// Reads sizes and rectangles along the line ("major") and across it ("minor").
struct Axis {
  bool horizontal;

  LONG Major(SIZE s) const { return horizontal ? s.cx : s.cy; }
  LONG Minor(SIZE s) const { return horizontal ? s.cy : s.cx; }
  SIZE Size(LONG major, LONG minor) const {
    return horizontal ? SIZE{major, minor} : SIZE{minor, major};
  }
  LONG Start(const RECT& r) const { return horizontal ? r.left : r.top; }
  LONG End(const RECT& r) const { return horizontal ? r.right : r.bottom; }
  LONG CrossStart(const RECT& r) const { return horizontal ? r.top : r.left; }
  LONG CrossEnd(const RECT& r) const { return horizontal ? r.bottom : r.right; }
  RECT Rect(LONG start, LONG crossStart, SIZE size) const {
    return horizontal ? RECT{start, crossStart, start + size.cx, crossStart + size.cy}
                      : RECT{crossStart, start, crossStart + size.cx, start + size.cy};
  }
  int FixedMajor(const CControlUI* c) const {
    return horizontal ? c->GetFixedWidth() : c->GetFixedHeight();
  }
  int FixedMinor(const CControlUI* c) const {
    return horizontal ? c->GetFixedHeight() : c->GetFixedWidth();
  }
  int MinMajor(const CControlUI* c) const { return horizontal ? c->GetMinWidth() : c->GetMinHeight(); }
  int MaxMajor(const CControlUI* c) const { return horizontal ? c->GetMaxWidth() : c->GetMaxHeight(); }
  int MinMinor(const CControlUI* c) const { return horizontal ? c->GetMinHeight() : c->GetMinWidth(); }
  int MaxMinor(const CControlUI* c) const { return horizontal ? c->GetMaxHeight() : c->GetMaxWidth(); }
};

}  // namespace

void LayOutLine(CContainerUI& container, const RECT& work, const LineLayout& line) {
  const Axis axis{line.horizontal};
  const SIZE available = {work.right - work.left, work.bottom - work.top};
  const LONG availableMajor = axis.Major(available);
  const LONG availableMinor = axis.Minor(available);

  // The limits a child is measured in: its fixed size or else its maximum, within the room.
  auto limits = [&](CControlUI* item, const RECT& padding, LONG roomMajor) {
    LONG major = axis.FixedMajor(item) != 0 ? axis.FixedMajor(item) : axis.MaxMajor(item);
    LONG minor = axis.FixedMinor(item) != 0 ? axis.FixedMinor(item) : axis.MaxMinor(item);
    major = std::min(major, roomMajor);
    minor = std::min<LONG>(minor,
                           availableMinor - axis.CrossStart(padding) - axis.CrossEnd(padding));
    return axis.Size(major, minor);
  };

  // First pass: fixed sizes and the number of children that share the rest.
  int adjustables = 0;
  int fixedTotal = 0;
  int placed = 0;
  for (int i = 0; i < container.GetCount(); ++i) {
    CControlUI* item = container.GetItemAt(i);
    if (!item->IsVisible() || item->IsFloat()) continue;
    RECT padding = item->GetPadding();
    SIZE size = item->EstimateSize(limits(item, padding, availableMajor));
    int major = axis.Major(size);
    if (major == 0) {
      ++adjustables;
    } else {
      major = Clamp(major, axis.MinMajor(item), axis.MaxMajor(item));
    }
    fixedTotal += major + axis.Start(padding) + axis.End(padding);
    ++placed;
  }
  fixedTotal += (placed - 1) * line.childPadding;

  int expand = 0;
  int remainder = 0;
  if (adjustables > 0) {
    expand = std::max<int>(0, (availableMajor - fixedTotal) / adjustables);
    remainder = std::max<int>(0, (availableMajor - fixedTotal) % adjustables);
  }

  // Second pass: place from the start of the line.
  int position = axis.Start(work);
  int remaining = availableMajor;
  int remainingFixed = fixedTotal;
  int adjustablesSeen = 0;
  bool first = true;
  container.PlaceChildren([&](int, CControlUI* item) {
    RECT padding = item->GetPadding();
    remaining -= axis.Start(padding);
    remainingFixed -= axis.Start(padding) + axis.End(padding);
    if (!first) remainingFixed -= line.childPadding;
    first = false;
    SIZE limit = limits(item, padding, remaining);
    SIZE estimate = item->EstimateSize(limit);
    int major = axis.Major(estimate);
    if (major != 0) {
      major = Clamp(major, axis.MinMajor(item), axis.MaxMajor(item));
      remainingFixed -= major;
    } else {
      ++adjustablesSeen;
      major = expand;
      if (line.expandBalance && remainder > 0) {
        ++major;
        --remainder;
      }
      if (adjustablesSeen == adjustables) {
        major = std::max<int>(0, remaining - remainingFixed - axis.End(padding));
      }
      major = Clamp(major, axis.MinMajor(item), axis.MaxMajor(item));
    }

    int minor = axis.Minor(estimate);
    if (minor <= 0) minor = availableMinor - axis.CrossStart(padding) - axis.CrossEnd(padding);
    minor = std::min<int>(minor, axis.Minor(limit));
    minor = Clamp(minor, axis.MinMinor(item), axis.MaxMinor(item));

    int cross;
    if (line.crossAlign == CrossAlign::kCenter) {
      cross = axis.CrossStart(work) + (axis.CrossEnd(work) - axis.CrossStart(work)) / 2 - minor / 2;
    } else if (line.crossAlign == CrossAlign::kFar) {
      cross = axis.CrossEnd(work) - axis.CrossEnd(padding) - minor;
    } else {
      cross = axis.CrossStart(work) + axis.CrossStart(padding);
    }
    item->SetPos(axis.Rect(position + axis.Start(padding), cross, axis.Size(major, minor)), false);
    position += major + axis.Start(padding) + axis.End(padding) + line.childPadding;
    remaining -= major + axis.End(padding) + line.childPadding;
  });
}
