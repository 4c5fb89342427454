#include "uifont.h"

FontInfo::~FontInfo() {
  if (font != nullptr) DeleteObject(font);
}

HFONT CreateSkinFont(const std::wstring& face, int size, int scale, bool bold, bool underline,
                     bool italic, BYTE charset) {
  LOGFONTW lf = {};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  if (!face.empty()) lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  if (charset != 0) lf.lfCharSet = charset;
  lf.lfHeight = -MulDiv(size, scale, 100);
  if (bold) lf.lfWeight = FW_BOLD;
  lf.lfUnderline = underline ? TRUE : FALSE;
  lf.lfItalic = italic ? TRUE : FALSE;
  return CreateFontIndirectW(&lf);
}

void ReadFontMetrics(HDC dc, FontInfo& info) {
  if (dc == nullptr || info.font == nullptr) return;
  HGDIOBJ old = SelectObject(dc, info.font);
  info.hasMetrics = GetTextMetricsW(dc, &info.metrics) != FALSE;
  SelectObject(dc, old);
}
