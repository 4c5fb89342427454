#include "uicontrol.h"

#include <algorithm>
#include <cwchar>

#include "stringconv.h"
#include "uidraw.h"
#include "uidrawinfo.h"
#include "uimanager.h"
#include "uirender.h"
#include "uivalues.h"

bool CEventSource::operator()(void* param) const {
  // A callback may add callbacks; iterate over the list as it was.
  std::vector<Callback> callbacks = callbacks_;
  for (const Callback& callback : callbacks) {
    if (!callback(param)) return false;
  }
  return true;
}

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
  OnDestroy(this);
  if (manager_ != nullptr) manager_->ReapObjects(this);
}

void* CControlUI::GetInterface(const std::wstring& name) {
  return name == L"Control" ? this : nullptr;
}

bool CControlUI::Activate(bool) { return IsVisible() && IsEnabled(); }

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  manager_ = manager;
  parent_ = parent;
  if (init && parent_ != nullptr) Init();
}

std::wstring CControlUI::GetText() const { return text_; }

void CControlUI::SetText(const std::wstring& text) {
  if (text_ == text) return;
  text_ = text;
  // "{\n}" in markup texts stands for a line break.
  ReplaceAll(text_, L"{\\n}", L"\r\n");
  Invalidate();
}

void CControlUI::Move(SIZE offset, bool invalidate) {
  item_.left += offset.cx;
  item_.right += offset.cx;
  item_.top += offset.cy;
  item_.bottom += offset.cy;
  if (invalidate) Invalidate();
}

void CControlUI::SetPos(RECT rect, bool invalidate) {
  if (rect.right < rect.left) rect.right = rect.left;
  if (rect.bottom < rect.top) rect.bottom = rect.top;
  RECT old = item_;
  if (IsRectEmpty(&old)) old = rect;
  item_ = rect;
  if (manager_ == nullptr) return;

  // Centring in the parent's whole rectangle, after the parent's layout gave the size.
  if (!float_ && parent_ != nullptr) {
    const RECT& outer = parent_->GetPos();
    if (horzPaddingCenter_) {
      int width = item_.right - item_.left;
      item_.left = outer.left + (outer.right - outer.left) / 2 - width / 2;
      item_.right = item_.left + width;
    }
    if (vertPaddingCenter_) {
      int height = item_.bottom - item_.top;
      item_.top = outer.top + (outer.bottom - outer.top) / 2 - height / 2;
      item_.bottom = item_.top + height;
    }
  }

  if (!inOnSize_) {
    inOnSize_ = true;
    OnSize(this);
    inOnSize_ = false;
  }
  updateNeeded_ = false;

  if (invalidate && IsVisible()) {
    RECT area;
    UnionRect(&area, &old, &item_);
    if (ClipToAncestors(area)) manager_->Invalidate(area);
  }
}

int CControlUI::Scale(int value) const {
  return manager_ != nullptr ? manager_->GetDPIObj()->Scale(value) : value;
}

RECT CControlUI::Scale(const RECT& rect) const {
  if (manager_ == nullptr) return rect;
  const CDPI* dpi = manager_->GetDPIObj();
  return RECT{dpi->Scale(rect.left), dpi->Scale(rect.top), dpi->Scale(rect.right),
              dpi->Scale(rect.bottom)};
}

SIZE CControlUI::Scale(SIZE size) const {
  return manager_ != nullptr ? manager_->GetDPIObj()->Scale(size) : size;
}

RECT CControlUI::GetPadding() const { return dpiPadding_ ? Scale(padding_) : padding_; }

void CControlUI::SetPadding(const RECT& padding) {
  padding_ = padding;
  NeedParentUpdate();
}

SIZE CControlUI::GetFixedXY() const { return Scale(fixedXY_); }

void CControlUI::SetFixedXY(SIZE xy) {
  fixedXY_ = xy;
  NeedParentUpdate();
}

int CControlUI::GetFixedWidth() const { return Scale(fixedSize_.cx); }

