#include "uilabel.h"

#include "uimanager.h"
#include "uirendertext.h"
#include "uivalues.h"

void* CLabelUI::GetInterface(const std::wstring& name) {
  if (name == L"Label") return static_cast<CLabelUI*>(this);
  return CControlUI::GetInterface(name);
}

void CLabelUI::SetText(const std::wstring& text) {
  std::wstring before = text_;
  CControlUI::SetText(text);
  if (text_ == before) return;
  if (autoWidth_ || autoHeight_) {
    needEstimate_ = true;
    NeedParentUpdate();
  }
}

void CLabelUI::SetTextStyle(UINT style) {
  textStyle_ = style;
  Invalidate();
}

void CLabelUI::SetTextColor(DWORD color) {
  textColor_ = color;
  Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD color) {
  disabledTextColor_ = color;
  Invalidate();
}

void CLabelUI::SetFont(int font) {
  font_ = font;
  needEstimate_ = true;
  Invalidate();
}

RECT CLabelUI::GetTextPadding() const {
  return dpiTextPadding_ ? Scale(textPadding_) : textPadding_;
}

void CLabelUI::SetTextPadding(const RECT& padding) {
  textPadding_ = padding;
  needEstimate_ = true;
  Invalidate();
}

void CLabelUI::SetAutoCalcWidth(bool on) {
  autoWidth_ = on;
  needEstimate_ = true;
}

void CLabelUI::SetAutoCalcHeight(bool on) {
  autoHeight_ = on;
  needEstimate_ = true;
}

RECT CLabelUI::MeasureText(const RECT& rect, UINT style, int font) {
  RECT measured = rect;
  RenderText(manager_->GetPaintDC(), manager_, measured, GetText(), 0, font, style | DT_CALCRECT);
  return measured;
}

SIZE CLabelUI::EstimateSize(SIZE available) {
  if (fixedSize_.cx > 0 && fixedSize_.cy > 0) return SIZE{GetFixedWidth(), GetFixedHeight()};
  if (available.cx == lastAvailable_.cx && available.cy == lastAvailable_.cy && !needEstimate_) {
    return lastEstimate_;
  }
  lastAvailable_ = available;
  needEstimate_ = false;
  SIZE size = {GetFixedWidth(), GetFixedHeight()};
  if (manager_ == nullptr) return lastEstimate_ = size;
  const RECT padding = GetTextPadding();
  const int measureFont = MeasureFont();
  if ((textStyle_ & DT_SINGLELINE) == 0) {
    const UINT style = textStyle_ & ~(DT_CENTER | DT_RIGHT);
    if (size.cx == 0 && autoWidth_) {
      RECT measured = MeasureText(RECT{0, 0, available.cx, 9999}, style, measureFont);
      // Html text is drawn as plain text here; its measured edge keeps the html margin.
      if (showHtml_) measured.right += 4;
      size.cx = measured.right - measured.left + padding.left + padding.right;
    }
    if (size.cy == 0 && autoHeight_ && size.cx > 0) {
      RECT measured = MeasureText(RECT{0, 0, size.cx, 9999}, style, measureFont);
      size.cy = measured.bottom - measured.top + padding.top + padding.bottom;
    }
  } else if ((size.cy == 0 && autoHeight_) || (size.cx == 0 && autoWidth_)) {
    const FontInfo* font = manager_->GetFontInfo(measureFont);
    LONG fontHeight = font != nullptr ? font->metrics.tmHeight : 0;
    RECT measured = MeasureText(RECT{0, 0, 9999, fontHeight + 8}, textStyle_, measureFont);
    if (size.cy == 0 && autoHeight_) {
      size.cy = measured.bottom - measured.top + padding.top + padding.bottom;
    }
    if (size.cx == 0 && autoWidth_) {
      size.cx = measured.right - measured.left + padding.left + padding.right;
    }
  }
  lastEstimate_ = size;
  return size;
}

void CLabelUI::DoEvent(ControlEvent& event) {
  if (event.type == UIEvent::SetFocus) {
    focused_ = true;
    return;
  }
  if (event.type == UIEvent::KillFocus) {
    focused_ = false;
    return;
  }
  CControlUI::DoEvent(event);
}

void CLabelUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
  const wchar_t* v = value.c_str();
  if (name == L"align") {
    // Tested in this order, so a later word wins.
    if (value.find(L"left") != std::wstring::npos) textStyle_ &= ~(DT_CENTER | DT_RIGHT);
    if (value.find(L"center") != std::wstring::npos) {
      textStyle_ = (textStyle_ & ~DT_RIGHT) | DT_CENTER;
    }
    if (value.find(L"right") != std::wstring::npos) {
      textStyle_ = (textStyle_ & ~DT_CENTER) | DT_RIGHT;
    }
  } else if (name == L"valign") {
    if (value.find(L"top") != std::wstring::npos) {
      textStyle_ = (textStyle_ & ~(DT_VCENTER | DT_BOTTOM | DT_WORDBREAK)) | DT_SINGLELINE;
    }
    if (value.find(L"vcenter") != std::wstring::npos) {
      textStyle_ = (textStyle_ & ~(DT_BOTTOM | DT_WORDBREAK)) | DT_VCENTER | DT_SINGLELINE;
    }
    if (value.find(L"bottom") != std::wstring::npos) {
      textStyle_ = (textStyle_ & ~(DT_VCENTER | DT_WORDBREAK)) | DT_BOTTOM | DT_SINGLELINE;
    }
  } else if (name == L"endellipsis") {
    SetBits(textStyle_, DT_END_ELLIPSIS, ParseMarkupBool(v));
  } else if (name == L"midellipsis") {
    SetBits(textStyle_, kTextMiddleEllipsis, ParseMarkupBool(v));
  } else if (name == L"wordbreak") {
    if (ParseMarkupBool(v)) {
      textStyle_ = (textStyle_ & ~DT_SINGLELINE) | DT_WORDBREAK | DT_EDITCONTROL;
    } else {
      textStyle_ = (textStyle_ & ~(DT_WORDBREAK | DT_EDITCONTROL)) | DT_SINGLELINE;
    }
  } else if (name == L"noprefix") {
    SetBits(textStyle_, DT_NOPREFIX, ParseMarkupBool(v));
  } else if (name == L"font") {
    SetFont(ParseMarkupInt(v));
  } else if (name == L"textcolor") {
    SetTextColor(ParseMarkupColor(v));
  } else if (name == L"disabledtextcolor") {
    SetDisabledTextColor(ParseMarkupColor(v));
  } else if (name == L"textpadding") {
    SetTextPadding(ParseMarkupRect(v));
  } else if (name == L"showhtml") {
    // Html text is drawn as plain text.
    showHtml_ = ParseMarkupBool(v);
  } else if (name == L"autocalcwidth") {
    SetAutoCalcWidth(ParseMarkupBool(v));
  } else if (name == L"autocalcheight") {
    SetAutoCalcHeight(ParseMarkupBool(v));
  } else if (name == L"shdowtext") {
    // Shadow text is drawn as plain text in the text colour; its colour, radii and offset
    // (shdowtextcolor, shdowtextr, shdowtextr2, shdowtextoffset) have no effect.
    shadowText_ = ParseMarkupBool(v);
  } else if (name == L"shdowtextcolor" || name == L"shdowtextr" || name == L"shdowtextr2" ||
             name == L"shdowtextoffset") {
    // See shdowtext.
  } else if (name == L"RichText" || name == L"RichTextLineLimit") {
    // Rich text is drawn as plain text.
  } else if (name.size() > 9 && name.compare(name.size() - 9, 9, L"SwitchRes") == 0) {
    // Switchable-resource keys of a resource manager that this toolkit does not have.
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

void CLabelUI::ResolveColors() {
  if (manager_ == nullptr) return;
  if (textColor_ == 0) textColor_ = manager_->GetDefaultFontColor();
  if (disabledTextColor_ == 0) disabledTextColor_ = manager_->GetDefaultDisabledColor();
}

void CLabelUI::PaintTextWith(HDC dc, const RECT& padding, DWORD color, int font) {
  RECT rect = {item_.left + padding.left, item_.top + padding.top, item_.right - padding.right,
               item_.bottom - padding.bottom};
  RenderText(dc, manager_, rect, GetText(), color, font, textStyle_);
}

void CLabelUI::PaintText(HDC dc) {
  ResolveColors();
  DWORD color = IsEnabled() ? textColor_ : disabledTextColor_;
  if (shadowText_ && !showHtml_) color = textColor_;
  PaintTextWith(dc, GetTextPadding(), color, font_);
}
