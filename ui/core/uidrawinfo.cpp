#include "uidrawinfo.h"

#include <cwchar>

#include "uiskinresources.h"
#include "uiresource.h"
#include "uivalues.h"

std::map<std::wstring, std::wstring> ParseImageAttributes(const std::wstring& text) {
  std::map<std::wstring, std::wstring> pairs;
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    while (i < n && text[i] == L' ') ++i;
    size_t keyStart = i;
    while (i < n && text[i] != L'=' && text[i] != L' ') ++i;
    if (i >= n || text[i] != L'=') continue;
    std::wstring key = text.substr(keyStart, i - keyStart);
    ++i;
    std::wstring value;
    if (i < n && (text[i] == L'\'' || text[i] == L'"')) {
      wchar_t quote = text[i++];
      size_t close = text.find(quote, i);
      if (close == std::wstring::npos) close = n;
      value = text.substr(i, close - i);
      i = close < n ? close + 1 : n;
    } else {
      size_t space = text.find(L' ', i);
      if (space == std::wstring::npos) space = n;
      value = text.substr(i, space - i);
      i = space;
    }
    if (!key.empty()) pairs.emplace(std::move(key), std::move(value));
  }
  return pairs;
}

namespace {

// The variant of `name` for the scale: the first '.' becomes "@<scale>.".
std::wstring VariantName(const std::wstring& name, int scale) {
  size_t dot = name.find(L'.');
  if (dot == std::wstring::npos) return std::wstring();
  wchar_t inserted[24];
  _snwprintf(inserted, 24, L"@%d.", scale);
  inserted[23] = 0;
  return name.substr(0, dot) + inserted + name.substr(dot + 1);
}

std::wstring ImageName(const std::wstring& current,
                       const std::map<std::wstring, std::wstring>& pairs) {
  std::wstring name = current;
  for (const auto& pair : pairs) {
    if (pair.first == L"file" || pair.first == L"res") name = pair.second;
  }
  return name;
}

void ApplyKeys(const std::map<std::wstring, std::wstring>& pairs, const CDPI* dpi, DrawInfo& info) {
  int scale = dpi != nullptr ? dpi->GetScale() : 100;
  wchar_t destForScale[24];
  wchar_t sourceForScale[24];
  _snwprintf(destForScale, 24, L"dest%d", scale);
  _snwprintf(sourceForScale, 24, L"source%d", scale);
  destForScale[23] = sourceForScale[23] = 0;
  for (const auto& pair : pairs) {
    const std::wstring& key = pair.first;
    const wchar_t* value = pair.second.c_str();
    if (key == L"restype") {
      info.resourceType = pair.second;
    } else if (key == L"dest") {
      info.dest = ParseImageRect(value);
      if (dpi != nullptr) info.dest = dpi->Scale(info.dest);
    } else if (key == destForScale) {
      info.dest = ParseImageRect(value);
    } else if (key == L"source") {
      info.source = ParseImageRect(value);
      if (dpi != nullptr && info.dpiSized) info.source = dpi->Scale(info.source);
    } else if (key == sourceForScale) {
      info.source = ParseImageRect(value);
    } else if (key == L"corner") {
      info.corner = ParseImageRect(value);
      if (dpi != nullptr && info.dpiSized) info.corner = dpi->Scale(info.corner);
    } else if (key == L"mask") {
      info.mask = ParseMarkupColor(value);
    } else if (key == L"fade") {
      int fade = ParseMarkupInt(value);
      info.fade = static_cast<BYTE>(fade < 0 ? 0 : (fade > 255 ? 255 : fade));
    } else if (key == L"hole") {
      info.hole = ParseMarkupBool(value);
    } else if (key == L"xtiled") {
      info.xTiled = ParseMarkupBool(value);
    } else if (key == L"ytiled") {
      info.yTiled = ParseMarkupBool(value);
    } else if (key == L"hsl") {
      info.hsl = ParseMarkupBool(value);
    } else if (key == L"iconsize") {
      RECT numbers = ParseImageRect(value);
      info.iconSize = SIZE{numbers.left, numbers.top};
    } else if (key == L"iconalign") {
      info.iconAlign = pair.second;
    }
  }
}

}  // namespace

void ParseDrawInfo(const std::wstring& drawing, const std::wstring& modify,
                   CSkinResources* manager, DrawInfo& info) {
  info = DrawInfo();
  info.drawingString = drawing;
  info.modifyString = modify;
  auto drawingPairs = ParseImageAttributes(drawing);
  auto modifyPairs = ParseImageAttributes(modify);
  std::wstring name = ImageName(ImageName(drawing, drawingPairs), modifyPairs);

  const CDPI* dpi = manager != nullptr ? manager->GetDPIObj() : nullptr;
  int scale = dpi != nullptr ? dpi->GetScale() : 100;
  if (scale == 100) dpi = nullptr;
  info.imageName = name;
  if (dpi != nullptr) {
    std::wstring variant = VariantName(name, scale);
    if (!variant.empty() &&
        (variant.find(L".svg") != std::wstring::npos || SkinFileExists(variant))) {
      info.imageName = variant;
      info.dpiSized = true;
    }
  }
  ApplyKeys(drawingPairs, dpi, info);
  ApplyKeys(modifyPairs, dpi, info);
}