void CControlUI::SetFixedWidth(int width) {
  if (width < 0) return;
  fixedSize_.cx = width;
  NeedParentUpdate();
}

int CControlUI::GetFixedHeight() const { return Scale(fixedSize_.cy); }

void CControlUI::SetFixedHeight(int height) {
  if (height < 0) return;
  fixedSize_.cy = height;
  NeedParentUpdate();
}

int CControlUI::GetMinWidth() const { return Scale(minSize_.cx); }

void CControlUI::SetMinWidth(int width) {
  if (minSize_.cx == width || width < 0) return;
  minSize_.cx = width;
  NeedParentUpdate();
}

int CControlUI::GetMaxWidth() const { return Scale(maxSize_.cx); }

void CControlUI::SetMaxWidth(int width) {
  if (maxSize_.cx == width || width < 0) return;
  maxSize_.cx = width;
  NeedParentUpdate();
}

int CControlUI::GetMinHeight() const { return Scale(minSize_.cy); }

void CControlUI::SetMinHeight(int height) {
  if (minSize_.cy == height || height < 0) return;
  minSize_.cy = height;
  NeedParentUpdate();
}

int CControlUI::GetMaxHeight() const { return Scale(maxSize_.cy); }

void CControlUI::SetMaxHeight(int height) {
  if (maxSize_.cy == height || height < 0) return;
  maxSize_.cy = height;
  NeedParentUpdate();
}

void CControlUI::SetFloatPercent(const FloatPercent& percent) {
  floatPercent_ = percent;
  NeedParentUpdate();
}

void CControlUI::SetFloatAlign(UINT align) {
  floatAlign_ = align;
  NeedParentUpdate();
}

void CControlUI::SetDPIPadding(bool scale) {
  dpiPadding_ = scale;
  NeedParentUpdate();
}

void CControlUI::SetDPITextPadding(bool scale) {
  dpiTextPadding_ = scale;
  NeedParentUpdate();
}

std::wstring CControlUI::GetToolTip() const { return tooltip_; }

void CControlUI::SetToolTip(const std::wstring& text) {
  tooltip_ = text;
  // "<n>" in a tooltip stands for a line break.
  ReplaceAll(tooltip_, L"<n>", L"\r\n");
}

int CControlUI::GetToolTipWidth() const { return Scale(tooltipWidth_); }

void CControlUI::SetVisible(bool visible) {
  if (visible_ == visible) return;
  bool wasVisible = IsVisible();
  visible_ = visible;
  if (focused_) focused_ = false;
  if (!visible && manager_ != nullptr && manager_->GetFocus() == this) {
    manager_->SetFocus(nullptr);
  }
  if (IsVisible() != wasVisible) NeedParentUpdate();
}

void CControlUI::SetInternVisible(bool visible) {
  internVisible_ = visible;
  if (!visible && manager_ != nullptr && manager_->GetFocus() == this) {
    manager_->SetFocus(nullptr);
  }
}

void CControlUI::SetEnabled(bool enable) {
  if (enabled_ == enable) return;
  enabled_ = enable;
  // A disabled control keeps no keyboard focus.
  if (!enable && manager_ != nullptr && manager_->GetFocus() == this) manager_->SetFocus(nullptr);
  Invalidate();
}

void CControlUI::SetFocus() {
  if (manager_ != nullptr) manager_->SetFocus(this);
}

void CControlUI::SetFloat(bool isFloat) {
  if (float_ == isFloat) return;
  float_ = isFloat;
  NeedParentUpdate();
}

const std::wstring& CControlUI::GetVirtualWnd() const {
  if (!virtualWnd_.empty() || parent_ == nullptr) return virtualWnd_;
  return parent_->GetVirtualWnd();
}

CControlUI* CControlUI::FindControl(FindControlProc proc, void* data, UINT flags) {
  if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
  if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
  if ((flags & UIFIND_HITTEST) != 0 &&
      (!mouseEnabled_ || !PtInRect(&item_, *static_cast<POINT*>(data)))) {
    return nullptr;
  }
  return proc(this, data);
}

