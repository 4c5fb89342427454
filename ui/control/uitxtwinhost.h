// The host of the platform's windowless text services behind a rich edit: it answers the
// services' questions (rectangle, formats, properties, colours), turns their requests (caret,
// timers, capture, focus, invalidation, scroll bars) into work of the paint manager and the
// control, and passes their notifications on to the control.
#pragma once
#include <windows.h>
#include <richedit.h>
#include <textserv.h>

#include <string>

#include "scopeguard.h"

class CPaintManagerUI;
class CRichEditUI;

class CTxtWinHost : public ITextHost {
 public:
  // The host with its text services for the owner, with the style word, the text colour
  // (COLORREF) and the first text; null when the services cannot be had. The caller holds the
  // one reference the host starts with.
  static CTxtWinHost* Create(CRichEditUI* owner, DWORD style, COLORREF color,
                             const std::wstring& text);

  ITextServices* GetTextServices() const { return services_.Get(); }
  // Cuts the link to the owner and ends the services; called when the owner goes away, since
  // the services may still call the host while they are released.
  void Detach();

  // ---- Settings of the owner; each one is announced to the services ----
  const RECT& GetClientRect() const { return client_; }
  // The client rectangle and its extent in HIMETRIC units.
  void SetClientRect(const RECT& rect);
  // The character format from a font and a colour (COLORREF).
  void SetFont(HFONT font);
  void SetColor(COLORREF color);
  void SetTransparent(bool transparent);
  void SetRichTextFlag(bool rich);
  void SetReadOnly(bool readOnly);
  // Values below 1 give the default limit.
  void LimitText(LONG length);
  bool DoSetCursor(POINT point);
  // Activates the services in place; false (and not active) when they refuse.
  bool ActivateInPlace();

  // ---- State the services set ----
  bool IsCaptured() const { return captured_; }
  bool IsCaretShown() const { return caretShown_; }
  // The caret's rectangle in client coordinates of the window.
  RECT GetCaretRect() const;
  // What the services last told about a scroll bar (SB_HORZ or SB_VERT).
  struct ScrollBarState {
    bool shown = false;
    bool enabled = true;
    LONG min = 0;
    LONG max = 0;
    LONG pos = 0;
  };
  const ScrollBarState& GetScrollBar(int bar) const { return bar == SB_VERT ? vScroll_ : hScroll_; }

  // ---- IUnknown ----
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // ---- ITextHost ----
  HDC TxGetDC() override;
  INT TxReleaseDC(HDC dc) override;
  WINBOOL TxShowScrollBar(INT bar, WINBOOL show) override;
  WINBOOL TxEnableScrollBar(INT bars, INT arrows) override;
  WINBOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL redraw) override;
  WINBOOL TxSetScrollPos(INT bar, INT pos, WINBOOL redraw) override;
  void TxInvalidateRect(LPCRECT rect, WINBOOL mode) override;
  void TxViewChange(WINBOOL update) override;
  WINBOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
  WINBOOL TxShowCaret(WINBOOL show) override;
  WINBOOL TxSetCaretPos(INT x, INT y) override;
  WINBOOL TxSetTimer(UINT id, UINT timeout) override;
  void TxKillTimer(UINT id) override;
  void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update,
                        LPRECT updateRect, UINT flags) override;
  void TxSetCapture(WINBOOL capture) override;
  void TxSetFocus() override;
  void TxSetCursor(HCURSOR cursor, WINBOOL text) override;
  WINBOOL TxScreenToClient(LPPOINT point) override;
  WINBOOL TxClientToScreen(LPPOINT point) override;
  HRESULT TxActivate(LONG* oldState) override;
  HRESULT TxDeactivate(LONG newState) override;
  HRESULT TxGetClientRect(LPRECT rect) override;
  HRESULT TxGetViewInset(LPRECT rect) override;
  HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
  HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
  COLORREF TxGetSysColor(int index) override;
  HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
  HRESULT TxGetMaxLength(DWORD* length) override;
  HRESULT TxGetScrollBars(DWORD* scrollBars) override;
  HRESULT TxGetPasswordChar(TCHAR* character) override;
  HRESULT TxGetAcceleratorPos(LONG* position) override;
  HRESULT TxGetExtent(LPSIZEL extent) override;
  HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override;
  HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override;
  HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
  HRESULT TxNotify(DWORD code, void* data) override;
  HIMC TxImmGetContext() override;
  void TxImmReleaseContext(HIMC context) override;
  HRESULT TxGetSelectionBarWidth(LONG* width) override;

 private:
  CTxtWinHost(CRichEditUI* owner, DWORD style, COLORREF color);
  virtual ~CTxtWinHost();
  CTxtWinHost(const CTxtWinHost&) = delete;
  CTxtWinHost& operator=(const CTxtWinHost&) = delete;

  // The owner's paint manager; null without one (or once detached).
  CPaintManagerUI* Manager() const;
  HWND Window() const;
  // The paint device's logical DPI along one axis, with the fallbacks of the owner's scale.
  int LogicalDpi(int axis);
  void Announce(DWORD bit, bool on = true);

  CRichEditUI* owner_;
  ULONG references_ = 1;
  ComRef<ITextServices> services_;
  DWORD style_;
  bool richText_ = true;
  bool wordWrap_ = false;
  bool transparent_ = true;
  bool inPlaceActive_ = false;
  bool caretShown_ = false;
  bool captured_ = false;
  bool autoWordSelection_ = false;
  bool allowBeep_ = false;
  bool saveSelection_ = true;
  LONG maxLength_ = 32767;
  RECT client_ = {};
  SIZEL extent_ = {};
  POINT caretPos_ = {};
  SIZE caretSize_ = {};
  ScrollBarState hScroll_;
  ScrollBarState vScroll_;
  CHARFORMAT2W charFormat_ = {};
  PARAFORMAT2 paraFormat_ = {};
};
