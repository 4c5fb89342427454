// Creates controls by class name ("C" + element name + "UI", compared without case) from
// the registered creation functions, then from the plug-in functions.
#pragma once
#include <map>
#include <string>
#include <vector>

class CControlUI;

using CreateControlFunction = CControlUI* (*)();
// A plug-in is given the element name and creates a control or nothing.
using CreateControlPlugin = CControlUI* (*)(const wchar_t* elementName);

class CControlFactory {
 public:
  static CControlFactory& GetInstance();

  CControlUI* CreateControl(const std::wstring& className) const;
  // The element's control from the class map, or else from the plug-ins; null when none.
  CControlUI* CreateForElement(const std::wstring& elementName) const;
  void RegisterControl(const std::wstring& className, CreateControlFunction create);
  void AddPlugin(CreateControlPlugin plugin);

 private:
  CControlFactory();

  std::map<std::wstring, CreateControlFunction> classes_;
  std::vector<CreateControlPlugin> plugins_;
};