void CControlUI::Init() {
  DoInit();
  OnInit(this);
}

void CControlUI::DoInit() {
  if (tabSupport_ && manager_ != nullptr) manager_->AddTabControl(this);
}

void CControlUI::Event(ControlEvent& event) {
  if (OnEvent(&event)) DoEvent(event);
}

void CControlUI::Notify(const wchar_t* type, WPARAM wParam, LPARAM lParam) {
  if (manager_ != nullptr) manager_->SendNotify(this, type, wParam, lParam);
}

bool CControlUI::ForwardMouseEvent(ControlEvent& event) {
  if (IsMouseEnabled() || !IsMouseEvent(event.type)) return false;
  if (parent_ != nullptr) {
    parent_->DoEvent(event);
  } else {
    CControlUI::DoEvent(event);
  }
  return true;
}

void CControlUI::DoEvent(ControlEvent& event) {
  switch (event.type) {
    case UIEvent::SetCursor:
      ::SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(cursor_ != 0 ? cursor_ : 32512)));
      return;
    case UIEvent::SetFocus:
      focused_ = true;
      Invalidate();
      return;
    case UIEvent::KillFocus:
      focused_ = false;
      Invalidate();
      return;
    case UIEvent::Timer:
      Notify(kNotifyTimer, event.wParam, event.lParam);
      return;
    case UIEvent::ContextMenu:
      if (contextMenuUsed_ && manager_ != nullptr) {
        Notify(kNotifyMenu, event.wParam, event.lParam);
        return;
      }
      break;
    case UIEvent::MouseEnter:
    case UIEvent::MouseLeave:
      if (IsEnabled() && responseMouseEnterLeave_) {
        Invalidate();
        Notify(event.type == UIEvent::MouseEnter ? kNotifyMouseEnter : kNotifyMouseLeave,
               event.wParam, event.lParam);
      }
      return;
    case UIEvent::KeyDown:
      Notify(kNotifyKeyDown, event.wParam, event.lParam);
      return;
    case UIEvent::Char:
      Notify(kNotifyChar, event.wParam, event.lParam);
      return;
    case UIEvent::MouseHover:
    case UIEvent::MouseMove:
    case UIEvent::ScrollWheel: {
      const wchar_t* type = event.type == UIEvent::MouseHover  ? kNotifyMouseHover
                            : event.type == UIEvent::MouseMove ? kNotifyMouseMove
                                                               : kNotifyMouseWheel;
      Notify(type, event.wParam, event.lParam);
      break;
    }
    case UIEvent::BeginDrag:
    case UIEvent::DragMoveBegin:
    case UIEvent::DragMoving:
    case UIEvent::DragMoveEnd: {
      const wchar_t* type = event.type == UIEvent::BeginDrag       ? kNotifyBeginDrag
                            : event.type == UIEvent::DragMoveBegin ? kNotifyDragMoveBegin
                            : event.type == UIEvent::DragMoving    ? kNotifyDragMoving
                                                                   : kNotifyDragMoveEnd;
      Notify(type, event.wParam, event.lParam);
      return;
    }
    default:
      break;
  }
  if (parent_ != nullptr) parent_->DoEvent(event);
}

void CControlUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (manager_ != nullptr) {
    const std::wstring* style = manager_->GetStyle(value);
    if (style != nullptr) {
      ApplyAttributeList(*style);
      return;
    }
  }
  SetAttribute(name, value);
}

void CControlUI::ApplyAttributeList(const std::wstring& list) {
  if (manager_ != nullptr) {
    const std::wstring* style = manager_->GetStyle(list);
    if (style != nullptr) {
      ApplyAttributeList(*style);
      return;
    }
  }
  std::wstring text = list;
  ReplaceAll(text, L"&quot;", L"\"");
  for (const auto& pair : ParseImageAttributes(text)) SetAttribute(pair.first, pair.second);
}

