// A push button: a state word (hot, pushed, captured, focused, disabled) that picks its
// background colour, state image, foreground image, text colour and font; a click sends
// "click" and may select a page of a tab layout.
#pragma once
#include "uilabel.h"

// Bits of a button's state word.
constexpr UINT kButtonFocused = 0x01;
constexpr UINT kButtonSelected = 0x02;
constexpr UINT kButtonDisabled = 0x04;
constexpr UINT kButtonHot = 0x08;
constexpr UINT kButtonPushed = 0x10;
constexpr UINT kButtonCaptured = 0x40;

class CButtonUI : public CLabelUI {
 public:
  CButtonUI();

  const wchar_t* GetClass() const override { return L"ButtonUI"; }
  void* GetInterface(const std::wstring& name) override;
  UINT GetControlFlags() const override;
  bool Activate(bool right = false) override;
  void SetEnabled(bool enable = true) override;
  void DoEvent(ControlEvent& event) override;
  void SetAttribute(const std::wstring& name, const std::wstring& value) override;

  UINT GetState() const { return state_; }
  const std::wstring& GetNormalImage() const { return normalImage_; }
  void SetNormalImage(const std::wstring& image);
  void SetHotImage(const std::wstring& image);
  void SetPushedImage(const std::wstring& image);
  void SetFocusedImage(const std::wstring& image);
  void SetDisabledImage(const std::wstring& image);
  void SetHotForeImage(const std::wstring& image);
  void SetPushedForeImage(const std::wstring& image);
  // A strip of state images side by side; setting it empties the normal image, and the strip
  // is cut into per-state image strings at the first paint.
  void SetStateImage(const std::wstring& image);
  void SetStateCount(int count);

  void PaintBkColor(HDC dc) override;
  void PaintStatusImage(HDC dc) override;
  void PaintForeImage(HDC dc) override;
  void PaintText(HDC dc) override;

 protected:
  // Whether the event's point lies in the item rectangle.
  bool Inside(const ControlEvent& event) const;
  // Refreshes the focused and disabled bits from the control (and the window).
  void RefreshStateBits();
  // Cuts a strip of `count` equal columns into image strings of the columns given for each
  // target (column index, target string); columns beyond the count are skipped.
  void CutStrip(const std::wstring& strip, int count,
                std::initializer_list<std::pair<int, std::wstring*>> targets);

  UINT state_ = 0;
  std::wstring normalImage_;
  std::wstring hotImage_;
  std::wstring pushedImage_;
  std::wstring focusedImage_;
  std::wstring disabledImage_;
  std::wstring hotForeImage_;
  std::wstring pushedForeImage_;
  std::wstring stateImage_;
  int stateCount_ = 0;
  DWORD hotBkColor_ = 0;
  DWORD pushedBkColor_ = 0;
  DWORD disabledBkColor_ = 0;
  DWORD hotTextColor_ = 0;
  DWORD pushedTextColor_ = 0;
  DWORD focusedTextColor_ = 0;
  int hotFont_ = -1;
  int pushedFont_ = -1;
  int focusedFont_ = -1;
  bool keyboardActive_ = true;
  int bindTabIndex_ = -1;
  std::wstring bindTabLayoutName_;
};
