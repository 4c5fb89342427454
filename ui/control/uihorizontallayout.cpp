#include "uihorizontallayout.h"

#include "uilinearlayout.h"
#include "uivalues.h"

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
  if (items_.empty()) return;
  CrossAlign align = childVAlign_ == kChildVAlignCenter   ? CrossAlign::kCenter
                     : childVAlign_ == kChildVAlignBottom ? CrossAlign::kFar
                                                          : CrossAlign::kNear;
  LayOutLine(*this, InsetRect(), LineLayout{true, GetChildPadding(), align, expandBalance_});
}