namespace {

WORD CursorByName(const std::wstring& name) {
  static const struct {
    const wchar_t* name;
    WORD id;
  } kCursors[] = {
      {L"arrow", 32512},    {L"ibeam", 32513},    {L"wait", 32514},   {L"cross", 32515},
      {L"uparrow", 32516},  {L"size", 32640},     {L"icon", 32641},   {L"sizenwse", 32642},
      {L"sizenesw", 32643}, {L"sizewe", 32644},   {L"sizens", 32645}, {L"sizeall", 32646},
      {L"no", 32648},       {L"hand", 32649},
  };
  for (const auto& cursor : kCursors) {
    if (name == cursor.name) return cursor.id;
  }
  return 0;
}

// "0.2,0.3,0.8,0.9": four decimal fractions separated by single characters.
FloatPercent ParseFloatPercent(const wchar_t* text) {
  FloatPercent percent;
  double* fields[] = {&percent.left, &percent.top, &percent.right, &percent.bottom};
  wchar_t* end = const_cast<wchar_t*>(text);
  for (double* field : fields) {
    *field = wcstod(end, &end);
    if (*end == 0) break;
    ++end;
  }
  return percent;
}

}  // namespace

void CControlUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
  const wchar_t* v = value.c_str();
  if (name == L"pos") {
    RECT pos = ParseMarkupRect(v);
    SetFixedXY(SIZE{pos.left >= 0 ? pos.left : pos.right, pos.top >= 0 ? pos.top : pos.bottom});
    SetFixedWidth(pos.right - pos.left);
    SetFixedHeight(pos.bottom - pos.top);
  } else if (name == L"float") {
    if (value.find(L',') == std::wstring::npos) {
      SetFloat(ParseMarkupBool(v));
    } else {
      SetFloatPercent(ParseFloatPercent(v));
      SetFloat(true);
    }
  } else if (name == L"innerstyle") {
    ApplyAttributeList(value);
  } else if (name == L"floatalign") {
    UINT align = floatAlign_;
    size_t start = 0;
    while (start <= value.size()) {
      size_t end = value.find_first_of(L", ", start);
      if (end == std::wstring::npos) end = value.size();
      std::wstring word = value.substr(start, end - start);
      if (word == L"nullptr") align = 0;
      else if (word == L"left") align &= ~kFloatAlignHorizontal;
      else if (word == L"center") align = (align & ~kFloatAlignHorizontal) | kFloatAlignCenter;
      else if (word == L"right") align = (align & ~kFloatAlignHorizontal) | kFloatAlignRight;
      else if (word == L"top") align &= ~kFloatAlignVertical;
      else if (word == L"vcenter") align = (align & ~kFloatAlignVertical) | kFloatAlignVCenter;
      else if (word == L"bottom") align = (align & ~kFloatAlignVertical) | kFloatAlignBottom;
      start = end + 1;
    }
    SetFloatAlign(align);
  } else if (name == L"padding") {
    SetPadding(ParseMarkupRect(v));
  } else if (name == L"gradient") {
    gradient_ = value;
    Invalidate();
  } else if (name == L"bkcolor" || name == L"bkcolor1") {
    SetBkColor(ParseMarkupColor(v));
  } else if (name == L"bkcolorround") {
    SetBkRound(ParseMarkupSize(v));
  } else if (name == L"bkcolor2") {
    SetBkColor2(ParseMarkupColor(v));
  } else if (name == L"bkcolor3") {
    SetBkColor3(ParseMarkupColor(v));
  } else if (name == L"forecolor") {
    SetForeColor(ParseMarkupColor(v));
  } else if (name == L"bordercolor") {
    SetBorderColor(ParseMarkupColor(v));
  } else if (name == L"focusbordercolor") {
    SetFocusBorderColor(ParseMarkupColor(v));
  } else if (name == L"colorhsl") {
    colorHsl_ = ParseMarkupBool(v);
    Invalidate();
  } else if (name == L"bordersize") {
    if (value.find(L',') == std::wstring::npos) {
      SetBorderSize(ParseMarkupInt(v));
    } else {
      SetBorderRect(ParseMarkupRect(v));
    }
  } else if (name == L"leftbordersize") {
    RECT sizes = borderRect_;
    sizes.left = ParseMarkupInt(v);
    SetBorderRect(sizes);
  } else if (name == L"topbordersize") {
    RECT sizes = borderRect_;
    sizes.top = ParseMarkupInt(v);
    SetBorderRect(sizes);
  } else if (name == L"rightbordersize") {
    RECT sizes = borderRect_;
    sizes.right = ParseMarkupInt(v);
    SetBorderRect(sizes);
  } else if (name == L"bottombordersize") {
    RECT sizes = borderRect_;
    sizes.bottom = ParseMarkupInt(v);
    SetBorderRect(sizes);
  } else if (name == L"borderstyle") {
    borderStyle_ = ParseMarkupInt(v);
    Invalidate();
  } else if (name == L"borderround") {
    SetBorderRound(ParseMarkupSize(v));
  } else if (name == L"bkimage") {
    SetBkImage(value);
  } else if (name == L"foreimage") {
    SetForeImage(value);
  } else if (name == L"width") {
    SetFixedWidth(ParseMarkupInt(v));
  } else if (name == L"height") {
    SetFixedHeight(ParseMarkupInt(v));
  } else if (name == L"minwidth") {
    SetMinWidth(ParseMarkupInt(v));
  } else if (name == L"minheight") {
    SetMinHeight(ParseMarkupInt(v));
  } else if (name == L"maxwidth") {
    SetMaxWidth(ParseMarkupInt(v));
  } else if (name == L"maxheight") {
    SetMaxHeight(ParseMarkupInt(v));
  } else if (name == L"name") {
    SetName(value);
  } else if (name == L"drag") {
    SetDragEnabled(ParseMarkupBool(v));
  } else if (name == L"drop") {
    SetDropEnabled(ParseMarkupBool(v));
  } else if (name == L"dragmove") {
    dragMove_ = ParseMarkupBool(v);
  } else if (name == L"resourcetext") {
    SetResourceText(ParseMarkupBool(v));
  } else if (name == L"text") {
    SetText(value);
  } else if (name == L"tooltip") {
    SetToolTip(value);
  } else if (name == L"userdata") {
    SetUserData(value);
  } else if (name == L"enabled") {
    SetEnabled(ParseMarkupBool(v));
  } else if (name == L"mouse") {
    SetMouseEnabled(ParseMarkupBool(v));
  } else if (name == L"keyboard") {
    SetKeyboardEnabled(ParseMarkupBool(v));
  } else if (name == L"visible") {
    SetVisible(ParseMarkupBool(v));
  } else if (name == L"shortcut") {
    SetShortcut(value.empty() ? 0 : value[0]);
  } else if (name == L"menu") {
    SetContextMenuUsed(ParseMarkupBool(v));
  } else if (name == L"cursor") {
    SetCursor(CursorByName(value));
  } else if (name == L"virtualwnd") {
    SetVirtualWnd(value);
  } else if (name == L"isdynamic") {
    SetDynamic(ParseMarkupBool(v));
  } else if (name == L"horzpaddingcenter") {
    horzPaddingCenter_ = value == L"true";
  } else if (name == L"vertpaddingcenter") {
    vertPaddingCenter_ = value == L"true";
  } else if (name == L"BkImageSwitchRes" || name == L"ForeImageSwitchRes" ||
             name == L"TextColorSwitchRes" || name == L"BkColorSwitchRes") {
    // Switchable-resource keys of a resource manager that this toolkit does not have.
  } else if (name == L"TabSuppot") {
    tabSupport_ = ParseMarkupBool(v);
  } else if (name == L"Tag") {
    SetTag(static_cast<UINT_PTR>(ParseMarkupInt(v)));
  } else if (name == L"DPIPadding") {
    SetDPIPadding(ParseMarkupBool(v));
  } else if (name == L"DPITextPadding") {
    SetDPITextPadding(ParseMarkupBool(v));
  } else if (name == L"ReponseMouseEnterLeave") {
    SetResponseMouseEnterLeave(ParseMarkupBool(v));
  } else {
    customAttributes_[name] = value;
  }
}

