// Places its children in a row: fixed widths first, the rest shared by the children that
// leave their width to the layout.
#pragma once
#include "uicontainer.h"

class CHorizontalLayoutUI : public CContainerUI {
 public:
  const wchar_t* GetClass() const override { return L"HorizontalLayoutUI"; }
  void* GetInterface(const std::wstring& name) override;
  void SetAttribute(const std::wstring& name, const std::wstring& value) override;
  void SetPos(RECT rect, bool invalidate = true) override;
  // With auto width the estimated width is the sum of the non-float children's fixed widths.
  SIZE EstimateSize(SIZE available) override;
  bool IsInteractivePoint(POINT point) const override;

  int GetSepWidth() const;
  void SetSepWidth(int width) { sepWidth_ = width; }
  bool IsAutoCalcWidth() const { return autoCalcWidth_; }
  void SetAutoCalcWidth(bool on) { autoCalcWidth_ = on; }
  // Gives the remainder of the shared width one pixel at a time to the first children
  // instead of all to the last one.
  void SetExpandBalance(bool on) { expandBalance_ = on; }

 private:
  // The separator strip at the left (negative width) or right edge.
  RECT SeparatorRect() const;

  int sepWidth_ = 0;
  bool autoCalcWidth_ = false;
  bool expandBalance_ = false;
};
