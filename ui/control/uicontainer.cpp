#include "uicontainer.h"

#include <algorithm>

#include "uidraw.h"
#include "uimanager.h"
#include "uivalues.h"

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
  // Children go first, while this container still answers their manager's questions.
  std::vector<CControlUI*> items;
  items.swap(items_);
  for (CControlUI* item : items) delete item;
}

void* CContainerUI::GetInterface(const std::wstring& name) {
  if (name == L"Container") return static_cast<CContainerUI*>(this);
  if (name == L"IContainer") return static_cast<IContainerUI*>(this);
  return CControlUI::GetInterface(name);
}

CControlUI* CContainerUI::GetItemAt(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return items_[index];
}

int CContainerUI::GetItemIndex(CControlUI* control) const {
  auto found = std::find(items_.begin(), items_.end(), control);
  return found != items_.end() ? static_cast<int>(found - items_.begin()) : -1;
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index) {
  int current = GetItemIndex(control);
  if (current < 0 || index < 0 || index >= GetCount()) return false;
  items_.erase(items_.begin() + current);
  items_.insert(items_.begin() + index, control);
  NeedUpdate();
  return true;
}

bool CContainerUI::Add(CControlUI* control) {
  return AddAt(control, GetCount());
}

bool CContainerUI::AddAt(CControlUI* control, int index) {
  if (control == nullptr || index < 0 || index > GetCount()) return false;
  if (manager_ != nullptr) manager_->InitControls(control, this);
  if (IsVisible()) {
    NeedUpdate();
  } else {
    control->SetInternVisible(false);
  }
  items_.insert(items_.begin() + index, control);
  return true;
}

bool CContainerUI::Remove(CControlUI* control, bool doNotDestroy) {
  int index = GetItemIndex(control);
  if (index < 0) return false;
  return RemoveAt(index, doNotDestroy);
}

bool CContainerUI::RemoveAt(int index, bool doNotDestroy) {
  CControlUI* control = GetItemAt(index);
  if (control == nullptr) return false;
  items_.erase(items_.begin() + index);
  NeedUpdate();
  if (manager_ != nullptr) {
    if (!doNotDestroy && delayedDestroy_) {
      manager_->AddDelayedCleanup(control);
      return true;
    }
    manager_->ReapObjects(control);
  }
  if (!doNotDestroy) delete control;
  return true;
}

void CContainerUI::RemoveAll() {
  while (!items_.empty()) RemoveAt(GetCount() - 1);
  NeedUpdate();
}

RECT CContainerUI::GetInset() const { return dpiInset_ ? Scale(inset_) : inset_; }

void CContainerUI::SetInset(const RECT& inset) {
  inset_ = inset;
  NeedUpdate();
}

void CContainerUI::SetDPIInset(bool scale) {
  dpiInset_ = scale;
  NeedUpdate();
}

void CContainerUI::SetDPIChildPadding(bool scale) {
  dpiChildPadding_ = scale;
  NeedUpdate();
}

int CContainerUI::GetChildPadding() const {
  return dpiChildPadding_ ? Scale(childPadding_) : childPadding_;
}

int CContainerUI::GetChildVPadding() const {
  return dpiChildPadding_ ? Scale(childVPadding_) : childVPadding_;
}

void CContainerUI::SetChildPadding(int padding) {
  childPadding_ = padding;
  NeedUpdate();
}

void CContainerUI::SetChildVPadding(int padding) {
  childVPadding_ = padding;
  NeedUpdate();
}

void CContainerUI::SetChildAlign(UINT align) {
  childAlign_ = align;
  NeedUpdate();
}

void CContainerUI::SetChildVAlign(UINT align) {
  childVAlign_ = align;
  NeedUpdate();
}