std::wstring CControlUI::GetCustomAttribute(const std::wstring& name) const {
  auto found = customAttributes_.find(name);
  return found != customAttributes_.end() ? found->second : std::wstring();
}

SIZE CControlUI::EstimateSize(SIZE) { return SIZE{GetFixedWidth(), GetFixedHeight()}; }

bool CControlUI::Paint(HDC dc, const RECT& paint, CControlUI* stop) {
  if (stop == this) return false;
  return DoPaint(dc, paint, stop);
}

bool CControlUI::DoPaint(HDC dc, const RECT& paint, CControlUI*) {
  if (!IntersectRect(&paintRect_, &paint, &item_)) return true;
  auto paintAll = [&]() {
    PaintBkColor(dc);
    PaintBkImage(dc);
    PaintStatusImage(dc);
    PaintForeColor(dc);
    PaintForeImage(dc);
    PaintText(dc);
    PaintBorder(dc);
  };
  SIZE round = GetBorderRound();
  if (round.cx > 0 || round.cy > 0) {
    CRenderClip clip(dc, paintRect_, item_, round.cx, round.cy);
    paintAll();
  } else {
    paintAll();
  }
  return true;
}

void CControlUI::PaintBkColor(HDC dc) {
  if (bkColor_ == 0) return;
  bool vertical = _wcsicmp(gradient_.c_str(), L"hor") != 0;
  if (bkColor2_ != 0) {
    if (bkColor3_ != 0) {
      RECT first = item_;
      RECT second = item_;
      if (vertical) {
        first.bottom = second.top = (item_.top + item_.bottom) / 2;
      } else {
        first.right = second.left = (item_.left + item_.right) / 2;
      }
      DrawGradient(dc, first, bkColor_, bkColor2_, vertical);
      DrawGradient(dc, second, bkColor2_, bkColor3_, vertical);
    } else {
      DrawGradient(dc, item_, bkColor_, bkColor2_, vertical);
    }
    return;
  }
  FillBackground(dc, bkColor_, GetBkRound());
}

