// Places its children in a column: fixed heights first, the rest shared by the children that
// leave their height to the layout.
#pragma once
#include "uicontainer.h"

class CVerticalLayoutUI : public CContainerUI {
 public:
  const wchar_t* GetClass() const override { return L"VerticalLayoutUI"; }
  void* GetInterface(const std::wstring& name) override;
  void SetAttribute(const std::wstring& name, const std::wstring& value) override;
  void SetPos(RECT rect, bool invalidate = true) override;
  // With auto height the estimated height is the sum of the non-float children's fixed
  // heights.
  SIZE EstimateSize(SIZE available) override;
  bool IsInteractivePoint(POINT point) const override;

  int GetSepHeight() const;
  void SetSepHeight(int height) { sepHeight_ = height; }
  bool IsAutoCalcHeight() const { return autoCalcHeight_; }
  void SetAutoCalcHeight(bool on) { autoCalcHeight_ = on; }

 private:
  // The separator strip at the top (negative height) or bottom edge.
  RECT SeparatorRect() const;

  int sepHeight_ = 0;
  bool autoCalcHeight_ = false;
};
