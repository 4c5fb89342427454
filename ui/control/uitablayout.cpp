#include "uitablayout.h"

#include <algorithm>

#include "uimanager.h"
#include "uivalues.h"

void* CTabLayoutUI::GetInterface(const std::wstring& name) {
  if (name == L"TabLayout") return static_cast<CTabLayoutUI*>(this);
  return CContainerUI::GetInterface(name);
}

// Add goes through here too: the first visible child becomes the selection, every other one
// is hidden.
bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
  if (!CContainerUI::AddAt(control, index)) return false;
  if (curSel_ == -1 && control->IsVisible()) {
    curSel_ = GetItemIndex(control);
  } else {
    if (curSel_ != -1 && index <= curSel_) ++curSel_;
    control->SetVisible(false);
  }
  return true;
}

bool CTabLayoutUI::RemoveAt(int index, bool doNotDestroy) {
  if (!CContainerUI::RemoveAt(index, doNotDestroy)) return false;
  if (curSel_ == index) {
    // The page that was shown is gone: show the first one left.
    curSel_ = -1;
    if (GetCount() > 0) SelectItem(0, false);
    else NeedParentUpdate();
  } else if (curSel_ > index) {
    --curSel_;
  }
  return true;
}

void CTabLayoutUI::RemoveAll() {
  curSel_ = -1;
  prevSel_ = -1;
  CContainerUI::RemoveAll();
  NeedParentUpdate();
}

bool CTabLayoutUI::SelectItem(int index, bool takeFocus) {
  if (index < 0 || index >= GetCount()) return false;
  if (index == curSel_) return true;
  prevSel_ = curSel_;
  curSel_ = index;
  for (int i = 0; i < GetCount(); ++i) {
    if (i == index) {
      items_[i]->SetVisible(true);
      if (takeFocus) items_[i]->SetFocus();
    } else {
      items_[i]->SetVisible(false);
    }
  }
  if (manager_ != nullptr) SetPos(item_, true);
  NeedParentUpdate();
  if (manager_ != nullptr) {
    if (takeFocus) manager_->SetNextTabControl();
    Notify(kNotifyTabSelect, curSel_, prevSel_);
  }
  return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* control, bool takeFocus) {
  int index = GetItemIndex(control);
  return index >= 0 && SelectItem(index, takeFocus);
}

void CTabLayoutUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  RECT work = InsetRect();
  PlaceChildren([&](int i, CControlUI* item) {
    if (i != curSel_) return;
    RECT padding = item->GetPadding();
    RECT place = {work.left + padding.left, work.top + padding.top, work.right - padding.right,
                  work.bottom - padding.bottom};
    SIZE available = {place.right - place.left, place.bottom - place.top};
    SIZE size = item->EstimateSize(available);
    if (size.cx == 0) size.cx = available.cx;
    if (size.cy == 0) size.cy = available.cy;
    size = item->ClampToLimits(size);
    item->SetPos(RECT{place.left, place.top, place.left + size.cx, place.top + size.cy}, false);
  });
}

void CTabLayoutUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"selectedid") {
    SelectItem(ParseMarkupInt(value.c_str()), true);
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}
