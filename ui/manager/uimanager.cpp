#include "uimanager.h"

#include <cwctype>
#include <string>

#include "uiresource.h"
#include "uiresourcezip.h"

namespace {

// Class-level state shared by every paint manager of the process.
struct SharedResources {
  HINSTANCE instance = nullptr;
  HINSTANCE resourceDll = nullptr;
  std::wstring resourcePath;
  std::wstring archiveName;
  std::wstring archivePassword;
  bool cachedArchive = false;
  std::unique_ptr<CSkinArchive> archive;
  std::map<std::wstring, std::unique_ptr<ImageInfo>> images;
  std::map<std::wstring, std::unique_ptr<FontInfo>> fonts;
  std::unique_ptr<FontInfo> defaultFont;
  CPaintManagerUI::DefaultColors colors;
};

SharedResources& Shared() {
  static SharedResources shared;
  return shared;
}

// The shared default font: the system default GUI font with the "default" character set.
void EnsureSharedDefaultFont() {
  SharedResources& shared = Shared();
  if (shared.defaultFont != nullptr) return;
  LOGFONTW lf = {};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  auto info = std::make_unique<FontInfo>();
  info->face = lf.lfFaceName;
  info->size = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
  info->bold = lf.lfWeight >= FW_BOLD;
  info->underline = lf.lfUnderline != FALSE;
  info->italic = lf.lfItalic != FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  info->font = CreateFontIndirectW(&lf);
  shared.defaultFont = std::move(info);
  shared.colors = CPaintManagerUI::DefaultColors();
}

}  // namespace

CPaintManagerUI::CPaintManagerUI() {
  EnsureSharedDefaultFont();
  colors_ = Shared().colors;
}

CPaintManagerUI::~CPaintManagerUI() {
  for (HANDLE registration : fontFiles_) RemoveFontMemResourceEx(registration);
}

// ---- Resource settings ----

HINSTANCE CPaintManagerUI::GetInstance() { return Shared().instance; }

void CPaintManagerUI::SetInstance(HINSTANCE instance) { Shared().instance = instance; }

HINSTANCE CPaintManagerUI::GetResourceDll() {
  return Shared().resourceDll != nullptr ? Shared().resourceDll : Shared().instance;
}

void CPaintManagerUI::SetResourceDll(HINSTANCE module) { Shared().resourceDll = module; }

const std::wstring& CPaintManagerUI::GetResourcePath() { return Shared().resourcePath; }

void CPaintManagerUI::SetResourcePath(const wchar_t* path) {
  std::wstring& stored = Shared().resourcePath;
  stored = path != nullptr ? path : L"";
  if (!stored.empty() && stored.back() != L'\\' && stored.back() != L'/') stored += L'\\';
}

const std::wstring& CPaintManagerUI::GetResourceArchive() { return Shared().archiveName; }

const std::wstring& CPaintManagerUI::GetResourceArchivePassword() {
  return Shared().archivePassword;
}

bool CPaintManagerUI::IsCachedResourceArchive() { return Shared().cachedArchive; }

CSkinArchive* CPaintManagerUI::GetResourceArchiveHandle() { return Shared().archive.get(); }

void CPaintManagerUI::SetResourceArchive(const void* bytes, size_t size, const wchar_t* password) {
  SharedResources& shared = Shared();
  if (shared.archiveName == kMemoryArchiveName) return;
  shared.archive.reset();
  shared.archiveName = kMemoryArchiveName;
  shared.cachedArchive = true;
  shared.archivePassword = password != nullptr ? password : L"";
  shared.archive = CSkinArchive::OpenMemory(bytes, size, shared.archivePassword);
}

void CPaintManagerUI::SetResourceArchiveFile(const wchar_t* name, const wchar_t* password) {
  SharedResources& shared = Shared();
  shared.archive.reset();
  shared.cachedArchive = false;
  shared.archiveName = name != nullptr ? name : L"";
  shared.archivePassword = password != nullptr ? password : L"";
}

