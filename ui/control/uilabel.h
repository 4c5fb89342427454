// Static text (and images through the control's decoration): text style, colours, font,
// padding and automatic sizing to the text.
#pragma once
#include "uicontrol.h"

class CLabelUI : public CControlUI {
 public:
  CLabelUI() = default;

  const wchar_t* GetClass() const override { return L"LabelUI"; }
  void* GetInterface(const std::wstring& name) override;

  void SetText(const std::wstring& text) override;

  UINT GetTextStyle() const { return textStyle_; }
  void SetTextStyle(UINT style);
  DWORD GetTextColor() const { return textColor_; }
  virtual void SetTextColor(DWORD color);
  DWORD GetDisabledTextColor() const { return disabledTextColor_; }
  void SetDisabledTextColor(DWORD color);
  int GetFont() const { return font_; }
  void SetFont(int font);
  // The padding as stored at 100 %, scaled when DPITextPadding is on and a manager is set.
  RECT GetTextPadding() const;
  void SetTextPadding(const RECT& padding);

  virtual bool IsAutoCalcWidth() const { return autoWidth_; }
  virtual void SetAutoCalcWidth(bool on);
  virtual bool IsAutoCalcHeight() const { return autoHeight_; }
  virtual void SetAutoCalcHeight(bool on);

  SIZE EstimateSize(SIZE available) override;
  void DoEvent(ControlEvent& event) override;
  void SetAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintText(HDC dc) override;

 protected:
  // Takes the manager's default colours for the colours left at 0; kept afterwards.
  void ResolveColors();
  // Draws the text with the colour and font, the padding taken as given.
  void PaintTextWith(HDC dc, const RECT& padding, DWORD color, int font);
  // The font the text is measured with for EstimateSize.
  virtual int MeasureFont() const { return font_; }
  // Measures the text in rect with the style (DT_CALCRECT is added) and the font.
  RECT MeasureText(const RECT& rect, UINT style, int font);

  DWORD textColor_ = 0;
  DWORD disabledTextColor_ = 0;
  int font_ = -1;
  UINT textStyle_ = DT_VCENTER | DT_SINGLELINE;
  RECT textPadding_ = {};
  bool showHtml_ = false;
  bool shadowText_ = false;
  bool autoWidth_ = false;
  bool autoHeight_ = false;
  SIZE lastAvailable_ = {};
  SIZE lastEstimate_ = {};
  bool needEstimate_ = true;
};
