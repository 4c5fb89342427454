// The rich edit's settings, text, initialisation and position.
#include "uirichedit.h"

#include <cwchar>

#include "uimanager.h"
#include "uitxtwinhost.h"
#include "uivalues.h"

namespace {

// Code page of the text exchanged with the services: UTF-16.
constexpr UINT kUtf16CodePage = 1200;

}  // namespace

CRichEditUI::CRichEditUI() = default;

CRichEditUI::~CRichEditUI() {
  if (host_ != nullptr) {
    host_->Detach();
    host_->Release();
    host_ = nullptr;
  }
  if (manager_ != nullptr) manager_->RemoveMessageFilter(this);
}

void* CRichEditUI::GetInterface(const std::wstring& name) {
  if (name == L"RichEdit") return static_cast<CRichEditUI*>(this);
  return CContainerUI::GetInterface(name);
}

// A multi-line box that wants Tab keeps the key from the window's tab navigation; a one-line
// box lets Tab move the focus on.
UINT CRichEditUI::GetControlFlags() const {
  if (!IsEnabled()) return 0;
  UINT flags = UIFLAG_TABSTOP | UIFLAG_SETCURSOR;
  if (wantTab_ && IsMultiLine()) flags |= UIFLAG_WANTTAB;
  return flags;
}

COLORREF CRichEditUI::ServicesColor(DWORD color) const {
  COLORREF rgb = ColorRefOf(color);
  if (rgb == 0 && manager_ != nullptr && manager_->IsLayered()) rgb = RGB(0, 0, 1);
  return rgb;
}

DWORD CRichEditUI::CurrentTextColor() const {
  if (!IsEnabled() && manager_ != nullptr) return manager_->GetDefaultDisabledColor();
  if (focused_ && focusedTextColor_ != 0) return focusedTextColor_;
  if ((buttonState_ & kStateHot) != 0 && hotTextColor_ != 0) return hotTextColor_;
  return textColor_;
}

void CRichEditUI::ApplyTextColor() {
  COLORREF color = ServicesColor(CurrentTextColor());
  if (host_ != nullptr && color != servicesColor_) host_->SetColor(color);
  servicesColor_ = color;
  Invalidate();
}

void CRichEditUI::SetTransparent(bool transparent) {
  transparent_ = transparent;
  if (host_ != nullptr) host_->SetTransparent(transparent);
  Invalidate();
}

void CRichEditUI::SetRich(bool rich) {
  rich_ = rich;
  if (host_ != nullptr) host_->SetRichTextFlag(rich);
}

void CRichEditUI::SetReadOnly(bool readOnly) {
  SetBits(style_, ES_READONLY, readOnly);
  if (host_ != nullptr) host_->SetReadOnly(readOnly);
}

void CRichEditUI::SetFont(int id) {
  font_ = id;
  if (host_ != nullptr && manager_ != nullptr) host_->SetFont(manager_->GetFont(id));
  Invalidate();
}

void CRichEditUI::SetLimitText(LONG length) {
  maxChar_ = length;
  if (host_ != nullptr) host_->LimitText(length);
}

void CRichEditUI::SetTextColor(DWORD color) {
  textColor_ = color;
  ApplyTextColor();
}

void CRichEditUI::SetTextPadding(const RECT& padding) {
  textPadding_ = padding;
  textPaddingScale_ = manager_ != nullptr ? manager_->GetDPIObj()->GetScale() : 100;
  NeedUpdate();
}

RECT CRichEditUI::GetTextPadding() const {
  if (richEditDpiTextPadding_ && IsDPITextPadding() && manager_ != nullptr) {
    return Scale(textPadding_);
  }
  return RECT{MulDiv(textPadding_.left, textPaddingScale_, 100),
              MulDiv(textPadding_.top, textPaddingScale_, 100),
              MulDiv(textPadding_.right, textPaddingScale_, 100),
              MulDiv(textPadding_.bottom, textPaddingScale_, 100)};
}

void CRichEditUI::SetRichEditDpiTextPadding(bool scale) {
  richEditDpiTextPadding_ = scale;
  NeedUpdate();
}

void CRichEditUI::SetTipValue(const std::wstring& tip) {
  tipValue_ = tip;
  Invalidate();
}

