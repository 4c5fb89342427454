// The skinned window base that an application window derives from: it builds its control
// tree from a skin file at creation, dispatches its messages to its own operations and to
// the paint manager, hit-tests its caption band and sizing borders, and routes
// notifications through notify maps.
#pragma once
#include <windows.h>

#include <string>

#include "uidialogbuilder.h"
#include "uievents.h"
#include "uimanager.h"
#include "uinotifypump.h"
#include "uiwindow.h"

// Answers the text of a control whose text is a resource id.
class IQueryControlText {
 public:
  virtual ~IQueryControlText() = default;
  virtual std::wstring QueryControlText(const std::wstring& id, const std::wstring& type) = 0;
};

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback,
                       public IQueryControlText {
 public:
  WindowImplBase() = default;
  ~WindowImplBase() override = default;

  CPaintManagerUI& GetPaintManager() { return paintManager_; }

  virtual void InitResource() {}
  // Called once the skin is built: the application finds its named controls here.
  virtual void InitWindow() {}
  virtual void OnClick(NotifyMsg& msg);
  virtual void OnHeaderClick(NotifyMsg&) {}
  virtual void OnSelectChanged(NotifyMsg&) {}
  virtual void OnTextChanged(NotifyMsg&) {}
  virtual void OnItemSelect(NotifyMsg&) {}
  virtual void OnTimer(NotifyMsg&) {}

  // INotifyUI: every notification with a sender goes through the notify map.
  void Notify(NotifyMsg& msg) override;
  // IMessageFilterUI: never marks a message handled.
  LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
  // IDialogBuilderCallback: creates nothing.
  CControlUI* CreateControl(const std::wstring& elementName) override;
  // IQueryControlText: the empty text.
  std::wstring QueryControlText(const std::wstring& id, const std::wstring& type) override;

  static const NotifyMap* ClassNotifyMap();

 protected:
  UINT GetClassStyle() const override { return CS_DBLCLKS; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage(HWND window) override;
  const NotifyMap* GetNotifyMap() const override { return ClassNotifyMap(); }

  // A control is static (the caption band drags the window over it) when neither it nor an
  // ancestor is an interactive point there or of an interactive class.
  virtual bool IsInStaticControl(CControlUI* control, POINT point) const;
  // Non-empty: the skin file is a resource id of this type.
  virtual std::wstring GetSkinType() const { return std::wstring(); }
  virtual std::wstring GetSkinFile() const = 0;
  virtual const wchar_t* GetManagerName() const { return nullptr; }
  virtual bool ResponseDefaultKeyEvent(WPARAM key) { return key == VK_ESCAPE; }

  // Message operations; each sets handled when it answers the message.
  virtual LRESULT OnClose(UINT, WPARAM, LPARAM, bool& handled);
  virtual LRESULT OnDestroy(UINT, WPARAM, LPARAM, bool& handled);
  virtual LRESULT OnNcActivate(UINT, WPARAM wParam, LPARAM, bool& handled);
  virtual LRESULT OnNcCalcSize(UINT, WPARAM, LPARAM, bool& handled);
  virtual LRESULT OnNcPaint(UINT, WPARAM, LPARAM, bool& handled);
  virtual LRESULT OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool& handled);
  virtual LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool& handled);
  virtual LRESULT OnMouseWheel(UINT, WPARAM, LPARAM, bool& handled);
  virtual LRESULT OnMouseHover(UINT, WPARAM, LPARAM, bool& handled);
  virtual LRESULT OnSize(UINT, WPARAM, LPARAM, bool& handled);
  virtual LRESULT OnChar(UINT, WPARAM, LPARAM, bool& handled);
  virtual LRESULT OnSysCommand(UINT, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnCreate(UINT, WPARAM, LPARAM, bool& handled);
  virtual LRESULT OnKeyDown(UINT, WPARAM, LPARAM, bool& handled);
  virtual LRESULT OnKillFocus(UINT, WPARAM, LPARAM, bool& handled);
  virtual LRESULT OnSetFocus(UINT, WPARAM, LPARAM, bool& handled);
  virtual LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, bool& handled);
  virtual LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, bool& handled);
  virtual LRESULT OnRButtonDown(UINT, WPARAM, LPARAM, bool& handled);
  virtual LRESULT OnRButtonUp(UINT, WPARAM, LPARAM, bool& handled);
  virtual LRESULT OnMouseMove(UINT, WPARAM, LPARAM, bool& handled);
  virtual LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

  CPaintManagerUI paintManager_;
};
