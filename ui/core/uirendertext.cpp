#include "uirendertext.h"

#include <gdiplus.h>

#include <cmath>

#include "uigdiselection.h"
#include "uiskinresources.h"
#include "uivalues.h"

namespace {

class GdiplusText {
 public:
  GdiplusText(HDC dc, HFONT font, const CSkinResources& resources, UINT style)
      : graphics_(dc), font_(dc, font), format_(Gdiplus::StringFormat::GenericTypographic()) {
    int hint = resources.GetGdiplusTextRenderingHint();
    graphics_.SetTextRenderingHint(static_cast<Gdiplus::TextRenderingHint>(
        hint >= 1 && hint <= 5 ? hint : 0));
    graphics_.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    graphics_.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    if ((style & DT_END_ELLIPSIS) != 0) format_.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
    INT flags = Gdiplus::StringFormatFlagsMeasureTrailingSpaces;
    if ((style & DT_SINGLELINE) != 0) flags |= Gdiplus::StringFormatFlagsNoWrap;
    if ((style & DT_NOCLIP) != 0) flags |= Gdiplus::StringFormatFlagsNoClip;
    format_.SetFormatFlags(flags);
    format_.SetAlignment((style & DT_CENTER) != 0  ? Gdiplus::StringAlignmentCenter
                         : (style & DT_RIGHT) != 0 ? Gdiplus::StringAlignmentFar
                                                   : Gdiplus::StringAlignmentNear);
    format_.SetLineAlignment((style & DT_VCENTER) != 0  ? Gdiplus::StringAlignmentCenter
                             : (style & DT_BOTTOM) != 0 ? Gdiplus::StringAlignmentFar
                                                        : Gdiplus::StringAlignmentNear);
  }

  // False when GDI+ has no font for the face (the GDI path then draws the text).
  bool Usable() const { return font_.GetLastStatus() == Gdiplus::Ok; }

  Gdiplus::RectF Measure(const std::wstring& text, const Gdiplus::RectF& layout) {
    Gdiplus::RectF bounds;
    graphics_.MeasureString(text.c_str(), static_cast<INT>(text.size()), &font_, layout, &format_,
                            &bounds);
    return bounds;
  }

  void Draw(const std::wstring& text, const Gdiplus::RectF& layout, DWORD color) {
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    graphics_.DrawString(text.c_str(), static_cast<INT>(text.size()), &font_, layout, &format_,
                         &brush);
  }

 private:
  Gdiplus::Graphics graphics_;
  Gdiplus::Font font_;
  Gdiplus::StringFormat format_;
};

// The text with its middle replaced by "..." until it fits the width; the full text when no
// shortened form fits.
std::wstring MiddleEllipsis(GdiplusText& text, const std::wstring& full,
                            const Gdiplus::RectF& layout) {
  const Gdiplus::REAL available = std::round(layout.Width);
  Gdiplus::REAL width = text.Measure(full, layout).Width;
  const int n = static_cast<int>(full.size());
  int p = n / 2;
  int s = p + 1;
  std::wstring candidate = full;
  while (s < n) {
    if (available >= width) break;
    --p;
    ++s;
    if (p < 0) break;
    candidate = full.substr(0, p) + L"..." + full.substr(s);
    width = text.Measure(candidate, layout).Width;
  }
  return available >= width ? candidate : full;
}

// The longest start of the text with "…" that fits the width, for a single line. Wine's GDI+
// does not trim with an ellipsis character; where GDI+ trims by itself the text measures as
// fitting and is drawn as it is.
std::wstring EndEllipsis(GdiplusText& text, const std::wstring& full,
                         const Gdiplus::RectF& layout) {
  Gdiplus::RectF unbounded(layout.X, layout.Y, 1e6f, layout.Height);
  if (text.Measure(full, unbounded).Width <= layout.Width) return full;
  size_t low = 0;
  size_t high = full.size();
  while (low < high) {
    size_t middle = (low + high + 1) / 2;
    if (text.Measure(full.substr(0, middle) + L"\u2026", unbounded).Width <= layout.Width) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return full.substr(0, low) + L"\u2026";
}

// False when GDI+ could not take the text.
bool RenderGdiplus(HDC dc, CSkinResources& resources, HFONT font, RECT& rect,
                   const std::wstring& text, DWORD color, UINT style, bool roundMeasure) {
  GdiplusText gdiplus(dc, font, resources, style);
  if (!gdiplus.Usable()) return false;
  Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(rect.left), static_cast<Gdiplus::REAL>(rect.top),
                        static_cast<Gdiplus::REAL>(rect.right - rect.left),
                        static_cast<Gdiplus::REAL>(rect.bottom - rect.top));
  if ((style & DT_CALCRECT) != 0) {
    Gdiplus::RectF bounds = gdiplus.Measure(text, layout);
    if (roundMeasure) {
      rect.right = rect.left + static_cast<LONG>(std::lround(bounds.Width));
      rect.bottom = rect.top + static_cast<LONG>(std::lround(bounds.Height));
    } else {
      rect.right = rect.left + static_cast<LONG>(bounds.Width + 0.5f) + 1;
      rect.bottom = rect.top + static_cast<LONG>(bounds.Height + 0.5f) + 1;
    }
    return true;
  }
  std::wstring drawn = text;
  if ((style & kTextMiddleEllipsis) != 0) {
    drawn = MiddleEllipsis(gdiplus, text, layout);
  } else if ((style & (DT_END_ELLIPSIS | DT_SINGLELINE)) == (DT_END_ELLIPSIS | DT_SINGLELINE)) {
    drawn = EndEllipsis(gdiplus, text, layout);
  }
  gdiplus.Draw(drawn, layout, color);
  if (resources.IsTextRenderDouble()) gdiplus.Draw(drawn, layout, color);
  return true;
}

void RenderGdi(HDC dc, RECT& rect, const std::wstring& text, DWORD color, UINT style) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorRefOf(color));
  UINT flags = style & ~kTextMiddleEllipsis;
  size_t entity = text.find(L"&#x");
  if (entity == std::wstring::npos) {
    DrawTextW(dc, text.c_str(), -1, &rect, flags);
    return;
  }
  // "&#xE8A7;" draws the one character of that code (an icon font's glyph).
  std::wstring code = text.substr(entity + 3, 4);
  if (!code.empty() && code.back() == L' ') code.pop_back();
  if (!code.empty() && code.back() == L';') code.pop_back();
  wchar_t character = static_cast<wchar_t>(ParseMarkupColor(code.c_str()));
  DrawTextW(dc, &character, 1, &rect, flags);
}

}  // namespace

void RenderText(HDC dc, CSkinResources* resources, RECT& rect, const std::wstring& text,
                DWORD color, int font, UINT style, bool senderIsEdit, bool roundMeasure) {
  const bool measuring = (style & DT_CALCRECT) != 0;
  if (resources == nullptr || (text.empty() && !measuring)) return;
  HFONT handle = resources->GetFont(font);
  GdiSelection selected(dc, handle);
  // The outline-text renderer of "textdesigner" is not part of this toolkit: such text takes
  // the GDI+ path.
  bool gdiplus = (resources->IsLayered() || resources->IsUseGdiplusText() ||
                  resources->IsUseTextDesigner()) &&
                 !(measuring && senderIsEdit);
  if (gdiplus && RenderGdiplus(dc, *resources, handle, rect, text, color, style, roundMeasure)) {
    return;
  }
  RenderGdi(dc, rect, text, color, style);
}
