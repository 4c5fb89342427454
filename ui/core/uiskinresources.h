// The skin resource tables of one paint manager: images, parsed image attribute strings,
// fonts, default colours, default attribute lists, styles and the DPI scale they are made for,
// beside the tables that every manager of the process shares.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "uidpi.h"
#include "uidrawinfo.h"
#include "uifont.h"
#include "uiimage.h"

class CSkinResources {
 public:
  CSkinResources();
  virtual ~CSkinResources();
  CSkinResources(const CSkinResources&) = delete;
  CSkinResources& operator=(const CSkinResources&) = delete;

  // Frees the shared images, fonts, default font, default attribute lists and styles; called
  // once at the end of the process.
  static void TermShared();

  // ---- DPI ----
  CDPI* GetDPIObj() const { return dpi_.get(); }
  // Sets the scale for a DPI value and makes the scale-dependent resources again.
  void SetResourceDPI(int dpi);
  // Empties the draw-info cache and the manager's images and makes every font again at the
  // current scale (shared images stay).
  void ResetDPIAssets();

  // ---- Images ----
  const ImageInfo* GetImage(const std::wstring& name) const;
  const ImageInfo* AddImage(const std::wstring& name, const wchar_t* type = nullptr, DWORD mask = 0,
                            bool useColourAdjust = false, bool shared = false,
                            HINSTANCE module = nullptr);
  const ImageInfo* FindOrLoadImage(const std::wstring& name, const wchar_t* type = nullptr,
                                   DWORD mask = 0, bool useColourAdjust = false,
                                   HINSTANCE module = nullptr);
  void RemoveImage(const std::wstring& name, bool shared = false);
  void RemoveAllImages(bool shared = false);
  const DrawInfo* GetDrawInfo(const std::wstring& drawing, const std::wstring& modify);
  void RemoveAllDrawInfos();

  // ---- Fonts ----
  HFONT AddFont(int id, const std::wstring& face, int size, bool bold, bool underline, bool italic,
                bool shared = false);
  void SetDefaultFont(const std::wstring& face, int size, bool bold, bool underline, bool italic,
                      bool shared = false);
  // For id >= 0 the manager's fonts, then the shared ones, then the default font; a negative
  // id gives the default font.
  HFONT GetFont(int id);
  FontInfo* GetFontInfo(int id);
  FontInfo* GetDefaultFontInfo();
  // Registers a font file of the skin privately for the process until the manager goes.
  bool AddFontFile(const std::wstring& name);

  // ---- Default colours (0xAARRGGBB) ----
  DWORD GetDefaultDisabledColor() const { return colors_.disabled; }
  DWORD GetDefaultFontColor() const { return colors_.text; }
  DWORD GetDefaultLinkFontColor() const { return colors_.link; }
  DWORD GetDefaultLinkHoverFontColor() const { return colors_.linkHover; }
  DWORD GetDefaultSelectedBkColor() const { return colors_.selectedBackground; }
  void SetDefaultDisabledColor(DWORD color, bool shared = false);
  void SetDefaultFontColor(DWORD color, bool shared = false);
  void SetDefaultLinkFontColor(DWORD color, bool shared = false);
  void SetDefaultLinkHoverFontColor(DWORD color, bool shared = false);
  void SetDefaultSelectedBkColor(DWORD color, bool shared = false);

  // ---- Default attribute lists and styles (own table, or the shared one) ----
  void AddDefaultAttributeList(const std::wstring& element, const std::wstring& list,
                               bool shared = false);
  const std::wstring* GetDefaultAttributeList(const std::wstring& element) const;
  void AddStyle(const std::wstring& name, const std::wstring& list, bool shared = false);
  const std::wstring* GetStyle(const std::wstring& name) const;

  // Puts every image, font, default attribute list and style into the shared tables.
  bool IsForceUseSharedRes() const { return forceShared_; }
  void SetForceUseSharedRes(bool shared) { forceShared_ = shared; }
  // Images drawn into a layered window are always alpha-blended, and its text is drawn with
  // GDI+.
  virtual bool IsLayered() const { return false; }

  // ---- Text drawing settings ----
  bool IsUseGdiplusText() const { return gdiplusText_; }
  void SetUseGdiplusText(bool use) { gdiplusText_ = use; }
  int GetGdiplusTextRenderingHint() const { return textRenderingHint_; }
  void SetGdiplusTextRenderingHint(int hint) { textRenderingHint_ = hint; }
  bool IsTextRenderDouble() const { return textRenderDouble_; }
  void SetTextRenderDouble(bool on) { textRenderDouble_ = on; }
  // The outline-text renderer; text falls back to GDI+ with it on.
  bool IsUseTextDesigner() const { return textDesigner_; }
  void SetUseTextDesigner(bool on) { textDesigner_ = on; }
  // The device context that font metrics are read through (the window's, once attached).
  HDC GetPaintDC() const { return paintDC_; }

  struct DefaultColors {
    DWORD disabled = 0xFFA7A6AA;
    DWORD text = 0xFF000000;
    DWORD link = 0xFF0000FF;
    DWORD linkHover = 0xFFD3215F;
    DWORD selectedBackground = 0xFFBAE4FF;
  };

 protected:
  using ImageTable = std::map<std::wstring, std::unique_ptr<ImageInfo>>;
  using FontTable = std::map<std::wstring, std::unique_ptr<FontInfo>>;
  using TextTable = std::map<std::wstring, std::wstring>;

  void RebuildFont(FontInfo& info, BYTE charset = 0);
  // A font of the skin at the current scale with its metrics; null when it cannot be made.
  std::unique_ptr<FontInfo> MakeFontInfo(const std::wstring& face, int size, bool bold,
                                         bool underline, bool italic);

  HDC paintDC_ = nullptr;
  bool gdiplusText_ = false;
  int textRenderingHint_ = 0;
  bool textRenderDouble_ = false;
  bool textDesigner_ = false;
  bool forceShared_ = false;
  std::unique_ptr<CDPI> dpi_ = std::make_unique<CDPI>();
  ImageTable images_;
  std::map<std::wstring, std::unique_ptr<DrawInfo>> drawInfos_;
  FontTable fonts_;
  std::unique_ptr<FontInfo> defaultFont_;
  DefaultColors colors_;
  TextTable defaultAttributes_;
  TextTable styles_;
  std::vector<HANDLE> fontFiles_;
};
