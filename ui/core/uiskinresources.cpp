#include "uiskinresources.h"

#include <cwctype>
#include <string>

#include "uiresource.h"

namespace {

// Class-level state shared by every paint manager of the process.
struct SharedResources {
  std::map<std::wstring, std::unique_ptr<ImageInfo>> images;
  std::map<std::wstring, std::unique_ptr<FontInfo>> fonts;
  std::unique_ptr<FontInfo> defaultFont;
  CSkinResources::DefaultColors colors;
  std::map<std::wstring, std::wstring> defaultAttributes;
  std::map<std::wstring, std::wstring> styles;
};

// The own table's entry, else the shared table's; null when neither has the key.
const std::wstring* FindText(const std::map<std::wstring, std::wstring>& own,
                             const std::map<std::wstring, std::wstring>& shared,
                             const std::wstring& key) {
  auto found = own.find(key);
  if (found != own.end()) return &found->second;
  found = shared.find(key);
  return found != shared.end() ? &found->second : nullptr;
}

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
  shared.colors = CSkinResources::DefaultColors();
}

}  // namespace

CSkinResources::CSkinResources() {
  EnsureSharedDefaultFont();
  colors_ = Shared().colors;
}

CSkinResources::~CSkinResources() {
  for (HANDLE registration : fontFiles_) RemoveFontMemResourceEx(registration);
}

void CSkinResources::TermShared() {
  SharedResources& shared = Shared();
  shared.images.clear();
  shared.fonts.clear();
  shared.defaultFont.reset();
  shared.defaultAttributes.clear();
  shared.styles.clear();
}

// ---- DPI ----

void CSkinResources::SetResourceDPI(int dpi) {
  GetDPIObj()->SetDPI(dpi);
  ResetDPIAssets();
}

void CSkinResources::ResetDPIAssets() {
  RemoveAllDrawInfos();
  RemoveAllImages(false);
  for (auto& font : fonts_) RebuildFont(*font.second);
  if (defaultFont_ != nullptr) RebuildFont(*defaultFont_);
  for (auto& font : Shared().fonts) RebuildFont(*font.second);
  if (Shared().defaultFont != nullptr) RebuildFont(*Shared().defaultFont, DEFAULT_CHARSET);
}

void CSkinResources::RebuildFont(FontInfo& info, BYTE charset) {
  HFONT font = CreateSkinFont(info.face, info.size, GetDPIObj()->GetScale(), info.bold,
                              info.underline, info.italic, charset);
  if (font == nullptr) return;
  if (info.font != nullptr) DeleteObject(info.font);
  info.font = font;
  info.hasMetrics = false;
  ReadFontMetrics(paintDC_, info);
}

// ---- Images ----

const ImageInfo* CSkinResources::GetImage(const std::wstring& name) const {
  auto own = images_.find(name);
  if (own != images_.end()) return own->second.get();
  auto shared = Shared().images.find(name);
  return shared != Shared().images.end() ? shared->second.get() : nullptr;
}

const ImageInfo* CSkinResources::AddImage(const std::wstring& name, const wchar_t* type,
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

const ImageInfo* CSkinResources::FindOrLoadImage(const std::wstring& name, const wchar_t* type,
                                                  DWORD mask, bool useColourAdjust,
                                                  HINSTANCE module) {
  const ImageInfo* image = GetImage(name);
  if (image != nullptr) return image;
  AddImage(name, type, mask, useColourAdjust, false, module);
  return GetImage(name);
}

void CSkinResources::RemoveImage(const std::wstring& name, bool shared) {
  (shared ? Shared().images : images_).erase(name);
}

void CSkinResources::RemoveAllImages(bool shared) {
  (shared ? Shared().images : images_).clear();
}

const DrawInfo* CSkinResources::GetDrawInfo(const std::wstring& drawing,
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

void CSkinResources::RemoveAllDrawInfos() { drawInfos_.clear(); }

// ---- Fonts ----

std::unique_ptr<FontInfo> CSkinResources::MakeFontInfo(const std::wstring& face, int size,
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

HFONT CSkinResources::AddFont(int id, const std::wstring& face, int size, bool bold,
                               bool underline, bool italic, bool shared) {
  std::unique_ptr<FontInfo> info = MakeFontInfo(face, size, bold, underline, italic);
  if (info == nullptr) return nullptr;
  HFONT font = info->font;
  FontTable& table = shared || forceShared_ ? Shared().fonts : fonts_;
  table[std::to_wstring(id)] = std::move(info);
  return font;
}

void CSkinResources::SetDefaultFont(const std::wstring& face, int size, bool bold, bool underline,
                                     bool italic, bool shared) {
  std::unique_ptr<FontInfo> info = MakeFontInfo(face, size, bold, underline, italic);
  if (info == nullptr) return;
  (shared || forceShared_ ? Shared().defaultFont : defaultFont_) = std::move(info);
}

FontInfo* CSkinResources::GetDefaultFontInfo() {
  FontInfo* info = defaultFont_ != nullptr ? defaultFont_.get() : nullptr;
  if (info == nullptr) {
    EnsureSharedDefaultFont();
    info = Shared().defaultFont.get();
  }
  return info;
}

FontInfo* CSkinResources::GetFontInfo(int id) {
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

HFONT CSkinResources::GetFont(int id) {
  FontInfo* info = GetFontInfo(id);
  return info != nullptr ? info->font : nullptr;
}

bool CSkinResources::AddFontFile(const std::wstring& name) {
  std::vector<BYTE> bytes;
  if (!ReadSkinAssetFile(name, bytes)) return false;
  DWORD count = 0;
  HANDLE registration =
      AddFontMemResourceEx(bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &count);
  if (registration == nullptr) return false;
  fontFiles_.push_back(registration);
  return true;
}

// ---- Default attribute lists and styles ----

void CSkinResources::AddDefaultAttributeList(const std::wstring& element,
                                             const std::wstring& list, bool shared) {
  (shared || forceShared_ ? Shared().defaultAttributes : defaultAttributes_)[element] = list;
}

const std::wstring* CSkinResources::GetDefaultAttributeList(const std::wstring& element) const {
  return FindText(defaultAttributes_, Shared().defaultAttributes, element);
}

void CSkinResources::AddStyle(const std::wstring& name, const std::wstring& list, bool shared) {
  (shared || forceShared_ ? Shared().styles : styles_)[name] = list;
}

const std::wstring* CSkinResources::GetStyle(const std::wstring& name) const {
  return FindText(styles_, Shared().styles, name);
}

// ---- Default colours ----

void CSkinResources::SetDefaultDisabledColor(DWORD color, bool shared) {
  (shared ? Shared().colors : colors_).disabled = color;
}

void CSkinResources::SetDefaultFontColor(DWORD color, bool shared) {
  (shared ? Shared().colors : colors_).text = color;
}

void CSkinResources::SetDefaultLinkFontColor(DWORD color, bool shared) {
  (shared ? Shared().colors : colors_).link = color;
}

void CSkinResources::SetDefaultLinkHoverFontColor(DWORD color, bool shared) {
  (shared ? Shared().colors : colors_).linkHover = color;
}

void CSkinResources::SetDefaultSelectedBkColor(DWORD color, bool shared) {
  (shared ? Shared().colors : colors_).selectedBackground = color;
}
