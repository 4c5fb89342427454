// The rich edit's painting: state images, the services' text, the drawn caret of a layered
// window and the tip of an empty box.
#include <algorithm>

#include "uidraw.h"
#include "uimanager.h"
#include "uimemorybitmap.h"
#include "uirendertext.h"
#include "uirichedit.h"
#include "uitxtwinhost.h"

bool CRichEditUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stop) {
  RECT area;
  if (!IntersectRect(&area, &paint, &item_)) return true;
  CRenderClip clip(dc, area);
  CControlUI::DoPaint(dc, paint, stop);
  ITextServices* services = host_ != nullptr ? host_->GetTextServices() : nullptr;
  if (services != nullptr) {
    RECT client = host_->GetClientRect();
    RECT update = paint;
    services->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, dc, nullptr,
                     reinterpret_cast<LPCRECTL>(&client), nullptr, &update, nullptr, 0,
                     TXTVIEW_ACTIVE);
    if (enabledAlpha_) RepairTextAlpha(dc);
  }
  if (!PaintItems(dc, paint, stop)) return false;
  PaintCaret(dc);
  PaintTip(dc);
  return true;
}

void CRichEditUI::PaintBkColor(HDC dc) {
  if (!focused_ || focusedBkColor_ == 0) {
    CContainerUI::PaintBkColor(dc);
    return;
  }
  FillBackground(dc, focusedBkColor_, GetBorderRound());
}

void CRichEditUI::PaintStatusImage(HDC dc) {
  SetBits(buttonState_, kStateDisabled, !IsEnabled());
  SetBits(buttonState_, kStateFocused, focused_);
  const std::wstring* image = (buttonState_ & kStateDisabled) != 0  ? &disabledImage_
                              : (buttonState_ & kStateFocused) != 0 ? &focusedImage_
                              : (buttonState_ & kStateHot) != 0     ? &hotImage_
                                                                    : nullptr;
  if (image != nullptr && !image->empty() && DrawImage(dc, *image)) return;
  if (!normalImage_.empty()) DrawImage(dc, normalImage_);
}

// Text that GDI drew into a transparent box has alpha 0. Each such pixel gets the larger of
// its brightest colour channel (light text keeps its antialiased edges) and the alpha of the
// box's first pixel, which stands for the background's: no text is more transparent than the
// background it lies on.
void CRichEditUI::RepairTextAlpha(HDC dc) {
  const RECT& client = host_->GetClientRect();
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return;
  MemoryBitmap copy(dc, width, height);
  if (!copy.Valid()) return;
  BitBlt(copy.Dc(), 0, 0, width, height, dc, client.left, client.top, SRCCOPY);
  GdiFlush();
  DWORD* bits = copy.Bits();
  const DWORD firstAlpha = bits[0] >> 24;
  for (size_t i = 0, count = static_cast<size_t>(width) * height; i < count; ++i) {
    DWORD pixel = bits[i];
    if ((pixel & 0xFF000000) != 0 || (pixel & 0x00FFFFFF) == 0) continue;
    DWORD brightest = std::max({pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF});
    bits[i] = pixel | std::max(firstAlpha, brightest) << 24;
  }
  BitBlt(dc, client.left, client.top, width, height, copy.Dc(), 0, 0, SRCCOPY);
}

// The system caret does not show on a layered window: the control draws it while the
// services show it, in the text colour (made opaque) or in black.
void CRichEditUI::PaintCaret(HDC dc) {
  if (manager_ == nullptr || !manager_->IsLayered() || host_ == nullptr ||
      !host_->IsCaretShown() || !focused_ || !caretPhase_) {
    return;
  }
  RECT caret = host_->GetCaretRect();
  if (!IntersectRect(&caret, &caret, &item_)) return;
  DrawColor(dc, caret, caretFollowTextColor_ ? textColor_ | 0xFF000000 : 0xFF000000);
}

void CRichEditUI::PaintTip(HDC dc) {
  if (tipValue_.empty() || (focused_ && !focusShowTipValue_) || !GetText().empty()) return;
  RECT padding = GetTextPadding();
  RECT rect = {item_.left + padding.left + tipValuePadding_.left,
               item_.top + padding.top + tipValuePadding_.top,
               item_.right - padding.right - tipValuePadding_.right,
               item_.bottom - padding.bottom - tipValuePadding_.bottom};
  UINT style = tipValueStyle_ | (tipValueEndEllipsis_ ? DT_END_ELLIPSIS : 0);
  RenderText(dc, manager_, rect, tipValue_, tipValueColor_, font_, style);
}