void CControlUI::FillBackground(HDC dc, DWORD color, SIZE round) {
  if (round.cx > 0 || round.cy > 0) {
    FillRoundRect(dc, item_, round.cx, round.cy, color);
  } else {
    DrawColor(dc, paintRect_, color);
  }
}

SIZE CControlUI::ClampToLimits(SIZE size) const {
  return SIZE{std::min<LONG>(std::max<LONG>(size.cx, GetMinWidth()), GetMaxWidth()),
              std::min<LONG>(std::max<LONG>(size.cy, GetMinHeight()), GetMaxHeight())};
}

void CControlUI::PaintBkImage(HDC dc) {
  if (!bkImage_.empty()) DrawImage(dc, bkImage_);
}

void CControlUI::PaintStatusImage(HDC) {}

void CControlUI::PaintForeColor(HDC dc) { DrawColor(dc, item_, foreColor_); }

void CControlUI::PaintForeImage(HDC dc) {
  if (!foreImage_.empty()) DrawImage(dc, foreImage_);
}

void CControlUI::PaintText(HDC) {}

void CControlUI::PaintBorder(HDC dc) {
  DWORD color = focused_ && focusBorderColor_ != 0 ? focusBorderColor_ : borderColor_;
  if (color == 0) return;
  SIZE round = GetBorderRound();
  RECT sides = GetBorderRect();
  int size = GetBorderSize();
  if ((round.cx > 0 || round.cy > 0) && size > 0) {
    DrawRoundRect(dc, item_, round.cx, round.cy, size, color, borderStyle_);
  } else if (sides.left > 0 || sides.top > 0 || sides.right > 0 || sides.bottom > 0) {
    if (sides.left > 0) {
      DrawColor(dc, RECT{item_.left, item_.top, item_.left + sides.left, item_.bottom}, color);
    }
    if (sides.top > 0) {
      DrawColor(dc, RECT{item_.left, item_.top, item_.right, item_.top + sides.top}, color);
    }
    if (sides.right > 0) {
      DrawColor(dc, RECT{item_.right - sides.right, item_.top, item_.right, item_.bottom}, color);
    }
    if (sides.bottom > 0) {
      DrawColor(dc, RECT{item_.left, item_.bottom - sides.bottom, item_.right, item_.bottom},
                color);
    }
  } else if (size > 0) {
    DrawRect(dc, item_, size, color, borderStyle_);
  }
}

