// The editable text box of the toolkit. It owns no native window: it hosts the platform's
// windowless text services (through CTxtWinHost), feeds them the window's mouse and keyboard
// messages from a message filter, draws them into the window's off-screen bitmap and turns
// their notifications into toolkit notifications ("textchanged", "return", "keydown",
// "timer"). Implementation: uirichedit.cpp (settings, text, initialisation, position),
// uiricheditinput.cpp (message filter, context menu, events), uiricheditpaint.cpp.
#pragma once
#include <windows.h>
#include <richedit.h>

#include <string>

#include "uicontainer.h"

class CTxtWinHost;

class CRichEditUI : public CContainerUI, public IMessageFilterUI {
 public:
  CRichEditUI();
  ~CRichEditUI() override;

  const wchar_t* GetClass() const override { return L"RichEdit"; }
  void* GetInterface(const std::wstring& name) override;
  UINT GetControlFlags() const override;

  // ---- Settings (the style word uses the platform's ES_ and WS_ edit-style flags) ----
  DWORD GetWinStyle() const { return style_; }
  bool IsMultiLine() const { return (style_ & ES_MULTILINE) != 0; }
  bool IsWantTab() const { return wantTab_; }
  void SetWantTab(bool want) { wantTab_ = want; }
  bool IsWantReturn() const { return wantReturn_; }
  void SetWantReturn(bool want) { wantReturn_ = want; }
  bool IsWantCtrlReturn() const { return wantCtrlReturn_; }
  void SetWantCtrlReturn(bool want) { wantCtrlReturn_ = want; }
  bool IsTransparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  bool IsRich() const { return rich_; }
  void SetRich(bool rich);
  bool IsReadOnly() const { return (style_ & ES_READONLY) != 0; }
  void SetReadOnly(bool readOnly);
  int GetFont() const { return font_; }
  // Rebuilds the services' character format from the font of the id.
  void SetFont(int id);
  LONG GetLimitText() const { return maxChar_; }
  // The most characters the text may hold; values below 1 give 32767.
  void SetLimitText(LONG length);
  DWORD GetTextColor() const { return textColor_; }
  void SetTextColor(DWORD color);
  // Colours that replace the text colour while the pointer is over the box or while it has
  // the focus, and the background colour while it has the focus (0: not used).
  void SetHotTextColor(DWORD color) { hotTextColor_ = color; }
  void SetFocusedTextColor(DWORD color) { focusedTextColor_ = color; }
  void SetFocusedBkColor(DWORD color) { focusedBkColor_ = color; }

  // The text padding at the DPI scale of the moment it is set (as written without a manager).
  // In use it follows the current scale when RichEditDpiTextPadding and DPITextPadding are on.
  void SetTextPadding(const RECT& padding);
  RECT GetTextPadding() const;
  bool IsRichEditDpiTextPadding() const { return richEditDpiTextPadding_; }
  void SetRichEditDpiTextPadding(bool scale);

  bool IsFirstFocus() const { return firstFocus_; }
  const std::wstring& GetTipValue() const { return tipValue_; }
  void SetTipValue(const std::wstring& tip);

  // ---- Text (held by the services once they exist) ----
  std::wstring GetText() const override;
  // Replaces all text (select all, replace the selection); before initialisation it is kept
  // for the services.
  void SetText(const std::wstring& text) override;
  void SetSelAll();
  // The selection as EM_EXGETSEL reports it.
  CHARRANGE GetSel() const;
  void SetSel(LONG start, LONG end);
  void ReplaceSel(const std::wstring& text, bool canUndo);
  LRESULT SendServicesMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

