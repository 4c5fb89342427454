#include "uiverticallayout.h"

#include <algorithm>

#include "uivalues.h"

namespace {

int Clamp(int value, int low, int high) { return std::min(std::max(value, low), high); }

}  // namespace

void* CVerticalLayoutUI::GetInterface(const std::wstring& name) {
  if (name == L"VerticalLayout") return static_cast<CVerticalLayoutUI*>(this);
  return CContainerUI::GetInterface(name);
}

void CVerticalLayoutUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
  const wchar_t* v = value.c_str();
  if (name == L"sepheight") {
    SetSepHeight(ParseMarkupInt(v));
  } else if (name == L"sepimm") {
    // Separators are not dragged in this toolkit; only their strip counts as interactive.
  } else if (name == L"autocalcheight") {
    SetAutoCalcHeight(ParseMarkupBool(v));
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

SIZE CVerticalLayoutUI::EstimateSize(SIZE available) {
  SIZE size = CContainerUI::EstimateSize(available);
  if (autoCalcHeight_) {
    size.cy = 0;
    for (CControlUI* item : items_) {
      if (item->IsVisible() && !item->IsFloat()) size.cy += item->GetFixedHeight();
    }
  }
  return size;
}

int CVerticalLayoutUI::GetSepHeight() const { return Scale(sepHeight_); }

RECT CVerticalLayoutUI::SeparatorRect() const {
  int height = GetSepHeight();
  if (height >= 0) return RECT{item_.left, item_.bottom - height, item_.right, item_.bottom};
  return RECT{item_.left, item_.top, item_.right, item_.top - height};
}

bool CVerticalLayoutUI::IsInteractivePoint(POINT point) const {
  if (!IsEnabled() || sepHeight_ == 0) return false;
  RECT separator = SeparatorRect();
  return PtInRect(&separator, point) != FALSE;
}

void CVerticalLayoutUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  RECT work = InsetRect();
  if (items_.empty()) return;
  const SIZE available = {work.right - work.left, work.bottom - work.top};
  const int childPadding = GetChildVPadding();

  // The limits a child is measured in: its fixed size or else its maximum, within the room.
  auto limits = [&](CControlUI* item, const RECT& padding, int roomHeight) {
    SIZE limit = {item->GetFixedWidth() != 0 ? item->GetFixedWidth() : item->GetMaxWidth(),
                  item->GetFixedHeight() != 0 ? item->GetFixedHeight() : item->GetMaxHeight()};
    limit.cx = std::min<LONG>(limit.cx, available.cx - padding.left - padding.right);
    limit.cy = std::min<LONG>(limit.cy, roomHeight);
    return limit;
  };

  // First pass: fixed heights and the number of children that share the rest.
  int adjustables = 0;
  int fixedTotal = 0;
  int placed = 0;
  for (CControlUI* item : items_) {
    if (!item->IsVisible() || item->IsFloat()) continue;
    RECT padding = item->GetPadding();
    SIZE size = item->EstimateSize(limits(item, padding, available.cy));
    if (size.cy == 0) {
      ++adjustables;
    } else {
      size.cy = Clamp(size.cy, item->GetMinHeight(), item->GetMaxHeight());
    }
    fixedTotal += size.cy + padding.top + padding.bottom;
    ++placed;
  }
  fixedTotal += (placed - 1) * childPadding;

  int expand = 0;
  if (adjustables > 0) expand = std::max<int>(0, (available.cy - fixedTotal) / adjustables);

  // Second pass: place from the top.
  int y = work.top;
  int remainingHeight = available.cy;
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
    remainingHeight -= padding.top;
    remainingFixed -= padding.top + padding.bottom;
    if (!first) remainingFixed -= childPadding;
    first = false;
    SIZE limit = limits(item, padding, remainingHeight);
    SIZE size = item->EstimateSize(limit);
    if (size.cy != 0) {
      size.cy = Clamp(size.cy, item->GetMinHeight(), item->GetMaxHeight());
      remainingFixed -= size.cy;
    } else {
      ++adjustablesSeen;
      size.cy = expand;
      if (adjustablesSeen == adjustables) {
        size.cy = std::max<LONG>(0, remainingHeight - remainingFixed - padding.bottom);
      }
      size.cy = Clamp(size.cy, item->GetMinHeight(), item->GetMaxHeight());
    }

    if (size.cx <= 0) size.cx = available.cx - padding.left - padding.right;
    size.cx = std::min(size.cx, limit.cx);
    size.cx = Clamp(size.cx, item->GetMinWidth(), item->GetMaxWidth());

    int left;
    if (childAlign_ == kChildAlignCenter) {
      left = work.left + (work.right - work.left) / 2 - size.cx / 2;
    } else if (childAlign_ == kChildAlignRight) {
      left = work.right - padding.right - size.cx;
    } else {
      left = work.left + padding.left;
    }
    int top = y + padding.top;
    item->SetPos(RECT{left, top, left + size.cx, top + size.cy}, false);
    y += size.cy + padding.top + padding.bottom + childPadding;
    remainingHeight -= size.cy + padding.bottom + childPadding;
  }
}
