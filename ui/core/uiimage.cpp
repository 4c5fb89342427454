#include "uiimage.h"

#include <cwctype>

#include "uiimagedecode.h"
#include "uiskinsource.h"
#include "uiresource.h"
#include "uivalues.h"

ImageInfo::~ImageInfo() {
  if (bitmap != nullptr) DeleteObject(bitmap);
}

HBITMAP CreateTopDownDib(HDC dc, int width, int height, void** bits) {
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = -height;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  return CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, bits, nullptr, 0);
}

std::unique_ptr<ImageInfo> CreateImageFromRgba(const BYTE* rgba, int width, int height, DWORD mask) {
  if (width <= 0 || height <= 0) return nullptr;
  auto image = std::make_unique<ImageInfo>();
  void* bits = nullptr;
  image->bitmap = CreateTopDownDib(nullptr, width, height, &bits);
  if (image->bitmap == nullptr) return nullptr;
  image->bits = static_cast<BYTE*>(bits);
  image->width = width;
  image->height = height;
  size_t count = static_cast<size_t>(width) * height;
  for (size_t i = 0; i < count; ++i) {
    const BYTE* in = rgba + i * 4;
    BYTE* out = image->bits + i * 4;
    BYTE a = in[3];
    if (a == 255) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    } else {
      out[0] = static_cast<BYTE>(in[2] * a / 255);
      out[1] = static_cast<BYTE>(in[1] * a / 255);
      out[2] = static_cast<BYTE>(in[0] * a / 255);
      image->alpha = true;
    }
    out[3] = a;
    DWORD pixel = static_cast<DWORD>(out[3]) << 24 | static_cast<DWORD>(out[2]) << 16 |
                  static_cast<DWORD>(out[1]) << 8 | out[0];
    if (mask != 0 && pixel == mask) {
      out[0] = out[1] = out[2] = out[3] = 0;
      image->alpha = true;
    }
  }
  return image;
}

namespace {

bool ReadModuleResource(const std::wstring& name, const wchar_t* type, HINSTANCE module,
                        std::vector<BYTE>& bytes) {
  if (name.empty() || !std::iswdigit(name[0])) return false;
  UINT id = static_cast<UINT>(ParseMarkupInt(name.c_str()));
  HINSTANCE source = module != nullptr ? module : CSkinSource::GetResourceDll();
  const BYTE* data = nullptr;
  DWORD size = 0;
  if (!LockModuleResource(source, id, type, data, size)) return false;
  bytes.assign(data, data + size);
  return true;
}

// "Image/BkPath@200.svg" is looked up as "Image/BkPath.svg" and rendered at scale 2.
std::wstring SvgLookupName(const std::wstring& name, double& scale) {
  scale = 1.0;
  size_t at = name.find(L'@');
  if (at == std::wstring::npos) return name;
  size_t dot = name.find(L'.', at);
  if (dot == std::wstring::npos) return name;
  int percent = ParseMarkupInt(name.substr(at + 1, dot - at - 1).c_str());
  if (percent > 0) scale = percent / 100.0;
  return name.substr(0, at) + name.substr(dot);
}

}  // namespace

std::unique_ptr<ImageInfo> LoadSkinImage(const std::wstring& name, const wchar_t* type, DWORD mask,
                                         HINSTANCE module) {
  std::vector<BYTE> bytes;
  bool svg = false;
  double scale = 1.0;
  if (type != nullptr && *type != 0) {
    if (!ReadModuleResource(name, type, module, bytes)) return nullptr;
  } else {
    svg = name.find(L".svg") != std::wstring::npos;
    std::wstring lookup = svg ? SvgLookupName(name, scale) : name;
    if (!ReadSkinAssetFile(lookup, bytes)) return nullptr;
  }
  std::vector<BYTE> rgba;
  int width = 0;
  int height = 0;
  bool decoded = svg ? DecodeSvgImage(bytes, scale, rgba, width, height)
                     : DecodeRasterImage(bytes, rgba, width, height);
  if (!decoded) return nullptr;
  auto image = CreateImageFromRgba(rgba.data(), width, height, mask);
  if (image != nullptr) {
    image->resourceType = type != nullptr ? type : L"";
    image->module = module;
  }
  return image;
}