void CPaintManagerUI::Term() {
  SharedResources& shared = Shared();
  shared.images.clear();
  shared.fonts.clear();
  shared.defaultFont.reset();
  shared.archive.reset();
  shared.cachedArchive = false;
  shared.archiveName.clear();
  shared.archivePassword.clear();
}

// ---- DPI ----

CDPI* CPaintManagerUI::GetDPIObj() {
  if (dpi_ == nullptr) dpi_ = std::make_unique<CDPI>();
  return dpi_.get();
}

void CPaintManagerUI::SetDPI(int dpi) {
  GetDPIObj()->SetDPI(dpi);
  ResetDPIAssets();
}

void CPaintManagerUI::ResetDPIAssets() {
  RemoveAllDrawInfos();
  RemoveAllImages(false);
  for (auto& font : fonts_) RebuildFont(*font.second);
  if (defaultFont_ != nullptr) RebuildFont(*defaultFont_);
  for (auto& font : Shared().fonts) RebuildFont(*font.second);
  if (Shared().defaultFont != nullptr) RebuildFont(*Shared().defaultFont, DEFAULT_CHARSET);
}

void CPaintManagerUI::RebuildFont(FontInfo& info, BYTE charset) {
  HFONT font = CreateSkinFont(info.face, info.size, GetDPIObj()->GetScale(), info.bold,
                              info.underline, info.italic, charset);
  if (font == nullptr) return;
  if (info.font != nullptr) DeleteObject(info.font);
  info.font = font;
  info.hasMetrics = false;
  ReadFontMetrics(paintDC_, info);
}

// ---- Images ----

const ImageInfo* CPaintManagerUI::GetImage(const std::wstring& name) const {
  auto own = images_.find(name);
  if (own != images_.end()) return own->second.get();
  auto shared = Shared().images.find(name);
  return shared != Shared().images.end() ? shared->second.get() : nullptr;
}

const ImageInfo* CPaintManagerUI::AddImage(const std::wstring& name, const wchar_t* type,
                                           DWORD mask, bool useColourAdjust, bool shared,
                                           HINSTANCE module) {
  if (name.empty()) return nullptr;
  bool resource = type != nullptr && *type != 0;
  if (resource && !std::iswdigit(name[0])) return nullptr;
  std::unique_ptr<ImageInfo> image = LoadSkinImage(name, type, mask, module);
  if (image == nullptr) return nullptr;
  image->useColourAdjust = useColourAdjust;
  if (useColourAdjust) {
    image->originalBits.assign(image->bits,
                               image->bits + static_cast<size_t>(image->width) * image->height * 4);
  }
  const ImageInfo* added = image.get();
  ImageTable& table = shared || forceShared_ ? Shared().images : images_;
  table[name] = std::move(image);
  return added;
}

const ImageInfo* CPaintManagerUI::FindOrLoadImage(const std::wstring& name, const wchar_t* type,
                                                  DWORD mask, bool useColourAdjust,
                                                  HINSTANCE module) {
  const ImageInfo* image = GetImage(name);
  if (image != nullptr) return image;
  AddImage(name, type, mask, useColourAdjust, false, module);
  return GetImage(name);
}

void CPaintManagerUI::RemoveImage(const std::wstring& name, bool shared) {
  (shared ? Shared().images : images_).erase(name);
}

void CPaintManagerUI::RemoveAllImages(bool shared) {
  (shared ? Shared().images : images_).clear();
}

const DrawInfo* CPaintManagerUI::GetDrawInfo(const std::wstring& drawing,
                                             const std::wstring& modify) {
  std::wstring key = drawing + modify;
  auto found = drawInfos_.find(key);
  if (found != drawInfos_.end()) return found->second.get();
  auto info = std::make_unique<DrawInfo>();
  ParseDrawInfo(drawing, modify, this, *info);
  const DrawInfo* parsed = info.get();
  drawInfos_.emplace(key, std::move(info));
  return parsed;
}

void CPaintManagerUI::RemoveAllDrawInfos() { drawInfos_.clear(); }

