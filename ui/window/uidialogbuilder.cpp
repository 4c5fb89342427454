#include "uidialogbuilder.h"

#include "uicontainer.h"
#include "uicontrolfactory.h"
#include "uimanager.h"
#include "uiresource.h"
#include "uivalues.h"

namespace {

bool IsResourceElement(std::wstring_view name) {
  return name == L"Image" || name == L"Font" || name == L"Default" || name == L"Style" ||
         name == L"Import";
}

// The attributes of an element by exact name.
class Attributes {
 public:
  explicit Attributes(CMarkupElement element) : element_(element) {}
  bool Has(const wchar_t* name) { return element_.AttributeIndex(name) >= 0; }
  std::wstring Text(const wchar_t* name, const wchar_t* otherwise = L"") {
    int index = element_.AttributeIndex(name);
    return index >= 0 ? std::wstring(element_.AttributeValue(index)) : otherwise;
  }
  int Int(const wchar_t* name, int otherwise) {
    return Has(name) ? ParseMarkupInt(Text(name).c_str()) : otherwise;
  }
  bool Bool(const wchar_t* name) { return Has(name) && ParseMarkupBool(Text(name).c_str()); }

 private:
  CMarkupElement element_;
};

void ApplyWindowAttribute(CPaintManagerUI* manager, const std::wstring& name,
                          const std::wstring& value) {
  const wchar_t* v = value.c_str();
  CShadowUI* shadow = manager->GetShadow();
  if (name == L"size") {
    SIZE size = ParseMarkupSize(v);
    manager->SetInitSize(size.cx, size.cy);
  } else if (name == L"mininfo") {
    SIZE size = ParseMarkupSize(v);
    manager->SetMinInfo(size.cx, size.cy);
  } else if (name == L"maxinfo") {
    SIZE size = ParseMarkupSize(v);
    manager->SetMaxInfo(size.cx, size.cy);
  } else if (name == L"caption") {
    manager->SetCaptionRect(ParseMarkupRect(v));
  } else if (name == L"sizebox") {
    manager->SetSizeBox(ParseMarkupRect(v));
  } else if (name == L"sizeboxinset") {
    manager->SetSizeBoxInset(ParseMarkupRect(v));
  } else if (name == L"roundcorner") {
    SIZE size = ParseMarkupSize(v);
    manager->SetRoundCorner(size.cx, size.cy);
  } else if (name == L"showdirty") {
    manager->SetShowUpdateRect(ParseMarkupBool(v));
  } else if (name == L"opacity" || name == L"alpha") {
    manager->SetOpacity(static_cast<BYTE>(ParseMarkupInt(v)));
  } else if (name == L"layeredopacity") {
    manager->SetLayeredOpacity(static_cast<BYTE>(ParseMarkupInt(v)));
  } else if (name == L"layered" || name == L"bktrans") {
    manager->SetLayered(ParseMarkupBool(v));
  } else if (name == L"layeredimage") {
    manager->SetLayeredImage(value);
  } else if (name == L"noactivate") {
    manager->SetNoActivate(ParseMarkupBool(v));
  } else if (name == L"disabledfontcolor") {
    manager->SetDefaultDisabledColor(ParseMarkupColor(v));
  } else if (name == L"defaultfontcolor") {
    manager->SetDefaultFontColor(ParseMarkupColor(v));
  } else if (name == L"linkfontcolor") {
    manager->SetDefaultLinkFontColor(ParseMarkupColor(v));
  } else if (name == L"linkhoverfontcolor") {
    manager->SetDefaultLinkHoverFontColor(ParseMarkupColor(v));
  } else if (name == L"selectedcolor") {
    manager->SetDefaultSelectedBkColor(ParseMarkupColor(v));
  } else if (name == L"shadowsize") {
    shadow->SetSize(ParseMarkupInt(v));
  } else if (name == L"shadowsharpness") {
    shadow->SetSharpness(ParseMarkupInt(v));
  } else if (name == L"shadowdarkness") {
    shadow->SetDarkness(ParseMarkupInt(v));
  } else if (name == L"shadowposition") {
    SIZE offset = ParseMarkupSize(v);
    shadow->SetPosition(offset.cx, offset.cy);
  } else if (name == L"shadowcolor") {
    shadow->SetColor(ParseMarkupColor(v));
  } else if (name == L"shadowcorner") {
    shadow->SetShadowCorner(ParseMarkupRect(v));
  } else if (name == L"shadowimage") {
    shadow->SetImage(value);
  } else if (name == L"showshadow") {
    shadow->ShowShadow(ParseMarkupBool(v));
  } else if (name == L"gdiplustext") {
    manager->SetUseGdiplusText(ParseMarkupBool(v));
  } else if (name == L"textdesigner") {
    manager->SetUseTextDesigner(ParseMarkupBool(v));
  } else if (name == L"textrenderinghint") {
    manager->SetGdiplusTextRenderingHint(ParseMarkupInt(v));
  } else if (name == L"textrenderdouble") {
    manager->SetTextRenderDouble(ParseMarkupBool(v));
  } else if (name == L"tooltiphovertime") {
    manager->SetHoverTime(ParseMarkupInt(v));
  } else if (name == L"tooltipbkcolor") {
    manager->SetToolTipBkColor(ParseMarkupColor(v));
  } else if (name == L"tooltiptextcolor") {
    manager->SetToolTipTextColor(ParseMarkupColor(v));
  } else if (name == L"dockwnd") {
    manager->SetDockWindow(ParseMarkupBool(v));
  } else if (name == L"normaltab") {
    manager->SetNormalTab(ParseMarkupBool(v));
  } else if (name == L"autodpi") {
    manager->SetAutoDPI(ParseMarkupBool(v));
  } else if (name == L"KillFocusSendButtonUp") {
    manager->SetKillFocusSendButtonUp(ParseMarkupBool(v));
  }
}

}  // namespace

