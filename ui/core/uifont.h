// Fonts of the paint manager: the description kept so that a font can be made again at
// another DPI scale.
#pragma once
#include <windows.h>

#include <string>

struct FontInfo {
  FontInfo() = default;
  ~FontInfo();
  FontInfo(const FontInfo&) = delete;
  FontInfo& operator=(const FontInfo&) = delete;

  HFONT font = nullptr;
  std::wstring face;
  // Size in pixels as written in the markup, before DPI scaling.
  int size = 0;
  bool bold = false;
  bool underline = false;
  bool italic = false;
  TEXTMETRICW metrics = {};
  bool hasMetrics = false;
};

// Creates the font from the system default GUI font's description with the face name (empty
// keeps the default face), the scaled size as character height and the style flags. A
// non-zero charset replaces the default font's.
HFONT CreateSkinFont(const std::wstring& face, int size, int scale, bool bold, bool underline,
                     bool italic, BYTE charset = 0);
// Reads the text metrics of info's font through dc.
void ReadFontMetrics(HDC dc, FontInfo& info);
