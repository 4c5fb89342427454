#include "uitxtwinhost.h"

#include <imm.h>

#include <cstdlib>
#include <string>

#include "procaddress.h"
#include "safelibrary.h"
#include "uimanager.h"
#include "uirichedit.h"

namespace {

// The interface identifiers, defined here because the import libraries do not carry them.
constexpr IID kIidTextServices = {
    0x8D33F740, 0xCF58, 0x11CE, {0xA8, 0x9D, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};
constexpr IID kIidTextHost = {
    0xC5BDD8D0, 0xD26E, 0x11CE, {0xA8, 0x9E, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};

constexpr LONG kDefaultMaxLength = 32767;
// One tab stop every half inch, in twips.
constexpr LONG kDefaultTab = 720;
constexpr LONG kTwipsPerInch = 1440;
constexpr LONG kHimetricPerInch = 2540;

// The services' factory of "Msftedit.dll" from the system folder. The library stays loaded
// for the life of the process: the services of every edit run its code.
PCreateTextServices TextServicesFactory() {
  static const PCreateTextServices factory = LookUpFunction<PCreateTextServices>(
      LoadSystemLibrary(L"Msftedit.dll"), "CreateTextServices");
  return factory;
}

}  // namespace

CTxtWinHost* CTxtWinHost::Create(CRichEditUI* owner, DWORD style, COLORREF color,
                                 const std::wstring& text) {
  PCreateTextServices factory = TextServicesFactory();
  if (factory == nullptr) return nullptr;
  auto* host = new CTxtWinHost(owner, style, color);
  ComRef<IUnknown> unknown;
  bool created = SUCCEEDED(factory(nullptr, host, unknown.Out())) && unknown &&
                 SUCCEEDED(unknown->QueryInterface(kIidTextServices, host->services_.OutVoid()));
  // The first interface goes while the host still exists: the services may call it on leaving.
  unknown.Reset();
  if (!created || (!text.empty() && FAILED(host->services_->TxSetText(text.c_str())))) {
    host->Release();
    return nullptr;
  }
  host->Announce(TXTBIT_MAXLENGTHCHANGE);
  return host;
}

CTxtWinHost::CTxtWinHost(CRichEditUI* owner, DWORD style, COLORREF color)
    : owner_(owner), style_(style) {
  richText_ = owner->IsRich();
  transparent_ = owner->IsTransparent();
  wordWrap_ = (style & (ES_AUTOHSCROLL | WS_HSCROLL)) == 0;
  LONG limit = owner->GetLimitText();
  maxLength_ = limit < 1 ? kDefaultMaxLength : limit;

  charFormat_.cbSize = sizeof charFormat_;
  CPaintManagerUI* manager = Manager();
  SetFont(manager != nullptr ? manager->GetFont(owner->GetFont()) : nullptr);
  SetColor(color);

  paraFormat_.cbSize = sizeof paraFormat_;
  paraFormat_.dwMask = PFM_ALL;
  paraFormat_.wAlignment = (style & ES_CENTER) != 0  ? PFA_CENTER
                           : (style & ES_RIGHT) != 0 ? PFA_RIGHT
                                                     : PFA_LEFT;
  paraFormat_.cTabCount = 1;
  paraFormat_.rgxTabs[0] = kDefaultTab;
}

CTxtWinHost::~CTxtWinHost() { Detach(); }

void CTxtWinHost::Detach() {
  owner_ = nullptr;
  if (services_) {
    services_->OnTxInPlaceDeactivate();
    services_.Reset();
  }
}

CPaintManagerUI* CTxtWinHost::Manager() const {
  return owner_ != nullptr ? owner_->GetManager() : nullptr;
}

HWND CTxtWinHost::Window() const {
  CPaintManagerUI* manager = Manager();
  return manager != nullptr ? manager->GetPaintWindow() : nullptr;
}

int CTxtWinHost::LogicalDpi(int axis) {
  CPaintManagerUI* manager = Manager();
  HDC dc = TxGetDC();
  int dpi = dc != nullptr ? GetDeviceCaps(dc, axis) : 0;
  if (dpi == 0 && manager != nullptr) dpi = manager->GetDPIObj()->GetDPI();
  return dpi != 0 ? dpi : 96;
}

void CTxtWinHost::Announce(DWORD bit, bool on) {
  if (!services_) return;
  services_->OnTxPropertyBitsChange(bit, on ? bit : 0);
  LRESULT ignored = 0;
  // Wine's text services read the host's character format only when they are created and its
  // maximum length not even then, so a new format and the limit (which Create announces once
  // the services exist) go to them as messages too; on Windows these repeat what the services
  // read through the property bits.
  if (bit == TXTBIT_CHARFORMATCHANGE) {
    services_->TxSendMessage(EM_SETCHARFORMAT, SCF_DEFAULT,
                             reinterpret_cast<LPARAM>(&charFormat_), &ignored);
  } else if (bit == TXTBIT_MAXLENGTHCHANGE) {
    services_->TxSendMessage(EM_EXLIMITTEXT, 0, maxLength_, &ignored);
  }
}

// ---- Settings of the owner ----

void CTxtWinHost::SetClientRect(const RECT& rect) {
  client_ = rect;
  extent_.cx = MulDiv(rect.right - rect.left, kHimetricPerInch, LogicalDpi(LOGPIXELSX));
  extent_.cy = MulDiv(rect.bottom - rect.top, kHimetricPerInch, LogicalDpi(LOGPIXELSY));
  Announce(TXTBIT_EXTENTCHANGE);
  Announce(TXTBIT_CLIENTRECTCHANGE);
}

void CTxtWinHost::SetFont(HFONT font) {
  LOGFONTW lf = {};
  if (font == nullptr || GetObjectW(font, sizeof lf, &lf) == 0) {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  }
  charFormat_.dwMask |= CFM_SIZE | CFM_OFFSET | CFM_FACE | CFM_CHARSET | CFM_BOLD | CFM_ITALIC |
                        CFM_UNDERLINE;
  charFormat_.yHeight = std::abs(lf.lfHeight) * kTwipsPerInch / LogicalDpi(LOGPIXELSY);
  charFormat_.yOffset = 0;
  charFormat_.dwEffects &= ~(CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE);
  if (lf.lfWeight >= FW_BOLD) charFormat_.dwEffects |= CFE_BOLD;
  if (lf.lfItalic) charFormat_.dwEffects |= CFE_ITALIC;
  if (lf.lfUnderline) charFormat_.dwEffects |= CFE_UNDERLINE;
  charFormat_.bCharSet = lf.lfCharSet;
  charFormat_.bPitchAndFamily = lf.lfPitchAndFamily;
  lstrcpynW(charFormat_.szFaceName, lf.lfFaceName, LF_FACESIZE);
  Announce(TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetColor(COLORREF color) {
  charFormat_.dwMask |= CFM_COLOR;
  charFormat_.dwEffects &= ~CFE_AUTOCOLOR;
  charFormat_.crTextColor = color;
  Announce(TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetTransparent(bool transparent) {
  transparent_ = transparent;
  Announce(TXTBIT_BACKSTYLECHANGE);
}

void CTxtWinHost::SetRichTextFlag(bool rich) {
  richText_ = rich;
  Announce(TXTBIT_RICHTEXT, rich);
}

void CTxtWinHost::SetReadOnly(bool readOnly) {
  SetBits(style_, ES_READONLY, readOnly);
  Announce(TXTBIT_READONLY, readOnly);
}

void CTxtWinHost::LimitText(LONG length) {
  maxLength_ = length < 1 ? kDefaultMaxLength : length;
  Announce(TXTBIT_MAXLENGTHCHANGE);
}

bool CTxtWinHost::DoSetCursor(POINT point) {
  if (!services_ || !PtInRect(&client_, point)) return false;
  services_->OnTxSetCursor(DVASPECT_CONTENT, -1, nullptr, nullptr, TxGetDC(), nullptr, &client_,
                           point.x, point.y);
  return true;
}

bool CTxtWinHost::ActivateInPlace() {
  inPlaceActive_ = services_ && SUCCEEDED(services_->OnTxInPlaceActivate(nullptr));
  return inPlaceActive_;
}

RECT CTxtWinHost::GetCaretRect() const {
  return RECT{caretPos_.x, caretPos_.y, caretPos_.x + caretSize_.cx, caretPos_.y + caretSize_.cy};
}

// ---- IUnknown ----

HRESULT STDMETHODCALLTYPE CTxtWinHost::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIidTextHost)) {
    *object = static_cast<ITextHost*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CTxtWinHost::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE CTxtWinHost::Release() {
  ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

// ---- ITextHost ----

HDC CTxtWinHost::TxGetDC() {
  CPaintManagerUI* manager = Manager();
  return manager != nullptr ? manager->GetPaintDC() : nullptr;
}

// The device context is the paint manager's own; it stays with it.
INT CTxtWinHost::TxReleaseDC(HDC) { return 1; }

// This toolkit draws no scroll bars: the services' scroll bar state is kept for the owner.
WINBOOL CTxtWinHost::TxShowScrollBar(INT bar, WINBOOL show) {
  if (bar == SB_HORZ || bar == SB_BOTH) hScroll_.shown = show != FALSE;
  if (bar == SB_VERT || bar == SB_BOTH) vScroll_.shown = show != FALSE;
  return TRUE;
}

WINBOOL CTxtWinHost::TxEnableScrollBar(INT bars, INT arrows) {
  const bool enabled = arrows != ESB_DISABLE_BOTH;
  if (bars == SB_HORZ || bars == SB_BOTH) hScroll_.enabled = enabled;
  if (bars == SB_VERT || bars == SB_BOTH) vScroll_.enabled = enabled;
  return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL) {
  ScrollBarState& state = bar == SB_VERT ? vScroll_ : hScroll_;
  state.min = minPos;
  state.max = maxPos;
  return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollPos(INT bar, INT pos, WINBOOL) {
  (bar == SB_VERT ? vScroll_ : hScroll_).pos = pos;
  return TRUE;
}

void CTxtWinHost::TxInvalidateRect(LPCRECT rect, WINBOOL) {
  CPaintManagerUI* manager = Manager();
  if (manager != nullptr) manager->Invalidate(rect != nullptr ? *rect : client_);
}

void CTxtWinHost::TxViewChange(WINBOOL update) {
  if (owner_ != nullptr) owner_->OnTxViewChanged(update != FALSE);
}

WINBOOL CTxtWinHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height) {
  // As for the system caret, a size of 0 stands for the width or height of a window border.
  caretSize_ = SIZE{width != 0 ? width : GetSystemMetrics(SM_CXBORDER),
                    height != 0 ? height : GetSystemMetrics(SM_CYBORDER)};
  HWND window = Window();
  return window != nullptr && CreateCaret(window, bitmap, width, height);
}

WINBOOL CTxtWinHost::TxShowCaret(WINBOOL show) {
  caretShown_ = show != FALSE;
  if (owner_ != nullptr) owner_->InvalidateCaret();
  HWND window = Window();
  if (window == nullptr) return FALSE;
  return show ? ShowCaret(window) : HideCaret(window);
}

// A layered window shows no system caret; the owner draws it, so both the place it leaves
// and the place it goes to are painted again.
WINBOOL CTxtWinHost::TxSetCaretPos(INT x, INT y) {
  if (owner_ != nullptr) owner_->InvalidateCaret();
  caretPos_ = POINT{x, y};
  if (owner_ != nullptr) {
    owner_->InvalidateCaret();
    owner_->RestartCaretBlink();
  }
  return SetCaretPos(x, y);
}

WINBOOL CTxtWinHost::TxSetTimer(UINT id, UINT timeout) {
  CPaintManagerUI* manager = Manager();
  return manager != nullptr && manager->SetTimer(owner_, id, timeout);
}

void CTxtWinHost::TxKillTimer(UINT id) {
  CPaintManagerUI* manager = Manager();
  if (manager != nullptr) manager->KillTimer(owner_, id);
}

// The window is painted from the off-screen bitmap, so scrolled content is painted again
// instead of moved on the screen.
void CTxtWinHost::TxScrollWindowEx(INT, INT, LPCRECT scroll, LPCRECT, HRGN, LPRECT updateRect,
                                   UINT) {
  RECT area = scroll != nullptr ? *scroll : client_;
  if (updateRect != nullptr) *updateRect = area;
  TxInvalidateRect(&area, FALSE);
}

void CTxtWinHost::TxSetCapture(WINBOOL capture) {
  CPaintManagerUI* manager = Manager();
  if (manager == nullptr) return;
  captured_ = capture != FALSE;
  if (captured_) {
    manager->SetCapture();
  } else {
    manager->ReleaseCapture();
  }
}

void CTxtWinHost::TxSetFocus() {
  if (owner_ != nullptr) owner_->SetFocus();
}

void CTxtWinHost::TxSetCursor(HCURSOR cursor, WINBOOL) { ::SetCursor(cursor); }

WINBOOL CTxtWinHost::TxScreenToClient(LPPOINT point) {
  HWND window = Window();
  return window != nullptr && ScreenToClient(window, point);
}

WINBOOL CTxtWinHost::TxClientToScreen(LPPOINT point) {
  HWND window = Window();
  return window != nullptr && ClientToScreen(window, point);
}

HRESULT CTxtWinHost::TxActivate(LONG* oldState) {
  if (oldState != nullptr) *oldState = 0;
  return S_OK;
}

HRESULT CTxtWinHost::TxDeactivate(LONG) { return S_OK; }

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rect) {
  *rect = client_;
  return S_OK;
}

// The control's text padding is already taken off the client rectangle.
HRESULT CTxtWinHost::TxGetViewInset(LPRECT rect) {
  *rect = RECT{};
  return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** format) {
  *format = reinterpret_cast<const CHARFORMATW*>(&charFormat_);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** format) {
  *format = reinterpret_cast<const PARAFORMAT*>(&paraFormat_);
  return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index) { return GetSysColor(index); }

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* style) {
  *style = transparent_ ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* length) {
  *length = static_cast<DWORD>(maxLength_);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* scrollBars) {
  *scrollBars =
      style_ & (WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* character) {
  *character = L'*';
  return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* position) {
  *position = -1;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL extent) {
  *extent = extent_;
  return S_OK;
}

// The default formats are the control's (its font and colours); the services keep the
// formats they apply to the text themselves.
HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW*) { return S_OK; }

HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT*) { return S_OK; }

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD* bits) {
  DWORD properties = 0;
  if (richText_) properties |= TXTBIT_RICHTEXT;
  if ((style_ & ES_MULTILINE) != 0) properties |= TXTBIT_MULTILINE;
  if ((style_ & ES_READONLY) != 0) properties |= TXTBIT_READONLY;
  if ((style_ & ES_PASSWORD) != 0) properties |= TXTBIT_USEPASSWORD;
  if ((style_ & ES_NOHIDESEL) == 0) properties |= TXTBIT_HIDESELECTION;
  if (autoWordSelection_) properties |= TXTBIT_AUTOWORDSEL;
  if (wordWrap_) properties |= TXTBIT_WORDWRAP;
  if (allowBeep_) properties |= TXTBIT_ALLOWBEEP;
  if (saveSelection_) properties |= TXTBIT_SAVESELECTION;
  *bits = properties & mask;
  return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD code, void* data) {
  if (code == EN_REQUESTRESIZE) {
    const auto* request = static_cast<const REQRESIZE*>(data);
    client_.right = client_.left + (request->rc.right - request->rc.left);
    client_.bottom = client_.top + (request->rc.bottom - request->rc.top);
    return S_OK;
  }
  if (owner_ != nullptr) owner_->OnTxNotify(code, data);
  return S_OK;
}

HIMC CTxtWinHost::TxImmGetContext() {
  HWND window = Window();
  return window != nullptr ? ImmGetContext(window) : nullptr;
}

void CTxtWinHost::TxImmReleaseContext(HIMC context) {
  HWND window = Window();
  if (window != nullptr) ImmReleaseContext(window, context);
}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* width) {
  *width = 0;
  return S_OK;
}
