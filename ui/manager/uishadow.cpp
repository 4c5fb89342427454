#include "uishadow.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "uialphablend.h"
#include "uiimage.h"
#include "uimanager.h"
#include "uimemorybitmap.h"
#include "uirender.h"

namespace {

constexpr wchar_t kShadowClass[] = L"UIShadowWnd";
constexpr UINT_PTR kSubclassId = 0x5348;  // "SH"

// One pass of a box blur of `radius` along rows (step 1) or columns (step width).
void BoxBlur(std::vector<float>& values, int width, int height, int radius, bool rows) {
  if (radius <= 0) return;
  const int lines = rows ? height : width;
  const int length = rows ? width : height;
  const int step = rows ? 1 : width;
  std::vector<float> line(length);
  for (int l = 0; l < lines; ++l) {
    float* start = values.data() + (rows ? static_cast<size_t>(l) * width : l);
    for (int i = 0; i < length; ++i) line[i] = start[static_cast<size_t>(i) * step];
    float sum = 0;
    const float span = static_cast<float>(2 * radius + 1);
    for (int i = -radius; i <= radius; ++i) sum += line[std::clamp(i, 0, length - 1)];
    for (int i = 0; i < length; ++i) {
      start[static_cast<size_t>(i) * step] = sum / span;
      sum += line[std::min(i + radius + 1, length - 1)] - line[std::max(i - radius, 0)];
    }
  }
}

}  // namespace

CShadowUI::~CShadowUI() {
  if (owner_ != nullptr) RemoveWindowSubclass(owner_, OwnerProc, kSubclassId);
  if (window_ != nullptr) DestroyWindow(window_);
}

void CShadowUI::RegisterWindowClass() {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = CSkinSource::GetWindowModule();
  windowClass.lpszClassName = kShadowClass;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  if (GetClassInfoExW(windowClass.hInstance, kShadowClass, &windowClass)) return;
  RegisterClassExW(&windowClass);
}

bool CShadowUI::SetSize(int size) {
  if (size < -35 || size > 35) return false;
  size_ = size;
  Update();
  return true;
}

bool CShadowUI::SetSharpness(int sharpness) {
  if (sharpness < 0 || sharpness > 35) return false;
  sharpness_ = sharpness;
  Update();
  return true;
}

bool CShadowUI::SetDarkness(int darkness) {
  if (darkness < 0 || darkness > 255) return false;
  darkness_ = darkness;
  Update();
  return true;
}

bool CShadowUI::SetPosition(int x, int y) {
  if (x < -35 || x > 35 || y < -35 || y > 35) return false;
  x_ = x;
  y_ = y;
  Update();
  return true;
}

bool CShadowUI::SetColor(DWORD color) {
  color_ = color;
  Update();
  return true;
}

bool CShadowUI::SetImage(const std::wstring& image) {
  image_ = image;
  Update();
  return true;
}

bool CShadowUI::SetShadowCorner(const RECT& corner) {
  if (corner.left < 0 || corner.top < 0 || corner.right < 0 || corner.bottom < 0) return false;
  corner_ = corner;
  Update();
  return true;
}

void CShadowUI::Create(CPaintManagerUI* manager) {
  if (!show_ || window_ != nullptr || manager == nullptr) return;
  manager_ = manager;
  owner_ = manager->GetPaintWindow();
  if (owner_ == nullptr) return;
  window_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW, kShadowClass,
                            nullptr, WS_POPUP, 0, 0, 0, 0, owner_, nullptr,
                            CSkinSource::GetWindowModule(), nullptr);
  if (window_ == nullptr) return;
  SetWindowSubclass(owner_, OwnerProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  Update();
}

void CShadowUI::Update() {
  if (window_ == nullptr || owner_ == nullptr) return;
  LONG style = GetWindowLongW(owner_, GWL_STYLE);
  // An empty shadow stays hidden: Wine hands pointer input to a layered click-through window
  // that lies over its owner, so even an empty one would take the owner's clicks.
  if ((style & WS_VISIBLE) == 0 || (style & (WS_MAXIMIZE | WS_MINIMIZE)) != 0 || !HasContent()) {
    ShowWindow(window_, SW_HIDE);
    return;
  }
  if (!IsWindowVisible(window_)) ShowWindow(window_, SW_SHOWNOACTIVATE);
  RECT owner;
  GetWindowRect(owner_, &owner);
  const int width = std::max<int>(1, owner.right - owner.left + 2 * size_);
  const int height = std::max<int>(1, owner.bottom - owner.top + 2 * size_);
  HDC screen = GetDC(nullptr);
  MemoryBitmap bitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  UpdateLayeredWindowFunction update = SystemUpdateLayeredWindow();
  if (!bitmap.Valid() || update == nullptr) return;

  POINT position = {owner.left - size_, owner.top - size_};
  if (!image_.empty()) {
    RECT all = {0, 0, width, height};
    wchar_t corner[96];
    _snwprintf(corner, 96, L"corner='%ld,%ld,%ld,%ld' hole='true'", corner_.left, corner_.top,
               corner_.right, corner_.bottom);
    corner[95] = 0;
    DrawImageString(bitmap.Dc(), manager_, all, all, image_, corner);
  } else if (size_ != 0) {
    position.x += x_;
    position.y += y_;
    DrawSoftShadow(bitmap.Bits(), width, height, owner);
  }
  GdiFlush();

  SIZE size = {width, height};
  POINT source = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  update(window_, nullptr, &position, &size, bitmap.Dc(), &source, 0, &blend, ULW_ALPHA);
}

void CShadowUI::DrawSoftShadow(DWORD* bits, int width, int height, const RECT& window) {
  // The window's outline as coverage, blurred twice in each direction (close to a Gaussian).
  std::vector<float> coverage(static_cast<size_t>(width) * height, 0.0f);
  const int inset = std::max(size_, 0);
  for (int y = inset; y < height - inset; ++y) {
    for (int x = inset; x < width - inset; ++x) coverage[static_cast<size_t>(y) * width + x] = 1;
  }
  const int radius = sharpness_ / 2;
  for (int pass = 0; pass < 2; ++pass) {
    BoxBlur(coverage, width, height, radius, true);
    BoxBlur(coverage, width, height, radius, false);
  }
  const DWORD red = color_ >> 16 & 0xFF;
  const DWORD green = color_ >> 8 & 0xFF;
  const DWORD blue = color_ & 0xFF;
  // The part under the window itself stays clear: the shadow window lies above it.
  RECT under = {size_ - x_, size_ - y_, size_ - x_ + (window.right - window.left),
                size_ - y_ + (window.bottom - window.top)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      size_t at = static_cast<size_t>(y) * width + x;
      POINT point = {x, y};
      if (PtInRect(&under, point)) continue;
      DWORD alpha = static_cast<DWORD>(coverage[at] * darkness_ + 0.5f);
      bits[at] = alpha << 24 | (red * alpha / 255) << 16 | (green * alpha / 255) << 8 |
                 blue * alpha / 255;
    }
  }
}

LRESULT CALLBACK CShadowUI::OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR data) {
  auto* shadow = reinterpret_cast<CShadowUI*>(data);
  switch (message) {
    case WM_WINDOWPOSCHANGED:
      // After every move, size change, showing, hiding, minimising or maximising.
      shadow->Update();
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, OwnerProc, kSubclassId);
      DestroyWindow(shadow->window_);
      shadow->window_ = nullptr;
      shadow->owner_ = nullptr;
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}
