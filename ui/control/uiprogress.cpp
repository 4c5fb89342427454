#include "uiprogress.h"

#include <algorithm>
#include <cwchar>

#include "uidraw.h"
#include "uimanager.h"
#include "uivalues.h"

CProgressUI::CProgressUI() {
  textStyle_ = DT_SINGLELINE | DT_CENTER;
  fixedSize_.cy = 12;
}

void* CProgressUI::GetInterface(const std::wstring& name) {
  if (name == L"Progress") return static_cast<CProgressUI*>(this);
  return CLabelUI::GetInterface(name);
}

void CProgressUI::SetHorizontal(bool horizontal) {
  if (horizontal_ == horizontal) return;
  horizontal_ = horizontal;
  Invalidate();
}

void CProgressUI::SetStretchForeImage(bool stretch) {
  if (stretchFore_ == stretch) return;
  stretchFore_ = stretch;
  Invalidate();
}

void CProgressUI::SetMinValue(int value) {
  min_ = value;
  Invalidate();
}

void CProgressUI::SetMaxValue(int value) {
  max_ = value;
  Invalidate();
}

void CProgressUI::SetValue(int value) {
  if (value == value_ || value < min_ || value > max_) return;
  value_ = value;
  Invalidate();
  UpdateText();
}

void CProgressUI::UpdateText() {
  if (!showText_) return;
  wchar_t text[32];
  double percent = max_ != min_ ? (value_ - min_) * 100.0 / (max_ - min_) : 0.0;
  _snwprintf(text, 32, L"%.0f%%", percent);
  text[31] = 0;
  SetText(text);
}

void CProgressUI::Normalise() {
  if (min_ >= max_) max_ = min_ + 1;
  value_ = std::clamp(value_, min_, max_);
}

void CProgressUI::PaintForeColor(HDC dc) {
  if (foreColor_ == 0) return;
  Normalise();
  const long long range = static_cast<long long>(max_) - min_;
  RECT fill = item_;
  if (horizontal_) {
    fill.right = item_.left + static_cast<LONG>((item_.right - item_.left) *
                                                (static_cast<long long>(value_) - min_) / range);
  } else {
    fill.bottom = item_.top + static_cast<LONG>((item_.bottom - item_.top) *
                                                (static_cast<long long>(max_) - value_) / range);
  }
  DrawColor(dc, fill, foreColor_);
}

void CProgressUI::PaintForeImage(HDC dc) {
  if (foreImage_.empty()) return;
  Normalise();
  const long long range = static_cast<long long>(max_) - min_;
  const LONG width = item_.right - item_.left;
  const LONG height = item_.bottom - item_.top;
  LONG top = 0;
  LONG right = width;
  LONG fillHeight = height;
  if (horizontal_) {
    right = static_cast<LONG>(width * (static_cast<long long>(value_) - min_) / range);
  } else {
    top = static_cast<LONG>(height * (static_cast<long long>(max_) - value_) / range);
    fillHeight = height - top;
  }
  // Image strings are written at 100 %: the numbers go back to that scale.
  const int scale = manager_ != nullptr ? manager_->GetDPIObj()->GetScale() : 100;
  const int l = 0;
  const int t = MulDiv(top, 100, scale);
  const int r = MulDiv(right, 100, scale);
  const int b = t + MulDiv(fillHeight, 100, scale);
  wchar_t modify[128];
  if (stretchFore_) {
    _snwprintf(modify, 128, L"dest='%d,%d,%d,%d'", l, t, r, b);
  } else {
    _snwprintf(modify, 128, L"dest='%d,%d,%d,%d' source='%d,%d,%d,%d'", l, t, r, b, l, t, r, b);
  }
  modify[127] = 0;
  foreModify_ = modify;
  DrawImage(dc, foreImage_, foreModify_);
}

void CProgressUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
  const wchar_t* v = value.c_str();
  if (name == L"hor") {
    SetHorizontal(ParseMarkupBool(v));
  } else if (name == L"min") {
    SetMinValue(ParseMarkupInt(v));
  } else if (name == L"max") {
    SetMaxValue(ParseMarkupInt(v));
  } else if (name == L"value") {
    SetValue(ParseMarkupInt(v));
  } else if (name == L"isstretchfore") {
    SetStretchForeImage(ParseMarkupBool(v));
  } else {
    CLabelUI::SetAttribute(name, value);
  }
}
