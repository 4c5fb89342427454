// Turns a markup document into a control tree: registers the resource elements (Font,
// Image, Default, Style, Import), applies the Window element's attributes to the paint
// manager, pulls in further documents with Include and creates one control per element.
#pragma once
#include <windows.h>

#include <string>

#include "uimarkup.h"

class CControlUI;
class CPaintManagerUI;

// The application's hook for element names that the control factory does not know.
class IDialogBuilderCallback {
 public:
  virtual ~IDialogBuilderCallback() = default;
  virtual CControlUI* CreateControl(const std::wstring& elementName) = 0;
};

class CDialogBuilder {
 public:
  // source: markup text (it begins with '<') or a skin file name; with a non-empty type, a
  // decimal resource id of that type in the resource module. Returns the first control
  // created at the top level, or null.
  CControlUI* Create(const std::wstring& source, const wchar_t* type = nullptr,
                     IDialogBuilderCallback* callback = nullptr,
                     CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
  // Builds from the document already loaded.
  CControlUI* Create(IDialogBuilderCallback* callback = nullptr,
                     CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
  CMarkup* GetMarkup() { return &markup_; }
  // The module whose resources numeric sources come from (the skin's resource module when
  // not set).
  void SetInstance(HINSTANCE instance) { instance_ = instance; }

 private:
  bool LoadResource(UINT id, const wchar_t* type);
  void RegisterResources(CMarkupElement root, CPaintManagerUI* manager);
  void ApplyWindowAttributes(CMarkupElement root, CPaintManagerUI* manager);
  CControlUI* Parse(CMarkupElement element, CControlUI* parent, CPaintManagerUI* manager);
  void Include(CMarkupElement element, CControlUI* parent, CPaintManagerUI* manager);

  CMarkup markup_;
  IDialogBuilderCallback* callback_ = nullptr;
  std::wstring type_;
  HINSTANCE instance_ = nullptr;
};