// ---- Fonts ----

std::unique_ptr<FontInfo> CPaintManagerUI::MakeFontInfo(const std::wstring& face, int size,
                                                        bool bold, bool underline, bool italic) {
  HFONT font = CreateSkinFont(face, size, GetDPIObj()->GetScale(), bold, underline, italic);
  if (font == nullptr) return nullptr;
  auto info = std::make_unique<FontInfo>();
  info->font = font;
  info->face = face;
  info->size = size;
  info->bold = bold;
  info->underline = underline;
  info->italic = italic;
  ReadFontMetrics(paintDC_, *info);
  return info;
}

HFONT CPaintManagerUI::AddFont(int id, const std::wstring& face, int size, bool bold,
                               bool underline, bool italic, bool shared) {
  std::unique_ptr<FontInfo> info = MakeFontInfo(face, size, bold, underline, italic);
  if (info == nullptr) return nullptr;
  HFONT font = info->font;
  FontTable& table = shared || forceShared_ ? Shared().fonts : fonts_;
  table[std::to_wstring(id)] = std::move(info);
  return font;
}

void CPaintManagerUI::SetDefaultFont(const std::wstring& face, int size, bool bold, bool underline,
                                     bool italic, bool shared) {
  std::unique_ptr<FontInfo> info = MakeFontInfo(face, size, bold, underline, italic);
  if (info == nullptr) return;
  (shared || forceShared_ ? Shared().defaultFont : defaultFont_) = std::move(info);
}

FontInfo* CPaintManagerUI::GetDefaultFontInfo() {
  FontInfo* info = defaultFont_ != nullptr ? defaultFont_.get() : nullptr;
  if (info == nullptr) {
    EnsureSharedDefaultFont();
    info = Shared().defaultFont.get();
  }
  return info;
}

FontInfo* CPaintManagerUI::GetFontInfo(int id) {
  FontInfo* info = nullptr;
  if (id >= 0) {
    std::wstring key = std::to_wstring(id);
    auto own = fonts_.find(key);
    if (own != fonts_.end()) {
      info = own->second.get();
    } else {
      auto shared = Shared().fonts.find(key);
      if (shared != Shared().fonts.end()) info = shared->second.get();
    }
  }
  if (info == nullptr) info = GetDefaultFontInfo();
  if (info != nullptr && !info->hasMetrics) {
    if (paintDC_ != nullptr) {
      ReadFontMetrics(paintDC_, *info);
    } else {
      HDC screen = GetDC(nullptr);
      ReadFontMetrics(screen, *info);
      ReleaseDC(nullptr, screen);
    }
  }
  return info;
}

HFONT CPaintManagerUI::GetFont(int id) {
  FontInfo* info = GetFontInfo(id);
  return info != nullptr ? info->font : nullptr;
}

bool CPaintManagerUI::AddFontFile(const std::wstring& name) {
  std::vector<BYTE> bytes;
  if (!ReadSkinAssetFile(name, bytes)) return false;
  DWORD count = 0;
  HANDLE registration =
      AddFontMemResourceEx(bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &count);
  if (registration == nullptr) return false;
  fontFiles_.push_back(registration);
  return true;
}

// ---- Default colours ----

void CPaintManagerUI::SetDefaultDisabledColor(DWORD color, bool shared) {
  (shared ? Shared().colors : colors_).disabled = color;
}

void CPaintManagerUI::SetDefaultFontColor(DWORD color, bool shared) {
  (shared ? Shared().colors : colors_).text = color;
}

void CPaintManagerUI::SetDefaultLinkFontColor(DWORD color, bool shared) {
  (shared ? Shared().colors : colors_).link = color;
}

void CPaintManagerUI::SetDefaultLinkHoverFontColor(DWORD color, bool shared) {
  (shared ? Shared().colors : colors_).linkHover = color;
}

void CPaintManagerUI::SetDefaultSelectedBkColor(DWORD color, bool shared) {
  (shared ? Shared().colors : colors_).selectedBackground = color;
}