LRESULT CRichEditUI::SendServicesMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  ITextServices* services = host_ != nullptr ? host_->GetTextServices() : nullptr;
  if (services == nullptr) return 0;
  LRESULT result = 0;
  services->TxSendMessage(message, wParam, lParam, &result);
  return result;
}

std::wstring CRichEditUI::GetText() const {
  if (host_ == nullptr || host_->GetTextServices() == nullptr) return std::wstring();
  GETTEXTLENGTHEX query = {GTL_DEFAULT, kUtf16CodePage};
  LRESULT length = SendServicesMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0);
  if (length <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GETTEXTEX get = {};
  get.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  get.flags = GT_DEFAULT;
  get.codepage = kUtf16CodePage;
  SendServicesMessage(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                      reinterpret_cast<LPARAM>(&text[0]));
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

void CRichEditUI::SetText(const std::wstring& text) {
  text_ = text;
  if (host_ == nullptr) return;
  SetSel(0, -1);
  ReplaceSel(text, false);
}

void CRichEditUI::SetSelAll() { SetSel(0, -1); }

CHARRANGE CRichEditUI::GetSel() const {
  CHARRANGE range = {};
  SendServicesMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range;
}

void CRichEditUI::SetSel(LONG start, LONG end) {
  CHARRANGE range = {start, end};
  SendServicesMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void CRichEditUI::ReplaceSel(const std::wstring& text, bool canUndo) {
  SendServicesMessage(EM_REPLACESEL, canUndo ? TRUE : FALSE,
                      reinterpret_cast<LPARAM>(text.c_str()));
}

void CRichEditUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  // The filter must not outlive this control's time with a manager. It is added here once the
  // services exist, on the first attach (whose initialisation creates them) and on later ones.
  if (manager_ != nullptr && manager_ != manager) manager_->RemoveMessageFilter(this);
  CContainerUI::SetManager(manager, parent, init);
  if (initialised_ && host_ != nullptr && manager_ != nullptr) manager_->AddMessageFilter(this);
}

void CRichEditUI::DoInit() {
  if (initialised_ || manager_ == nullptr) return;
  CContainerUI::DoInit();
  initialised_ = true;
  servicesColor_ = ServicesColor(CurrentTextColor());
  host_ = CTxtWinHost::Create(this, style_, servicesColor_, text_);
  if (host_ == nullptr) return;
  if (transparent_) host_->SetTransparent(true);
  SendServicesMessage(EM_SETLANGOPTIONS, 0, 0);
  SendServicesMessage(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_LINK | ENM_DROPFILES);
  host_->ActivateInPlace();
  // A layered window shows no system caret: this control draws it and blinks it itself.
  if (manager_->IsLayered()) manager_->SetTimer(this, kCaretTimer, GetCaretBlinkTime());
}

void CRichEditUI::SetEnabled(bool enable) {
  CContainerUI::SetEnabled(enable);
  if (host_ != nullptr) ApplyTextColor();
}

RECT CRichEditUI::ClientRectFor(const RECT& item) const {
  // This toolkit draws no scroll bars, so none takes room from the text.
  RECT inset = GetInset();
  RECT padding = GetTextPadding();
  return RECT{item.left + inset.left + padding.left, item.top + inset.top + padding.top,
              item.right - inset.right - padding.right,
              item.bottom - inset.bottom - padding.bottom};
}

void CRichEditUI::SetPos(RECT rect, bool invalidate) {
  CContainerUI::SetPos(rect, invalidate);
  if (host_ != nullptr) host_->SetClientRect(ClientRectFor(item_));
}

void CRichEditUI::Move(SIZE offset, bool invalidate) {
  CContainerUI::Move(offset, invalidate);
  if (host_ != nullptr) host_->SetClientRect(ClientRectFor(item_));
}

void CRichEditUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
  const wchar_t* v = value.c_str();
  if (name == L"vscrollbar") {
    if (ParseMarkupBool(v)) style_ |= WS_VSCROLL | ES_DISABLENOSCROLL;
  } else if (name == L"autovscroll") {
    if (ParseMarkupBool(v)) style_ |= ES_AUTOVSCROLL;
  } else if (name == L"hscrollbar") {
    if (ParseMarkupBool(v)) style_ |= WS_HSCROLL | ES_DISABLENOSCROLL;
  } else if (name == L"autohscroll") {
    SetBits(style_, ES_AUTOHSCROLL, ParseMarkupBool(v));
  } else if (name == L"multiline") {
    SetBits(style_, ES_MULTILINE, ParseMarkupBool(v));
  } else if (name == L"wanttab") {
    SetWantTab(ParseMarkupBool(v));
  } else if (name == L"wantreturn") {
    SetWantReturn(ParseMarkupBool(v));
  } else if (name == L"wantctrlreturn") {
    SetWantCtrlReturn(ParseMarkupBool(v));
  } else if (name == L"transparent") {
    SetTransparent(ParseMarkupBool(v));
  } else if (name == L"rich") {
    SetRich(ParseMarkupBool(v));
  } else if (name == L"readonly") {
    if (ParseMarkupBool(v)) SetReadOnly(true);
  } else if (name == L"password") {
    if (ParseMarkupBool(v)) style_ |= ES_PASSWORD;
  } else if (name == L"align") {
    if (value.find(L"left") != std::wstring::npos) style_ &= ~(ES_CENTER | ES_RIGHT);
    if (value.find(L"center") != std::wstring::npos) style_ = (style_ & ~ES_RIGHT) | ES_CENTER;
    if (value.find(L"right") != std::wstring::npos) style_ = (style_ & ~ES_CENTER) | ES_RIGHT;
  } else if (name == L"font") {
    SetFont(ParseMarkupInt(v));
  } else if (name == L"textcolor") {
    SetTextColor(ParseMarkupColor(v));
  } else if (name == L"maxchar") {
    SetLimitText(ParseMarkupInt(v));
  } else if (name == L"normalimage") {
    normalImage_ = value;
    Invalidate();
  } else if (name == L"hotimage") {
    hotImage_ = value;
    Invalidate();
  } else if (name == L"focusedimage") {
    focusedImage_ = value;
    Invalidate();
  } else if (name == L"disabledimage") {
    disabledImage_ = value;
    Invalidate();
  } else if (name == L"textpadding") {
    SetTextPadding(ParseMarkupRect(v));
  } else if (name == L"tipvalue") {
    SetTipValue(value);
  } else if (name == L"tipvaluecolor") {
    tipValueColor_ = ParseMarkupColor(v);
  } else if (name == L"tipvalueendellipsis") {
    tipValueEndEllipsis_ = ParseMarkupBool(v);
  } else if (name == L"tipvaluealign") {
    if (value.find(L"left") != std::wstring::npos) tipValueStyle_ = DT_SINGLELINE | DT_LEFT;
    if (value.find(L"center") != std::wstring::npos) tipValueStyle_ = DT_SINGLELINE | DT_CENTER;
    if (value.find(L"right") != std::wstring::npos) tipValueStyle_ = DT_SINGLELINE | DT_RIGHT;
  } else if (name == L"EnabledAlpha") {
    enabledAlpha_ = ParseMarkupBool(v);
  } else if (name == L"WantMenu") {
    wantMenu_ = ParseMarkupBool(v);
  } else if (name == L"CaretFollowTextColor") {
    caretFollowTextColor_ = ParseMarkupBool(v);
  } else if (name == L"FocusShowTipValue") {
    focusShowTipValue_ = ParseMarkupBool(v);
  } else if (name == L"TipValuePadding") {
    tipValuePadding_ = ParseMarkupRect(v);
  } else if (name == L"firstfocus") {
    firstFocus_ = ParseMarkupBool(v);
  } else if (name == L"autoselall") {
    autoSelAll_ = ParseMarkupBool(v);
  } else if (name == L"RichEditDpiTextPadding") {
    SetRichEditDpiTextPadding(ParseMarkupBool(v));
  } else if (name == L"NormalImageSwitchRes" || name == L"HotImageSwitchRes" ||
             name == L"FocusImageSwitchRes" || name == L"TipTextColorSwitchRes" ||
             name == L"NativeBkColorSwitchRes" || name == L"NativeTextColorSwitchRes") {
    // Switchable-resource keys of a resource manager that this toolkit does not have.
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}
