// Opens a skin (a folder or a ZIP archive) and shows the window its layout file describes:
//   skinview <skin folder or .zip> [layout file, default Layout/Layout.xml] [/dpi <value>]
// A look at a skin without building an installer. Closing the window ends the program.
#include <windows.h>
#include <gdiplus.h>
#include <objbase.h>

#include <cwchar>
#include <string>
#include <vector>

#include "safelibrary.h"
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

// The whole file, or nothing.
std::vector<BYTE> ReadFile(const std::wstring& path) {
  std::vector<BYTE> bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  LARGE_INTEGER size = {};
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < 0x40000000) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size()) {
      bytes.clear();
    }
  }
  CloseHandle(file);
  return bytes;
}

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

  CoInitialize(nullptr);
  ULONG_PTR gdiplus = 0;
  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&gdiplus, &input, nullptr);
  CPaintManagerUI::SetInstance(instance);
  std::vector<BYTE> archive;
  DWORD attributes = GetFileAttributesW(skin.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    CPaintManagerUI::SetResourcePath(skin.c_str());
  } else {
    archive = ReadFile(skin);
    CPaintManagerUI::SetResourceArchive(archive.data(), archive.size(), L"");
  }
  {
    SkinViewWindow window(layout, dpi);
    if (window.Create(nullptr, L"skinview", WS_POPUP | WS_VISIBLE | WS_SYSMENU, 0) != nullptr) {
      CPaintManagerUI::MessageLoop();
    }
  }
  CPaintManagerUI::Term();
  Gdiplus::GdiplusShutdown(gdiplus);
  CoUninitialize();
  return 0;
}