CControlUI* CDialogBuilder::Create(const std::wstring& source, const wchar_t* type,
                                   IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                   CControlUI* parent) {
  if (type != nullptr && *type != 0) {
    type_ = type;
    if (!LoadResource(static_cast<UINT>(ParseMarkupInt(source.c_str())), type)) return nullptr;
  } else if (!source.empty() && source[0] == L'<') {
    if (!markup_.LoadFromText(source.c_str(), source.size())) return nullptr;
  } else if (!markup_.LoadFromFile(source, CMarkup::kUtf8)) {
    return nullptr;
  }
  return Create(callback, manager, parent);
}

bool CDialogBuilder::LoadResource(UINT id, const wchar_t* type) {
  HINSTANCE module = instance_ != nullptr ? instance_ : CSkinSource::GetResourceDll();
  const BYTE* bytes = nullptr;
  DWORD size = 0;
  if (!LockModuleResource(module, id, type, bytes, size)) return false;
  return markup_.LoadFromBytes(bytes, size, CMarkup::kUtf8);
}

CControlUI* CDialogBuilder::Create(IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                   CControlUI* parent) {
  callback_ = callback;
  CMarkupElement root = markup_.Root();
  if (!root.IsValid()) return nullptr;
  if (manager != nullptr) {
    RegisterResources(root, manager);
    if (root.Name() == L"Window") ApplyWindowAttributes(root, manager);
  }
  return Parse(root, parent, manager);
}

