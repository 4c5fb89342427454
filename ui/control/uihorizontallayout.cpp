#include "uihorizontallayout.h"

#include <algorithm>

#include "uivalues.h"

namespace {

int Clamp(int value, int low, int high) { return std::min(std::max(value, low), high); }

}  // namespace

void* CHorizontalLayoutUI::GetInterface(const std::wstring& name) {
  if (name == L"HorizontalLayout") return static_cast<CHorizontalLayoutUI*>(this);
  return CContainerUI::GetInterface(name);
}

void CHorizontalLayoutUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
  const wchar_t* v = value.c_str();
  if (name == L"sepwidth") {
    SetSepWidth(ParseMarkupInt(v));
  } else if (name == L"sepimm") {
    // Separators are not dragged in this toolkit; only their strip counts as interactive.
  } else if (name == L"autocalcwidth") {
    SetAutoCalcWidth(ParseMarkupBool(v));
  } else if (name == L"ExpandBalance") {
    SetExpandBalance(ParseMarkupBool(v));
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

SIZE CHorizontalLayoutUI::EstimateSize(SIZE available) {
  SIZE size = CContainerUI::EstimateSize(available);
  if (autoCalcWidth_) {
    size.cx = 0;
    for (CControlUI* item : items_) {
      if (item->IsVisible() && !item->IsFloat()) size.cx += item->GetFixedWidth();
    }
  }
  return size;
}

int CHorizontalLayoutUI::GetSepWidth() const { return Scale(sepWidth_); }

RECT CHorizontalLayoutUI::SeparatorRect() const {
  int width = GetSepWidth();
  if (width >= 0) return RECT{item_.right - width, item_.top, item_.right, item_.bottom};
  return RECT{item_.left, item_.top, item_.left - width, item_.bottom};
}

bool CHorizontalLayoutUI::IsInteractivePoint(POINT point) const {
  if (!IsEnabled() || sepWidth_ == 0) return false;
  RECT separator = SeparatorRect();
  return PtInRect(&separator, point) != FALSE;
}

void CHorizontalLayoutUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  RECT work = InsetRect();
  if (items_.empty()) return;
  const SIZE available = {work.right - work.left, work.bottom - work.top};
  const int childPadding = GetChildPadding();

  // The limits a child is measured in: its fixed size or else its maximum, within the room.
  auto limits = [&](CControlUI* item, const RECT& padding, int roomWidth) {
    SIZE limit = {item->GetFixedWidth() != 0 ? item->GetFixedWidth() : item->GetMaxWidth(),
                  item->GetFixedHeight() != 0 ? item->GetFixedHeight() : item->GetMaxHeight()};
    limit.cx = std::min<LONG>(limit.cx, roomWidth);
    limit.cy = std::min<LONG>(limit.cy, available.cy - padding.top - padding.bottom);
    return limit;
  };

  // First pass: fixed widths and the number of children that share the rest.
  int adjustables = 0;
  int fixedTotal = 0;
  int placed = 0;
  for (CControlUI* item : items_) {
    if (!item->IsVisible() || item->IsFloat()) continue;
    RECT padding = item->GetPadding();
    SIZE size = item->EstimateSize(limits(item, padding, available.cx));
    if (size.cx == 0) {
      ++adjustables;
    } else {
      size.cx = Clamp(size.cx, item->GetMinWidth(), item->GetMaxWidth());
    }
    fixedTotal += size.cx + padding.left + padding.right;
    ++placed;
  }
  fixedTotal += (placed - 1) * childPadding;

  int expand = 0;
  int remainder = 0;
  if (adjustables > 0) {
    expand = std::max<int>(0, (available.cx - fixedTotal) / adjustables);
    remainder = std::max<int>(0, (available.cx - fixedTotal) % adjustables);
  }

  // Second pass: place from the left.
  int x = work.left;
  int remainingWidth = available.cx;
  int remainingFixed = fixedTotal;
  int adjustablesSeen = 0;
  bool first = true;
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* item = items_[i];
    if (!item->IsVisible()) continue;
    if (item->IsFloat()) {
      SetFloatPos(i);
      continue;
    }
    RECT padding = item->GetPadding();
    remainingWidth -= padding.left;
    remainingFixed -= padding.left + padding.right;
    if (!first) remainingFixed -= childPadding;
    first = false;
    SIZE limit = limits(item, padding, remainingWidth);
    SIZE size = item->EstimateSize(limit);
    if (size.cx != 0) {
      size.cx = Clamp(size.cx, item->GetMinWidth(), item->GetMaxWidth());
      remainingFixed -= size.cx;
    } else {
      ++adjustablesSeen;
      size.cx = expand;
      if (expandBalance_ && remainder > 0) {
        ++size.cx;
        --remainder;
      }
      if (adjustablesSeen == adjustables) {
        size.cx = std::max<LONG>(0, remainingWidth - remainingFixed - padding.right);
      }
      size.cx = Clamp(size.cx, item->GetMinWidth(), item->GetMaxWidth());
    }

    if (size.cy <= 0) size.cy = available.cy - padding.top - padding.bottom;
    size.cy = std::min(size.cy, limit.cy);
    size.cy = Clamp(size.cy, item->GetMinHeight(), item->GetMaxHeight());

    int top;
    if (childVAlign_ == kChildVAlignCenter) {
      top = work.top + (work.bottom - work.top) / 2 - size.cy / 2;
    } else if (childVAlign_ == kChildVAlignBottom) {
      top = work.bottom - padding.bottom - size.cy;
    } else {
      top = work.top + padding.top;
    }
    int left = x + padding.left;
    item->SetPos(RECT{left, top, left + size.cx, top + size.cy}, false);
    x += size.cx + padding.left + padding.right + childPadding;
    remainingWidth -= size.cx + padding.right + childPadding;
  }
}
