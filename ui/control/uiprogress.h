// A progress bar: a value in a range shown as a foreground colour or a foreground image
// clipped (or stretched) to the filled part.
#pragma once
#include "uilabel.h"

class CProgressUI : public CLabelUI {
 public:
  CProgressUI();

  const wchar_t* GetClass() const override { return L"ProgressUI"; }
  void* GetInterface(const std::wstring& name) override;
  void SetAttribute(const std::wstring& name, const std::wstring& value) override;

  bool IsHorizontal() const { return horizontal_; }
  void SetHorizontal(bool horizontal);
  bool IsStretchForeImage() const { return stretchFore_; }
  void SetStretchForeImage(bool stretch);
  int GetMinValue() const { return min_; }
  void SetMinValue(int value);
  int GetMaxValue() const { return max_; }
  void SetMaxValue(int value);
  int GetValue() const { return value_; }
  // A value equal to the current one or outside the range is ignored.
  void SetValue(int value);
  // With the show-text flag the text becomes the percentage ("50%").
  void SetShowText(bool show) { showText_ = show; }
  void UpdateText();
  // The modify string of the last foreground image drawn.
  const std::wstring& GetForeModify() const { return foreModify_; }

  void PaintForeColor(HDC dc) override;
  void PaintForeImage(HDC dc) override;

 private:
  // Repairs an empty range (maximum = minimum + 1) and clamps the value into it.
  void Normalise();

  bool horizontal_ = true;
  bool stretchFore_ = true;
  bool showText_ = false;
  int max_ = 100;
  int min_ = 0;
  int value_ = 0;
  std::wstring foreModify_;
};