void CDialogBuilder::RegisterResources(CMarkupElement root, CPaintManagerUI* manager) {
  for (CMarkupElement node = root.FirstChild(); node.IsValid(); node = node.NextSibling()) {
    std::wstring_view name = node.Name();
    Attributes attributes(node);
    if (name == L"Font") {
      int id = attributes.Int(L"id", -1);
      if (id < 0) continue;
      std::wstring face = attributes.Text(L"name");
      int size = attributes.Int(L"size", 12);
      bool bold = attributes.Bool(L"bold");
      bool underline = attributes.Bool(L"underline");
      bool italic = attributes.Bool(L"italic");
      bool shared = attributes.Bool(L"shared");
      manager->AddFont(id, face, size, bold, underline, italic, shared);
      if (attributes.Bool(L"default")) {
        manager->SetDefaultFont(face, size, bold, underline, italic, shared);
      }
    } else if (name == L"Image") {
      std::wstring image = attributes.Text(L"name");
      if (image.empty()) continue;
      std::wstring type = attributes.Text(L"restype");
      manager->AddImage(image, type.empty() ? nullptr : type.c_str(),
                        ParseMarkupColor(attributes.Text(L"mask").c_str()), false,
                        attributes.Bool(L"shared"));
    } else if (name == L"Default") {
      std::wstring element = attributes.Text(L"name");
      if (!element.empty()) {
        manager->AddDefaultAttributeList(element, attributes.Text(L"value"),
                                         attributes.Bool(L"shared"));
      }
    } else if (name == L"Style") {
      std::wstring style = attributes.Text(L"name");
      if (!style.empty()) {
        manager->AddStyle(style, attributes.Text(L"value"), attributes.Bool(L"shared"));
      }
    } else if (name == L"Import") {
      std::wstring file = attributes.Text(L"fontfile");
      if (!file.empty()) manager->AddFontFile(file);
    }
  }
}

void CDialogBuilder::ApplyWindowAttributes(CMarkupElement root, CPaintManagerUI* manager) {
  for (int i = 0; i < root.AttributeCount(); ++i) {
    ApplyWindowAttribute(manager, std::wstring(root.AttributeName(i)),
                         std::wstring(root.AttributeValue(i)));
  }
}

void CDialogBuilder::Include(CMarkupElement element, CControlUI* parent,
                             CPaintManagerUI* manager) {
  Attributes attributes(element);
  int count = attributes.Int(L"count", 1);
  std::wstring source = attributes.Text(L"source");
  if (source.empty() || count <= 0) return;
  for (int i = 0; i < count; ++i) {
    CDialogBuilder builder;
    builder.SetInstance(instance_);
    if (!type_.empty()) {
      // Sources of a document read from resources are resource ids of the same type.
      builder.Create(std::to_wstring(static_cast<WORD>(ParseMarkupInt(source.c_str()))),
                     type_.c_str(), callback_, manager, parent);
    } else {
      builder.Create(source, nullptr, callback_, manager, parent);
    }
  }
}

CControlUI* CDialogBuilder::Parse(CMarkupElement element, CControlUI* parent,
                                  CPaintManagerUI* manager) {
  CControlUI* first = nullptr;
  for (CMarkupElement node = element.FirstChild(); node.IsValid(); node = node.NextSibling()) {
    std::wstring name(node.Name());
    if (IsResourceElement(name)) continue;
    if (name == L"Include") {
      Include(node, parent, manager);
      continue;
    }
    CControlUI* control = CControlFactory::GetInstance().CreateForElement(name);
    if (control == nullptr && callback_ != nullptr) control = callback_->CreateControl(name);
    if (control == nullptr) continue;

    // Children exist before the parent's own attributes are applied.
    if (node.HasChildren()) Parse(node, control, manager);

    if (parent != nullptr) {
      auto* container = static_cast<IContainerUI*>(parent->GetInterface(L"IContainer"));
      if (container == nullptr) {
        delete control;
        return first;
      }
      if (!container->Add(control)) {
        delete control;
        continue;
      }
    }
    if (manager != nullptr) {
      control->SetManager(manager, parent, false);
      const std::wstring* defaults = manager->GetDefaultAttributeList(name);
      if (defaults != nullptr) control->ApplyAttributeList(*defaults);
      for (int i = 0; i < node.AttributeCount(); ++i) {
        control->ApplyAttribute(std::wstring(node.AttributeName(i)),
                                std::wstring(node.AttributeValue(i)));
      }
      control->SetManager(nullptr, parent, false);
    }
    if (first == nullptr) first = control;
  }
  return first;
}
