#include "uibutton.h"

#include <cwchar>

#include "uidrawinfo.h"
#include "uimanager.h"
#include "uitablayout.h"
#include "uivalues.h"

CButtonUI::CButtonUI() { textStyle_ = DT_VCENTER | DT_SINGLELINE | DT_CENTER; }

void* CButtonUI::GetInterface(const std::wstring& name) {
  if (name == L"Button") return static_cast<CButtonUI*>(this);
  return CLabelUI::GetInterface(name);
}

UINT CButtonUI::GetControlFlags() const {
  return (IsKeyboardEnabled() ? UIFLAG_TABSTOP : 0) | (IsEnabled() ? UIFLAG_SETCURSOR : 0);
}

bool CButtonUI::Activate(bool right) {
  if (!CControlUI::Activate(right)) return false;
  Notify(right ? kNotifyRClick : kNotifyClick);
  if (manager_ != nullptr && !bindTabLayoutName_.empty() && bindTabIndex_ >= 0) {
    CControlUI* found = manager_->FindControl(bindTabLayoutName_);
    auto* tabs = found != nullptr ? static_cast<CTabLayoutUI*>(found->GetInterface(L"TabLayout"))
                                  : nullptr;
    if (tabs != nullptr) tabs->SelectItem(bindTabIndex_);
  }
  return true;
}

void CButtonUI::SetEnabled(bool enable) {
  CControlUI::SetEnabled(enable);
  state_ = enable ? 0 : kButtonDisabled;
  Invalidate();
}

bool CButtonUI::Inside(const ControlEvent& event) const {
  return PtInRect(&item_, event.mouse) != FALSE;
}

