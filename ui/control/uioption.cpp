#include "uioption.h"

#include "stringconv.h"
#include "uimanager.h"
#include "uivalues.h"

void* COptionUI::GetInterface(const std::wstring& name) {
  if (name == L"Option") return static_cast<COptionUI*>(this);
  return CButtonUI::GetInterface(name);
}

void COptionUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  CButtonUI::SetManager(manager, parent, init);
  if (init && manager != nullptr && !group_.empty()) manager->AddOptionGroup(group_, this);
}

void COptionUI::SetGroup(const std::wstring& group) {
  if (group == group_) return;
  if (!group_.empty() && manager_ != nullptr) manager_->RemoveOptionGroup(group_, this);
  group_ = group;
  if (!group_.empty() && manager_ != nullptr) manager_->AddOptionGroup(group_, this);
}

void COptionUI::Selected(bool selected, bool notify) {
  if (selected_ == selected) return;
  selected_ = selected;
  SetBits(state_, kButtonSelected, selected_);
  if (manager_ != nullptr) {
    if (!group_.empty() && selected_) {
      const std::vector<CControlUI*>* members = manager_->GetOptionGroup(group_);
      if (members != nullptr) {
        for (CControlUI* member : std::vector<CControlUI*>(*members)) {
          auto* option = static_cast<COptionUI*>(member->GetInterface(L"Option"));
          if (option != nullptr && option != this) option->Selected(false, notify);
        }
      }
    }
    if (notify) Notify(kNotifySelectChanged);
  }
  Invalidate();
}

bool COptionUI::Activate(bool right) {
  if (!CButtonUI::Activate(right)) return false;
  Selected(group_.empty() ? !selected_ : true);
  return true;
}

void COptionUI::DoEvent(ControlEvent& event) {
  if (event.type == UIEvent::DblClick && selected_ && Inside(event)) {
    Notify(kNotifyDbClick);
    return;
  }
  CButtonUI::DoEvent(event);
}

void COptionUI::SetSelectedToolTip(const std::wstring& text) {
  selectedTooltip_ = text;
  ReplaceAll(selectedTooltip_, L"<n>", L"\r\n");
}

std::wstring COptionUI::GetToolTip() const {
  if (selected_ && !selectedTooltip_.empty()) return selectedTooltip_;
  return CButtonUI::GetToolTip();
}

void COptionUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
  const wchar_t* v = value.c_str();
  if (name == L"group") {
    SetGroup(value);
  } else if (name == L"selected") {
    Selected(ParseMarkupBool(v));
  } else if (name == L"selectedimage") {
    selectedImage_ = value;
  } else if (name == L"selectedhotimage") {
    selectedHotImage_ = value;
  } else if (name == L"selectedpushedimage") {
    selectedPushedImage_ = value;
  } else if (name == L"selecteddisabledimage") {
    selectedDisabledImage_ = value;
  } else if (name == L"selectedforeimage") {
    selectedForeImage_ = value;
  } else if (name == L"selectedstateimage") {
    selectedStateImage_ = value;
    selectedImage_.clear();
  } else if (name == L"selectedstatecount") {
    selectedStateCount_ = ParseMarkupInt(v);
  } else if (name == L"selectedbkcolor") {
    selectedBkColor_ = ParseMarkupColor(v);
  } else if (name == L"selectedtextcolor") {
    selectedTextColor_ = ParseMarkupColor(v);
  } else if (name == L"selectedfont") {
    selectedFont_ = ParseMarkupInt(v);
    needEstimate_ = true;
  } else if (name == L"selectedtooltip") {
    SetSelectedToolTip(value);
  } else {
    CButtonUI::SetAttribute(name, value);
  }
  Invalidate();
}

void COptionUI::PaintBkColor(HDC dc) {
  if (!selected_) {
    CButtonUI::PaintBkColor(dc);
    return;
  }
  if (selectedBkColor_ != 0) FillBackground(dc, selectedBkColor_, GetBorderRound());
}

void COptionUI::PaintStatusImage(HDC dc) {
  if (!selected_) {
    CButtonUI::PaintStatusImage(dc);
    return;
  }
  RefreshStateBits();
  if (!selectedStateImage_.empty() && selectedStateCount_ > 0 && selectedImage_.empty()) {
    CutStrip(selectedStateImage_, selectedStateCount_,
             {{0, &selectedImage_}, {1, &selectedHotImage_}, {1, &selectedPushedImage_},
              {2, &selectedPushedImage_}, {3, &selectedDisabledImage_}});
  }
  const std::wstring* chosen = (state_ & kButtonPushed) != 0     ? &selectedPushedImage_
                               : (state_ & kButtonHot) != 0      ? &selectedHotImage_
                               : (state_ & kButtonDisabled) != 0 ? &selectedDisabledImage_
                                                                 : nullptr;
  if (chosen != nullptr && !chosen->empty() && DrawImage(dc, *chosen)) return;
  if (!selectedImage_.empty()) DrawImage(dc, selectedImage_);
}

void COptionUI::PaintForeImage(HDC dc) {
  if (selected_ && !selectedForeImage_.empty() && DrawImage(dc, selectedForeImage_)) return;
  CButtonUI::PaintForeImage(dc);
}

void COptionUI::PaintText(HDC dc) {
  if (!selected_) {
    CButtonUI::PaintText(dc);
    return;
  }
  RefreshStateBits();
  ResolveColors();
  DWORD color = !IsEnabled() ? disabledTextColor_
                : selectedTextColor_ != 0 ? selectedTextColor_
                                          : textColor_;
  PaintTextWith(dc, GetTextPadding(), color, selectedFont_ != -1 ? selectedFont_ : font_);
}
