#include "uiverticallayout.h"

#include "uilinearlayout.h"
#include "uivalues.h"

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
  if (items_.empty()) return;
  CrossAlign align = childAlign_ == kChildAlignCenter  ? CrossAlign::kCenter
                     : childAlign_ == kChildAlignRight ? CrossAlign::kFar
                                                       : CrossAlign::kNear;
  LayOutLine(*this, InsetRect(), LineLayout{false, GetChildVPadding(), align, false});
}
