// The paint manager's layout and painting: everything is drawn into one off-screen 32-bit
// bitmap and then copied to the window, or, for a layered window, handed to the system with
// its per-pixel alpha.
#include <algorithm>

#include "uialphablend.h"
#include "uicontrol.h"
#include "uidraw.h"
#include "uiimage.h"
#include "uimanager.h"
#include "uimemorybitmap.h"
#include "uirender.h"

namespace {

CControlUI* CollectUpdates(CControlUI* control, void* data) {
  if (control->IsUpdateNeeded()) static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
  return nullptr;
}

// The part of rect that lies in a bitmap of the size.
RECT ClipToBitmap(const RECT& rect, SIZE size) {
  RECT bounds = {0, 0, size.cx, size.cy};
  RECT clipped = {};
  IntersectRect(&clipped, &rect, &bounds);
  return clipped;
}

// Pixels that GDI drew leave their alpha at 0; any such pixel that is not black is opaque.
void MakeDrawnPixelsOpaque(DWORD* bits, int stride, const RECT& rect) {
  for (LONG y = rect.top; y < rect.bottom; ++y) {
    DWORD* row = bits + static_cast<size_t>(y) * stride;
    for (LONG x = rect.left; x < rect.right; ++x) {
      if ((row[x] & 0xFF000000) == 0 && (row[x] & 0x00FFFFFF) != 0) row[x] |= 0xFF000000;
    }
  }
}

// Ends the paint of a non-layered window whatever path the handler takes.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
  ~PaintScope() { EndPaint(window_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC Dc() const { return dc_; }
  const RECT& Rect() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_ = {};
  HDC dc_;
};

}  // namespace

bool CPaintManagerUI::EnsureOffscreen(const RECT& client) {
  SIZE size = {client.right - client.left, client.bottom - client.top};
  if (offscreen_ != nullptr && size.cx == offscreen_->Size().cx &&
      size.cy == offscreen_->Size().cy) {
    return true;
  }
  offscreen_.reset();
  if (size.cx <= 0 || size.cy <= 0) return false;
  offscreen_ = std::make_unique<MemoryBitmap>(paintDC_, size.cx, size.cy);
  if (!offscreen_->Valid()) offscreen_.reset();
  return offscreen_ != nullptr;
}

bool CPaintManagerUI::LayOut() {
  if (!updateNeeded_) return false;
  updateNeeded_ = false;
  RECT client;
  GetClientRect(window_, &client);
  if (IsRectEmpty(&client) || IsIconic(window_)) return false;
  bool rootLaidOut = false;
  if (root_->IsUpdateNeeded()) {
    offscreen_.reset();
    root_->SetPos(client, true);
    rootLaidOut = true;
  } else {
    std::vector<CControlUI*> pending;
    root_->FindControl(CollectUpdates, &pending,
                       UIFIND_VISIBLE | UIFIND_ME_FIRST | UIFIND_UPDATETEST);
    for (CControlUI* control : pending) control->SetPos(control->GetPos(), true);
  }
  if (firstLayout_) {
    firstLayout_ = false;
    SendNotify(root_, kNotifyWindowInit, 0, 0, false);
    shadow_.Update();
  }
  return rootLaidOut;
}

bool CPaintManagerUI::HandlePaint() {
  if (root_ == nullptr) {
    PaintScope scope(window_);
    FillRect(scope.Dc(), &scope.Rect(), static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return true;
  }

  RECT paint = {};
  std::unique_ptr<PaintScope> scope;
  if (layered_) {
    // A layered window shows what it is given; its update area is every invalidated part.
    RECT update = {};
    GetUpdateRect(window_, &update, FALSE);
    UnionRect(&paint, &update, &layeredUpdate_);
    layeredUpdate_ = RECT{};
    ValidateRect(window_, nullptr);
  } else {
    scope = std::make_unique<PaintScope>(window_);
    paint = scope->Rect();
  }
  if (IsRectEmpty(&paint) && !updateNeeded_) return true;

  if (focusNeeded_) {
    focusNeeded_ = false;
    SetNextTabControl(true);
  }
  bool rootLaidOut = LayOut();
  if (root_ == nullptr) return true;
  RECT client;
  GetClientRect(window_, &client);
  if (rootLaidOut) {
    // The whole tree moved: everything is painted now, nothing is left for later.
    paint = client;
    layeredUpdate_ = RECT{};
    ValidateRect(window_, nullptr);
  }
  if (!EnsureOffscreen(client)) {
    InvalidateRect(window_, nullptr, FALSE);
    return true;
  }
  paint = ClipToBitmap(paint, offscreen_->Size());
  if (IsRectEmpty(&paint)) return true;

  GdiFlush();
  for (LONG y = paint.top; y < paint.bottom; ++y) {
    DWORD* row = offscreen_->Bits() + static_cast<size_t>(y) * offscreen_->Size().cx;
    std::fill(row + paint.left, row + paint.right, 0);
  }
  {
    CRenderClip clip(offscreen_->Dc(), paint);
    root_->Paint(offscreen_->Dc(), paint, nullptr);
    if (layered_) PrintNativeWindows(paint);
    for (CControlUI* control : std::vector<CControlUI*>(postPaint_)) {
      control->DoPostPaint(offscreen_->Dc(), paint);
    }
  }
  GdiFlush();

  if (layered_) {
    RepairAlpha(paint);
    if (!layeredImage_.empty()) ApplyLayeredMask(paint);
  }
  if (showUpdateRect_) DrawRect(offscreen_->Dc(), paint, 1, 0xFFFF0000);
  if (layered_) {
    UpdateLayered(paint);
  } else {
    BitBlt(scope->Dc(), paint.left, paint.top, paint.right - paint.left, paint.bottom - paint.top,
           offscreen_->Dc(), paint.left, paint.top, SRCCOPY);
  }

  if (updateNeeded_) InvalidateRect(window_, nullptr, FALSE);
  if (rootLaidOut && root_ != nullptr) SendNotify(root_, kNotifyWindowSize, 0, 0, true);
  return true;
}

void CPaintManagerUI::PrintNativeWindows(const RECT& paint) {
  for (const NativeWindow& native : std::vector<NativeWindow>(nativeWindows_)) {
    if (!IsWindowVisible(native.window)) continue;
    RECT rect;
    GetWindowRect(native.window, &rect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
    RECT part;
    if (!IntersectRect(&part, &rect, &paint)) continue;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    MemoryBitmap copy(offscreen_->Dc(), width, height);
    if (!copy.Valid()) continue;
    SendMessageW(native.window, WM_PRINT, reinterpret_cast<WPARAM>(copy.Dc()),
                 PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
    GdiFlush();
    MakeDrawnPixelsOpaque(copy.Bits(), width, RECT{0, 0, width, height});
    BitBlt(offscreen_->Dc(), part.left, part.top, part.right - part.left, part.bottom - part.top,
           copy.Dc(), part.left - rect.left, part.top - rect.top, SRCCOPY);
  }
}

void CPaintManagerUI::RepairAlpha(const RECT& paint) {
  MakeDrawnPixelsOpaque(offscreen_->Bits(), offscreen_->Size().cx, paint);
}

void CPaintManagerUI::ApplyLayeredMask(const RECT& paint) {
  const int width = offscreen_->Size().cx;
  const int height = offscreen_->Size().cy;
  MemoryBitmap mask(offscreen_->Dc(), width, height);
  if (!mask.Valid()) return;
  RECT all = {0, 0, width, height};
  DrawImageString(mask.Dc(), this, all, all, layeredImage_);
  GdiFlush();
  for (LONG y = paint.top; y < paint.bottom; ++y) {
    for (LONG x = paint.left; x < paint.right; ++x) {
      size_t at = static_cast<size_t>(y) * width + x;
      DWORD alpha = mask.Bits()[at] >> 24;
      DWORD pixel = offscreen_->Bits()[at];
      DWORD result = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        result |= ((pixel >> shift & 0xFF) * alpha / 255) << shift;
      }
      offscreen_->Bits()[at] = result;
    }
  }
}

void CPaintManagerUI::UpdateLayered(const RECT&) {
  UpdateLayeredWindowFunction update = SystemUpdateLayeredWindow();
  if (update == nullptr) return;
  LONG exStyle = GetWindowLongW(window_, GWL_EXSTYLE);
  if ((exStyle & WS_EX_LAYERED) == 0) SetWindowLongW(window_, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
  RECT window;
  GetWindowRect(window_, &window);
  POINT destination = {window.left, window.top};
  SIZE size = offscreen_->Size();
  POINT source = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, layeredOpacity_, AC_SRC_ALPHA};
  update(window_, nullptr, &destination, &size, offscreen_->Dc(), &source, 0, &blend, ULW_ALPHA);
}