void CButtonUI::DoEvent(ControlEvent& event) {
  if (ForwardMouseEvent(event)) return;
  switch (event.type) {
    case UIEvent::KeyDown:
      if (IsKeyboardEnabled() && keyboardActive_ &&
          (event.key == VK_SPACE || event.key == VK_RETURN)) {
        Activate();
        Notify(kNotifyKeyDown, event.wParam, event.lParam);
        return;
      }
      break;
    case UIEvent::MouseMove:
      if ((state_ & kButtonCaptured) != 0) {
        if (Inside(event)) {
          state_ |= kButtonPushed;
        } else {
          state_ &= ~kButtonPushed;
        }
        Invalidate();
        Notify(kNotifyMouseMove);
      }
      return;
    case UIEvent::MouseLeave:
      if (IsEnabled()) {
        state_ &= ~kButtonHot;
        Invalidate();
        Notify(kNotifyMouseLeave);
      }
      break;
    case UIEvent::MouseEnter:
      if (IsEnabled()) {
        state_ |= kButtonHot;
        Invalidate();
        Notify(kNotifyMouseEnter, event.wParam, event.lParam);
      }
      break;
    case UIEvent::ButtonDown:
    case UIEvent::DblClick:
      if (Inside(event) && IsEnabled()) {
        state_ |= kButtonPushed | kButtonCaptured;
        Invalidate();
        Notify(event.type == UIEvent::ButtonDown ? kNotifyButtonDown : kNotifyDbClick);
      }
      return;
    case UIEvent::ButtonUp:
    case UIEvent::RButtonUp:
      if ((state_ & kButtonCaptured) != 0) {
        state_ &= ~(kButtonPushed | kButtonCaptured);
        Invalidate();
        bool right = event.type == UIEvent::RButtonUp;
        Notify(right ? kNotifyRButtonUp : kNotifyButtonUp);
        if (Inside(event)) Activate(right);
      }
      return;
    case UIEvent::RButtonDown:
      if (Inside(event) && IsEnabled()) {
        state_ |= kButtonPushed | kButtonCaptured;
        Invalidate();
        Notify(kNotifyRButtonDown);
      }
      return;
    case UIEvent::ContextMenu:
      if (IsContextMenuUsed()) Notify(kNotifyMenu, event.wParam, event.lParam);
      return;
    case UIEvent::SetFocus:
    case UIEvent::KillFocus:
      Invalidate();
      break;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

void CButtonUI::SetNormalImage(const std::wstring& image) {
  normalImage_ = image;
  Invalidate();
}

void CButtonUI::SetHotImage(const std::wstring& image) {
  hotImage_ = image;
  Invalidate();
}

void CButtonUI::SetPushedImage(const std::wstring& image) {
  pushedImage_ = image;
  Invalidate();
}

void CButtonUI::SetFocusedImage(const std::wstring& image) {
  focusedImage_ = image;
  Invalidate();
}

void CButtonUI::SetDisabledImage(const std::wstring& image) {
  disabledImage_ = image;
  Invalidate();
}

void CButtonUI::SetHotForeImage(const std::wstring& image) {
  hotForeImage_ = image;
  Invalidate();
}

void CButtonUI::SetPushedForeImage(const std::wstring& image) {
  pushedForeImage_ = image;
  Invalidate();
}

void CButtonUI::SetStateImage(const std::wstring& image) {
  stateImage_ = image;
  normalImage_.clear();
  Invalidate();
}

void CButtonUI::SetStateCount(int count) {
  stateCount_ = count;
  Invalidate();
}

void CButtonUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
  const wchar_t* v = value.c_str();
  if (name == L"normalimage") {
    SetNormalImage(value);
  } else if (name == L"hotimage") {
    SetHotImage(value);
  } else if (name == L"pushedimage") {
    SetPushedImage(value);
  } else if (name == L"focusedimage") {
    SetFocusedImage(value);
  } else if (name == L"disabledimage") {
    SetDisabledImage(value);
  } else if (name == L"hotforeimage") {
    SetHotForeImage(value);
  } else if (name == L"pushedforeimage") {
    SetPushedForeImage(value);
  } else if (name == L"stateimage") {
    SetStateImage(value);
  } else if (name == L"statecount") {
    SetStateCount(ParseMarkupInt(v));
  } else if (name == L"bindtabindex") {
    int index = ParseMarkupInt(v);
    if (index >= 0) bindTabIndex_ = index;
  } else if (name == L"bindtablayoutname") {
    bindTabLayoutName_ = value;
  } else if (name == L"hotbkcolor") {
    hotBkColor_ = ParseMarkupColor(v);
  } else if (name == L"pushedbkcolor") {
    pushedBkColor_ = ParseMarkupColor(v);
  } else if (name == L"disabledbkcolor") {
    disabledBkColor_ = ParseMarkupColor(v);
  } else if (name == L"hottextcolor") {
    hotTextColor_ = ParseMarkupColor(v);
  } else if (name == L"pushedtextcolor") {
    pushedTextColor_ = ParseMarkupColor(v);
  } else if (name == L"focusedtextcolor") {
    focusedTextColor_ = ParseMarkupColor(v);
  } else if (name == L"hotfont") {
    hotFont_ = ParseMarkupInt(v);
  } else if (name == L"pushedfont") {
    pushedFont_ = ParseMarkupInt(v);
  } else if (name == L"focuedfont") {
    focusedFont_ = ParseMarkupInt(v);
  } else if (name == L"KeyboardActive") {
    keyboardActive_ = ParseMarkupBool(v);
  } else {
    CLabelUI::SetAttribute(name, value);
  }
}

void CButtonUI::RefreshStateBits() {
  SetBits(state_, kButtonFocused, IsFocused());
  SetBits(state_, kButtonDisabled, !IsEnabled());
  if (manager_ != nullptr && !IsWindowEnabled(manager_->GetPaintWindow())) {
    state_ &= kButtonDisabled;
  }
}

void CButtonUI::PaintBkColor(HDC dc) {
  DWORD color = !IsEnabled()                      ? disabledBkColor_
                : (state_ & kButtonPushed) != 0 ? pushedBkColor_
                : (state_ & kButtonHot) != 0    ? hotBkColor_
                                                : 0;
  if (color != 0) {
    FillBackground(dc, color, GetBorderRound());
  } else {
    CControlUI::PaintBkColor(dc);
  }
}

void CButtonUI::CutStrip(const std::wstring& strip, int count,
                         std::initializer_list<std::pair<int, std::wstring*>> targets) {
  if (manager_ == nullptr || strip.empty() || count <= 0) return;
  // The columns are cut from the image as written (100 %); each state string then finds the
  // image's variant for the current scale like any other image string.
  DrawInfo info;
  ParseDrawInfo(strip, std::wstring(), nullptr, info);
  const std::wstring& name = info.imageName;
  const std::wstring& type = info.resourceType;
  const ImageInfo* image = manager_->FindOrLoadImage(name, type.empty() ? nullptr : type.c_str());
  if (image == nullptr) return;
  const int width = image->width / count;
  const RECT& d = info.dest;
  for (const auto& target : targets) {
    if (target.first >= count) continue;
    wchar_t cut[1024];
    _snwprintf(cut, 1024, L"res='%ls' restype='%ls' dest='%ld,%ld,%ld,%ld' source='%d,%d,%d,%d'",
               name.c_str(), type.c_str(), d.left, d.top, d.right, d.bottom, target.first * width,
               0, (target.first + 1) * width, image->height);
    cut[1023] = 0;
    *target.second = cut;
  }
}

void CButtonUI::PaintStatusImage(HDC dc) {
  RefreshStateBits();
  if (!stateImage_.empty() && stateCount_ > 0 && normalImage_.empty()) {
    CutStrip(stateImage_, stateCount_,
             {{0, &normalImage_}, {1, &hotImage_}, {1, &pushedImage_}, {2, &pushedImage_},
              {3, &disabledImage_}});
  }
  const std::wstring* chosen = (state_ & kButtonDisabled) != 0 ? &disabledImage_
                               : (state_ & kButtonPushed) != 0 ? &pushedImage_
                               : (state_ & kButtonHot) != 0    ? &hotImage_
                               : (state_ & kButtonFocused) != 0 ? &focusedImage_
                                                                : nullptr;
  if (chosen != nullptr && !chosen->empty() && DrawImage(dc, *chosen)) return;
  if (!normalImage_.empty()) DrawImage(dc, normalImage_);
}

void CButtonUI::PaintForeImage(HDC dc) {
  const std::wstring* chosen = (state_ & kButtonPushed) != 0 ? &pushedForeImage_
                               : (state_ & kButtonHot) != 0  ? &hotForeImage_
                                                             : nullptr;
  if (chosen != nullptr && !chosen->empty() && DrawImage(dc, *chosen)) return;
  CControlUI::PaintForeImage(dc);
}

void CButtonUI::PaintText(HDC dc) {
  RefreshStateBits();
  ResolveColors();
  DWORD color = IsEnabled() ? textColor_ : disabledTextColor_;
  if ((state_ & kButtonPushed) != 0 && pushedTextColor_ != 0) {
    color = pushedTextColor_;
  } else if ((state_ & kButtonHot) != 0 && hotTextColor_ != 0) {
    color = hotTextColor_;
  } else if ((state_ & kButtonFocused) != 0 && focusedTextColor_ != 0) {
    color = focusedTextColor_;
  }
  int font = font_;
  if ((state_ & kButtonPushed) != 0 && pushedFont_ != -1) {
    font = pushedFont_;
  } else if ((state_ & kButtonHot) != 0 && hotFont_ != -1) {
    font = hotFont_;
  } else if ((state_ & kButtonFocused) != 0 && focusedFont_ != -1) {
    font = focusedFont_;
  }
  // Shadow text is drawn as plain text with the label's font.
  if (shadowText_ && !showHtml_) font = font_;
  // A button always scales its text padding, whatever DPITextPadding says.
  PaintTextWith(dc, Scale(textPadding_), color, font);
}
