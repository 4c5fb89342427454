// Shows one child at a time; the others are hidden.
#pragma once
#include "uicontainer.h"

class CTabLayoutUI : public CContainerUI {
 public:
  const wchar_t* GetClass() const override { return L"TabLayoutUI"; }
  void* GetInterface(const std::wstring& name) override;

  // Add and Remove go through these two.
  bool AddAt(CControlUI* control, int index) override;
  bool RemoveAt(int index, bool doNotDestroy = false) override;
  void RemoveAll() override;

  int GetCurSel() const { return curSel_; }
  int GetPrevSel() const { return prevSel_; }
  // Shows the page at index and hides the others; sends "tabselect" (new, previous index).
  // Selecting the current page answers true and sends nothing; an index out of range false.
  bool SelectItem(int index, bool takeFocus = true);
  bool SelectItem(CControlUI* control, bool takeFocus = true);

  // The inset as written: a tab layout does not scale it.
  RECT GetInset() const override { return inset_; }
  void SetPos(RECT rect, bool invalidate = true) override;
  void SetAttribute(const std::wstring& name, const std::wstring& value) override;

 private:
  int curSel_ = -1;
  int prevSel_ = -1;
};