void CControlUI::DoPostPaint(HDC, const RECT&) {}

void CControlUI::Invalidate() {
  if (!IsVisible() || manager_ == nullptr) return;
  RECT area = item_;
  if (ClipToAncestors(area)) manager_->Invalidate(area);
}

bool CControlUI::ClipToAncestors(RECT& area) const {
  for (CControlUI* ancestor = parent_; ancestor != nullptr; ancestor = ancestor->GetParent()) {
    if (!ancestor->IsVisible() || !IntersectRect(&area, &area, &ancestor->GetPos())) return false;
  }
  return true;
}

void CControlUI::NeedUpdate() {
  if (!IsVisible()) return;
  updateNeeded_ = true;
  Invalidate();
  if (manager_ != nullptr) manager_->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
  if (parent_ != nullptr) {
    parent_->NeedUpdate();
  } else {
    NeedUpdate();
  }
  if (manager_ != nullptr) manager_->NeedUpdate();
}

void CControlUI::SetBkColor(DWORD color) {
  if (bkColor_ == color) return;
  bkColor_ = color;
  Invalidate();
}

void CControlUI::SetBkColor2(DWORD color) {
  if (bkColor2_ == color) return;
  bkColor2_ = color;
  Invalidate();
}

void CControlUI::SetBkColor3(DWORD color) {
  if (bkColor3_ == color) return;
  bkColor3_ = color;
  Invalidate();
}

void CControlUI::SetForeColor(DWORD color) {
  foreColor_ = color;
  Invalidate();
}

void CControlUI::SetBkImage(const std::wstring& image) {
  if (bkImage_ == image) return;
  bkImage_ = image;
  Invalidate();
}

void CControlUI::SetForeImage(const std::wstring& image) {
  if (foreImage_ == image) return;
  foreImage_ = image;
  Invalidate();
}

void CControlUI::SetBorderColor(DWORD color) {
  if (borderColor_ == color) return;
  borderColor_ = color;
  Invalidate();
}

void CControlUI::SetFocusBorderColor(DWORD color) {
  if (focusBorderColor_ == color) return;
  focusBorderColor_ = color;
  Invalidate();
}

int CControlUI::GetBorderSize() const { return Scale(borderSize_); }

void CControlUI::SetBorderSize(int size) {
  borderSize_ = size;
  Invalidate();
}

RECT CControlUI::GetBorderRect() const { return Scale(borderRect_); }

void CControlUI::SetBorderRect(const RECT& sizes) {
  borderRect_ = sizes;
  Invalidate();
}

SIZE CControlUI::GetBorderRound() const { return Scale(borderRound_); }

void CControlUI::SetBorderRound(SIZE round) {
  borderRound_ = round;
  Invalidate();
}

SIZE CControlUI::GetBkRound() const { return Scale(bkRound_); }

void CControlUI::SetBkRound(SIZE round) {
  bkRound_ = round;
  Invalidate();
}

bool CControlUI::DrawImage(HDC dc, const std::wstring& image, const std::wstring& modify) {
  return DrawImageString(dc, manager_, item_, paintRect_, image, modify);
}
