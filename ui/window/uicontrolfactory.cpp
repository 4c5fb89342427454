#include "uicontrolfactory.h"

#include <algorithm>
#include <cwctype>

#include "uibutton.h"
#include "uicontainer.h"
#include "uihorizontallayout.h"
#include "uilabel.h"
#include "uioption.h"
#include "uiprogress.h"
#include "uirichedit.h"
#include "uitablayout.h"
#include "uiverticallayout.h"

namespace {

std::wstring Lower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return text;
}

template <typename T>
CControlUI* Make() {
  return new T();
}

}  // namespace

CControlFactory& CControlFactory::GetInstance() {
  static CControlFactory factory;
  return factory;
}

// The controls this toolkit has; the other element names of the markup vocabulary create
// nothing, so such elements are skipped with their subtrees.
CControlFactory::CControlFactory() {
  RegisterControl(L"CControlUI", Make<CControlUI>);
  RegisterControl(L"CContainerUI", Make<CContainerUI>);
  RegisterControl(L"CHorizontalLayoutUI", Make<CHorizontalLayoutUI>);
  RegisterControl(L"CVerticalLayoutUI", Make<CVerticalLayoutUI>);
  RegisterControl(L"CTabLayoutUI", Make<CTabLayoutUI>);
  RegisterControl(L"CLabelUI", Make<CLabelUI>);
  RegisterControl(L"CButtonUI", Make<CButtonUI>);
  RegisterControl(L"COptionUI", Make<COptionUI>);
  RegisterControl(L"CProgressUI", Make<CProgressUI>);
  RegisterControl(L"CRichEditUI", Make<CRichEditUI>);
}

CControlUI* CControlFactory::CreateControl(const std::wstring& className) const {
  auto found = classes_.find(Lower(className));
  return found != classes_.end() ? found->second() : nullptr;
}

CControlUI* CControlFactory::CreateForElement(const std::wstring& elementName) const {
  CControlUI* control = CreateControl(L"C" + elementName + L"UI");
  for (auto it = plugins_.begin(); control == nullptr && it != plugins_.end(); ++it) {
    control = (*it)(elementName.c_str());
  }
  return control;
}

void CControlFactory::RegisterControl(const std::wstring& className, CreateControlFunction create) {
  classes_[Lower(className)] = create;
}

void CControlFactory::AddPlugin(CreateControlPlugin plugin) {
  if (std::find(plugins_.begin(), plugins_.end(), plugin) == plugins_.end()) {
    plugins_.push_back(plugin);
  }
}
