// A check box, or a radio button when it has a group: a click toggles it (a group member is
// only ever selected by a click) and sends "selectchanged"; selected, it paints with its own
// images, colours and font.
#pragma once
#include "uibutton.h"

class COptionUI : public CButtonUI {
 public:
  COptionUI() = default;

  const wchar_t* GetClass() const override { return L"OptionUI"; }
  void* GetInterface(const std::wstring& name) override;
  void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
  bool Activate(bool right = false) override;
  void DoEvent(ControlEvent& event) override;
  void SetAttribute(const std::wstring& name, const std::wstring& value) override;
  std::wstring GetToolTip() const override;

  const std::wstring& GetGroup() const { return group_; }
  // Leaves the old group and joins the new one (an empty name: no group); the selection
  // stays as it is.
  void SetGroup(const std::wstring& group);
  bool IsSelected() const { return selected_; }
  // Group mates are unselected first (each sending "selectchanged" with notify), then this
  // option sends "selectchanged"; nothing happens when the state does not change.
  virtual void Selected(bool selected, bool notify = true);
  const std::wstring& GetSelectedToolTip() const { return selectedTooltip_; }
  // "<n>" in the text stands for a line break.
  void SetSelectedToolTip(const std::wstring& text);

  void PaintBkColor(HDC dc) override;
  void PaintStatusImage(HDC dc) override;
  void PaintForeImage(HDC dc) override;
  void PaintText(HDC dc) override;

 protected:
  // An option is measured with its selected font, whatever its state.
  int MeasureFont() const override { return selectedFont_ != -1 ? selectedFont_ : font_; }

 private:
  bool selected_ = false;
  std::wstring group_;
  std::wstring selectedImage_;
  std::wstring selectedHotImage_;
  std::wstring selectedPushedImage_;
  std::wstring selectedDisabledImage_;
  std::wstring selectedForeImage_;
  std::wstring selectedStateImage_;
  int selectedStateCount_ = 0;
  DWORD selectedBkColor_ = 0;
  DWORD selectedTextColor_ = 0;
  int selectedFont_ = -1;
  std::wstring selectedTooltip_;
};