void CContainerUI::SetVisible(bool visible) {
  if (visible_ == visible) return;
  CControlUI::SetVisible(visible);
  for (CControlUI* item : items_) item->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool visible) {
  CControlUI::SetInternVisible(visible);
  for (CControlUI* item : items_) item->SetInternVisible(IsVisible());
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  for (CControlUI* item : items_) item->SetManager(manager, this, init);
  CControlUI::SetManager(manager, parent, init);
}

void CContainerUI::Move(SIZE offset, bool invalidate) {
  CControlUI::Move(offset, false);
  for (CControlUI* item : items_) {
    if (item->IsVisible()) item->Move(offset, false);
  }
  if (invalidate) Invalidate();
}

RECT CContainerUI::InsetRect() const {
  RECT inset = GetInset();
  RECT rect = item_;
  rect.left += inset.left;
  rect.top += inset.top;
  rect.right -= inset.right;
  rect.bottom -= inset.bottom;
  return rect;
}

void CContainerUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  if (items_.empty()) return;
  RECT inner = InsetRect();
  PlaceChildren([&](int, CControlUI* item) {
    SIZE size = item->ClampToLimits(SIZE{inner.right - inner.left, inner.bottom - inner.top});
    item->SetPos(RECT{inner.left, inner.top, inner.left + size.cx, inner.top + size.cy}, false);
  });
}

void CContainerUI::SetFloatPos(int index) {
  CControlUI* item = GetItemAt(index);
  if (item == nullptr || !item->IsVisible() || !item->IsFloat()) return;
  const LONG width = item_.right - item_.left;
  const LONG height = item_.bottom - item_.top;
  SIZE xy = item->GetFixedXY();
  const LONG itemWidth = item->GetFixedWidth();
  const LONG itemHeight = item->GetFixedHeight();
  RECT pos;
  UINT align = item->GetFloatAlign();
  if (align != 0) {
    LONG x = (align & kFloatAlignHorizontal) == kFloatAlignCenter ? (width - itemWidth) / 2
             : (align & kFloatAlignHorizontal) == kFloatAlignRight ? width - itemWidth
                                                                    : xy.cx;
    LONG y = (align & kFloatAlignVertical) == kFloatAlignVCenter ? (height - itemHeight) / 2
             : (align & kFloatAlignVertical) == kFloatAlignBottom ? height - itemHeight
                                                                   : xy.cy;
    pos = RECT{item_.left + x, item_.top + y, item_.left + x + itemWidth,
               item_.top + y + itemHeight};
  } else {
    const FloatPercent& percent = item->GetFloatPercent();
    pos.left = item_.left + static_cast<LONG>(width * percent.left) + xy.cx;
    pos.top = item_.top + static_cast<LONG>(height * percent.top) + xy.cy;
    pos.right = item_.left + static_cast<LONG>(width * percent.right) + itemWidth + xy.cx;
    pos.bottom = item_.top + static_cast<LONG>(height * percent.bottom) + itemHeight + xy.cy;
  }
  item->SetPos(pos, false);
}

void CContainerUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
  const wchar_t* v = value.c_str();
  if (name == L"inset") {
    SetInset(ParseMarkupRect(v));
  } else if (name == L"childpadding") {
    size_t comma = value.find(L',');
    if (comma == std::wstring::npos) {
      SetChildPadding(ParseMarkupInt(v));
      SetChildVPadding(ParseMarkupInt(v));
    } else {
      SetChildPadding(ParseMarkupInt(v));
      SetChildVPadding(ParseMarkupInt(v + comma + 1));
    }
  } else if (name == L"childalign") {
    if (value == L"left") SetChildAlign(kChildAlignLeft);
    else if (value == L"center") SetChildAlign(kChildAlignCenter);
    else if (value == L"right") SetChildAlign(kChildAlignRight);
  } else if (name == L"childvalign") {
    if (value == L"top") SetChildVAlign(kChildVAlignTop);
    else if (value == L"vcenter") SetChildVAlign(kChildVAlignCenter);
    else if (value == L"bottom") SetChildVAlign(kChildVAlignBottom);
  } else if (name == L"scrollstepsize") {
    scrollStepSize_ = ParseMarkupInt(v);
  } else if (name == L"DPIInset") {
    SetDPIInset(ParseMarkupBool(v));
  } else if (name == L"DpiChildPadding") {
    SetDPIChildPadding(ParseMarkupBool(v));
  } else if (name == L"mousechild") {
    SetMouseChildEnabled(ParseMarkupBool(v));
  } else if (name == L"vscrollbar") {
    vScrollBar_ = ParseMarkupBool(v);
  } else if (name == L"hscrollbar") {
    hScrollBar_ = ParseMarkupBool(v);
  } else if (name == L"vscrollbarstyle" || name == L"hscrollbarstyle" ||
             name == L"selrangeimage" || name == L"scrollbardynamicshow") {
    // Scroll bar settings; see scrollStepSize_.
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

CControlUI* CContainerUI::FindControl(FindControlProc proc, void* data, UINT flags) {
  if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
  if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
  const bool hitTest = (flags & UIFIND_HITTEST) != 0;
  if (hitTest) {
    if (!PtInRect(&item_, *static_cast<POINT*>(data))) return nullptr;
    if (!mouseChildEnabled_) return CControlUI::FindControl(proc, data, flags);
  }
  if ((flags & UIFIND_ME_FIRST) != 0) {
    CControlUI* found = CControlUI::FindControl(proc, data, flags);
    if (found != nullptr) return found;
  }
  RECT inner = InsetRect();
  auto visit = [&](CControlUI* item) -> CControlUI* {
    CControlUI* found = item->FindControl(proc, data, flags);
    if (found == nullptr) return nullptr;
    if (hitTest && !item->IsFloat() && !PtInRect(&inner, *static_cast<POINT*>(data))) {
      return nullptr;
    }
    return found;
  };
  // With the update test every child is visited: the callback collects, it never stops.
  const bool visitAll = (flags & UIFIND_UPDATETEST) != 0;
  if ((flags & UIFIND_TOP_FIRST) != 0) {
    for (int i = GetCount() - 1; i >= 0; --i) {
      CControlUI* found = visit(items_[i]);
      if (found != nullptr && !visitAll) return found;
    }
  } else {
    for (CControlUI* item : std::vector<CControlUI*>(items_)) {
      CControlUI* found = visit(item);
      if (found != nullptr && !visitAll) return found;
    }
  }
  if ((flags & UIFIND_ME_FIRST) == 0) return CControlUI::FindControl(proc, data, flags);
  return nullptr;
}

bool CContainerUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stop) {
  RECT area;
  if (!IntersectRect(&area, &paint, &item_)) return true;
  CRenderClip clip(dc, area);
  CControlUI::DoPaint(dc, paint, stop);
  return PaintItems(dc, paint, stop);
}

bool CContainerUI::PaintItems(HDC dc, const RECT& paint, CControlUI* stop) {
  if (items_.empty()) return true;
  RECT inner = InsetRect();
  for (CControlUI* item : items_) {
    if (!item->IsVisible()) continue;
    RECT part;
    if (!IntersectRect(&part, &paint, &item->GetPos())) continue;
    if (!IntersectRect(&part, &part, item->IsFloat() ? &item_ : &inner)) continue;
    CRenderClip childClip(dc, part);
    if (!item->Paint(dc, paint, stop)) return false;
  }
  return true;
}

namespace {

CControlUI* MatchName(CControlUI* control, void* data) {
  return control->GetName() == *static_cast<const std::wstring*>(data) ? control : nullptr;
}

}  // namespace

CControlUI* CContainerUI::FindSubControl(const std::wstring& name) {
  std::wstring wanted = name;
  for (CControlUI* item : items_) {
    CControlUI* found = item->FindControl(MatchName, &wanted, UIFIND_ALL);
    if (found != nullptr) return found;
  }
  return nullptr;
}
