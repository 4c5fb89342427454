// A control with children: an inset, child spacing and alignment; children that fill the
// inset rectangle, and float children placed by their float rule.
#pragma once
#include "uicontrol.h"

// Child alignment values.
constexpr UINT kChildAlignLeft = 0;
constexpr UINT kChildAlignCenter = 1;
constexpr UINT kChildAlignRight = 2;
constexpr UINT kChildVAlignTop = 0;
constexpr UINT kChildVAlignCenter = 4;
constexpr UINT kChildVAlignBottom = 8;

class IContainerUI {
 public:
  virtual ~IContainerUI() = default;
  virtual CControlUI* GetItemAt(int index) const = 0;
  virtual int GetItemIndex(CControlUI* control) const = 0;
  virtual bool SetItemIndex(CControlUI* control, int index) = 0;
  virtual int GetCount() const = 0;
  // The container owns what it accepts; false leaves the control to the caller.
  virtual bool Add(CControlUI* control) = 0;
  virtual bool AddAt(CControlUI* control, int index) = 0;
  // Removes and (unless told not to) destroys the control.
  virtual bool Remove(CControlUI* control, bool doNotDestroy = false) = 0;
  virtual bool RemoveAt(int index, bool doNotDestroy = false) = 0;
  virtual void RemoveAll() = 0;
};

class CContainerUI : public CControlUI, public IContainerUI {
 public:
  CContainerUI();
  ~CContainerUI() override;

  const wchar_t* GetClass() const override { return L"ContainerUI"; }
  void* GetInterface(const std::wstring& name) override;

  CControlUI* GetItemAt(int index) const override;
  int GetItemIndex(CControlUI* control) const override;
  bool SetItemIndex(CControlUI* control, int index) override;
  int GetCount() const override { return static_cast<int>(items_.size()); }
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool doNotDestroy = false) override;
  bool RemoveAt(int index, bool doNotDestroy = false) override;
  void RemoveAll() override;
  // Removed children are destroyed at the manager's next wake-up instead of at once.
  void SetDelayedDestroy(bool delayed) { delayedDestroy_ = delayed; }

  // The inset as stored at 100 %, and scaled when DPIInset is on.
  virtual RECT GetInset() const;
  virtual void SetInset(const RECT& inset);
  virtual bool IsDPIInset() const { return dpiInset_; }
  virtual void SetDPIInset(bool scale);
  virtual bool IsDPIChildPadding() const { return dpiChildPadding_; }
  virtual void SetDPIChildPadding(bool scale);
  virtual int GetChildPadding() const;
  virtual int GetChildVPadding() const;
  virtual void SetChildPadding(int padding);
  virtual void SetChildVPadding(int padding);
  virtual UINT GetChildAlign() const { return childAlign_; }
  virtual void SetChildAlign(UINT align);
  virtual UINT GetChildVAlign() const { return childVAlign_; }
  virtual void SetChildVAlign(UINT align);
  virtual bool IsMouseChildEnabled() const { return mouseChildEnabled_; }
  virtual void SetMouseChildEnabled(bool enable = true) { mouseChildEnabled_ = enable; }
  // Places the float child at index by its alignment bits or its float percentages.
  virtual void SetFloatPos(int index);
  // Walks the visible children in order: float ones are placed by SetFloatPos, the others
  // are handed to place(index, item) with the layout's own rule.
  template <class Place>
  void PlaceChildren(Place place) {
    for (int i = 0; i < GetCount(); ++i) {
      CControlUI* item = items_[i];
      if (!item->IsVisible()) continue;
      if (item->IsFloat()) {
        SetFloatPos(i);
        continue;
      }
      place(i, item);
    }
  }

  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
  void Move(SIZE offset, bool invalidate = true) override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void SetAttribute(const std::wstring& name, const std::wstring& value) override;
  CControlUI* FindControl(FindControlProc proc, void* data, UINT flags) override;
  bool DoPaint(HDC dc, const RECT& paint, CControlUI* stop) override;

  // The first descendant of that name, or null.
  CControlUI* FindSubControl(const std::wstring& name);

 protected:
  // The item rectangle minus the inset: the working rectangle of the layouts, to which
  // painting clips the non-float children and in which hit tests find them.
  RECT InsetRect() const;
  // Paints the visible children that meet the paint rectangle; false when one stopped it.
  bool PaintItems(HDC dc, const RECT& paint, CControlUI* stop);

  std::vector<CControlUI*> items_;
  RECT inset_ = {};
  int childPadding_ = 0;
  int childVPadding_ = 0;
  UINT childAlign_ = kChildAlignLeft;
  UINT childVAlign_ = kChildVAlignTop;
  bool dpiInset_ = true;
  bool dpiChildPadding_ = true;
  bool mouseChildEnabled_ = true;
  bool delayedDestroy_ = true;
  // Scroll settings are kept as written; this toolkit has no scroll bar control, so
  // containers never scroll.
  int scrollStepSize_ = 0;
  bool vScrollBar_ = false;
  bool hScrollBar_ = false;
};