  // ---- Hooks of the host ----
  CTxtWinHost* GetHost() const { return host_; }
  // Hands a message to the services; Enter is kept from them when it is not wanted. S_FALSE
  // without services.
  virtual HRESULT TxSendMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // The services' view changed.
  virtual bool OnTxViewChanged(bool update);
  virtual void OnTxNotify(DWORD code, void* data);
  // The caret moved: the drawn caret starts a blink period shown.
  void RestartCaretBlink() { caretPhase_ = true; }
  // Paints the drawn caret of a layered window again, as far as this control and its
  // ancestors show it.
  void InvalidateCaret();

  // ---- CControlUI ----
  void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void Move(SIZE offset, bool invalidate = true) override;
  void DoInit() override;
  // The text services hold a character format made from a font: it is made again from the
  // box's font at the new scale.
  void OnDpiChanged() override { SetFont(GetFont()); }
  // A disabled box shows its text in the manager's disabled colour.
  void SetEnabled(bool enable = true) override;
  void DoEvent(ControlEvent& event) override;
  void SetAttribute(const std::wstring& name, const std::wstring& value) override;
  bool DoPaint(HDC dc, const RECT& paint, CControlUI* stop) override;
  void PaintBkColor(HDC dc) override;
  void PaintStatusImage(HDC dc) override;

  // IMessageFilterUI: the window's messages for the services.
  LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  // The control timer that blinks the drawn caret of a layered window.
  static constexpr UINT kCaretTimer = 20;
  // State bits of the status image.
  enum : UINT { kStateFocused = 0x01, kStateDisabled = 0x04, kStateHot = 0x08 };

  // The colour as the services get it: a layered window would take pure black text for
  // untouched, transparent pixels, so black is nudged to the nearest other colour there.
  COLORREF ServicesColor(DWORD color) const;
  // The colour of the text for the state: disabled, focused, hot or normal.
  DWORD CurrentTextColor() const;
  // Gives the services the colour of the current state.
  void ApplyTextColor();
  // The host's client rectangle for the item rectangle.
  RECT ClientRectFor(const RECT& item) const;
  enum class MouseRoute {
    kIgnore,    // not for this control: the paint manager handles it
    kConsume,   // taken here, kept from the services and from the paint manager
    kServices,  // handed to the services
  };
  MouseRoute RouteMouseMessage(UINT message, LPARAM lParam);
  // Places the input method's composition window at the caret.
  void MoveCompositionWindow();
  void ShowContextMenu(POINT screen);
  void RunMenuCommand(UINT id);
  void PaintCaret(HDC dc);
  void PaintTip(HDC dc);
  void RepairTextAlpha(HDC dc);

  CTxtWinHost* host_ = nullptr;
  bool initialised_ = false;
  DWORD style_ = ES_MULTILINE;
  bool wantTab_ = true;
  bool wantReturn_ = true;
  bool wantCtrlReturn_ = true;
  bool transparent_ = true;
  bool rich_ = true;
  DWORD textColor_ = 0;
  // The colour the services were given last.
  COLORREF servicesColor_ = 0;
  DWORD hotTextColor_ = 0;
  DWORD focusedTextColor_ = 0;
  DWORD focusedBkColor_ = 0;
  int font_ = -1;
  LONG maxChar_ = 32767;
  // The padding as written and the scale it was set at.
  RECT textPadding_ = {};
  int textPaddingScale_ = 100;
  bool richEditDpiTextPadding_ = false;
  std::wstring normalImage_;
  std::wstring hotImage_;
  std::wstring focusedImage_;
  std::wstring disabledImage_;
  UINT buttonState_ = 0;
  std::wstring tipValue_;
  DWORD tipValueColor_ = 0xFFBAC0C5;
  UINT tipValueStyle_ = DT_SINGLELINE;
  bool tipValueEndEllipsis_ = false;
  RECT tipValuePadding_ = {};
  bool focusShowTipValue_ = false;
  bool enabledAlpha_ = false;
  bool wantMenu_ = true;
  bool caretFollowTextColor_ = false;
  bool firstFocus_ = true;
  bool autoSelAll_ = false;
  bool caretPhase_ = true;
  bool firstClick_ = false;
};
