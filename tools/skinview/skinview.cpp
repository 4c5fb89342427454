// Opens a skin (a folder or a ZIP archive) and shows the window its layout file describes:
//   skinview <skin folder or .zip> [layout file, default Layout/Layout.xml] [/dpi <value>]
// A look at a skin without building an installer. Closing the window ends the program.
#include <windows.h>
#include <gdiplus.h>
#include <objbase.h>

#include <cwchar>
#include <string>

#include "safelibrary.h"
#include "scopeguard.h"
#include "uiwindowimplbase.h"

namespace {

class SkinViewWindow : public WindowImplBase {
 public:
  SkinViewWindow(std::wstring layout, int dpi) : layout_(std::move(layout)), dpi_(dpi) {}

 protected:
  const wchar_t* GetWindowClassName() const override { return L"QLMSkinView"; }
  std::wstring GetSkinFile() const override { return layout_; }
  void InitWindow() override {
    if (dpi_ > 0) CPaintManagerUI::SetAllDPI(dpi_);
    CenterWindow();
  }
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, bool& handled) override {
    PostQuitMessage(0);
    handled = false;
    return 0;
  }

 private:
  std::wstring layout_;
  int dpi_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  RestrictLibrarySearch();
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) {
    MessageBoxW(nullptr, L"skinview <skin folder or .zip> [layout file] [/dpi <value>]",
                L"skinview", MB_OK);
    return 2;
  }
  std::wstring skin = argv[1];
  std::wstring layout = L"Layout/Layout.xml";
  int dpi = 0;
  for (int i = 2; i < argc; ++i) {
    if (_wcsicmp(argv[i], L"/dpi") == 0 && i + 1 < argc) {
      dpi = _wtoi(argv[++i]);
    } else {
      layout = argv[i];
    }
  }
  LocalFree(argv);

  ComInitGuard com(CoInitialize(nullptr), CoUninitialize);
  ULONG_PTR gdiplus = 0;
  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&gdiplus, &input, nullptr);
  CPaintManagerUI::SetInstance(instance);
  DWORD attributes = GetFileAttributesW(skin.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    CPaintManagerUI::SetResourcePath(skin.c_str());
  } else {
    // The archive file is named under its folder, the resource path.
    size_t slash = skin.find_last_of(L"\\/");
    std::wstring folder = slash != std::wstring::npos ? skin.substr(0, slash + 1) : L"";
    CPaintManagerUI::SetResourcePath(folder.c_str());
    CPaintManagerUI::SetResourceArchiveFile(skin.c_str() + folder.size(), L"");
  }
  {
    SkinViewWindow window(layout, dpi);
    if (window.Create(nullptr, L"skinview", WS_POPUP | WS_VISIBLE | WS_SYSMENU, 0) != nullptr) {
      CPaintManagerUI::MessageLoop();
    }
  }
  CPaintManagerUI::Term();
  Gdiplus::GdiplusShutdown(gdiplus);
  return 0;
}
