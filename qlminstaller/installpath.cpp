#include "installpath.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <shobjidl.h>

#include <cwchar>
#include <vector>

#include "debugoutput.h"
#include "procaddress.h"
#include "qlmscriptengine.h"
#include "scopeguard.h"
#include "stringconv.h"
#include "uicontrol.h"
#include "uioption.h"

namespace {

constexpr wchar_t kBadInstallPath[] = L"安装路径非法，请重新修改！";
constexpr wchar_t kBadBackupPath[] = L"备份路径非法，请重新修改！";
constexpr wchar_t kErrorCaption[] = L"错误";
constexpr wchar_t kNoSpaceFormat[] =
    L"磁盘剩余可用空间不足,安装程序需要%0.2fMB的空间来完成安装！";
constexpr wchar_t kNoSpaceCaption[] = L"提示";
// shell32's SHCreateDirectory, exported by ordinal.
constexpr WORD kCreateDirectoryOrdinal = 165;

// Cuts a path to at most MAX_PATH characters and removes its last component.
std::wstring ParentFolder(const std::wstring& path) {
  wchar_t buffer[MAX_PATH + 1] = {};
  lstrcpynW(buffer, path.c_str(), MAX_PATH + 1);
  PathRemoveFileSpecW(buffer);
  return buffer;
}

std::wstring ProgramFilesFolder() {
  wchar_t folder[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder);
  return folder;
}

// The picker's start folder: the folder itself, its parent, or the program-files folder.
std::wstring StartFolder(const std::wstring& text) {
  std::wstring folder = text.empty() ? L"$global_install_path$" : text;
  if (!PathFileExistsW(folder.c_str())) {
    folder = ParentFolder(folder);
    if (!PathFileExistsW(folder.c_str())) folder = ProgramFilesFolder();
  }
  return folder;
}

// Makes the folder the dialog's default and current folder.
void SetDialogFolder(IFileDialog* dialog, const std::wstring& folder) {
  PIDLIST_ABSOLUTE list = nullptr;
  if (FAILED(SHParseDisplayName(folder.c_str(), nullptr, &list, 0, nullptr))) return;
  ComRef<IShellItem> item;
  if (SUCCEEDED(SHCreateItemFromIDList(list, IID_IShellItem, item.OutVoid()))) {
    dialog->SetDefaultFolder(item.Get());
    dialog->SetFolder(item.Get());
  }
  CoTaskMemFree(list);
}

// The chosen folder, or empty when the user cancelled or it has no file-system path.
std::wstring ShowFolderDialog(HWND owner, const std::wstring& start) {
  ComRef<IFileDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileDialog,
                              dialog.OutVoid()))) {
    return std::wstring();
  }
  SetDialogFolder(dialog.Get(), start);
  dialog->SetOptions(FOS_PICKFOLDERS);
  if (FAILED(dialog->Show(owner))) return std::wstring();
  ComRef<IShellItem> result;
  if (FAILED(dialog->GetResult(result.Out()))) return std::wstring();
  PWSTR path = nullptr;
  if (FAILED(result->GetDisplayName(SIGDN_FILESYSPATH, &path)) || path == nullptr) {
    return std::wstring();
  }
  std::wstring chosen = path;
  CoTaskMemFree(path);
  return chosen;
}

void ShowBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT icon) {
  MessageBoxW(owner, text, caption, MB_OK | icon);
}

CControlUI* CollectOptions(CControlUI* control, void* data) {
  if (lstrcmpW(control->GetClass(), L"OptionUI") == 0) {
    static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
  }
  return nullptr;
}

}  // namespace

void PrepareFolderText(CControlUI* edit) {
  if (edit == nullptr) return;
  std::wstring text = edit->GetText();
  DebugLine(L"%s", text.c_str());
  if (text.empty()) return;
  size_t first = text.find(L'$');
  if (first == std::wstring::npos) return;
  size_t second = text.find(L'$', first + 1);
  if (second == std::wstring::npos) return;
  const std::wstring placeholder = text.substr(first, second - first + 1);
  const std::wstring name = text.substr(first + 1, second - first - 1);
  DebugLine(L"%s", name.c_str());
  std::wstring value = QLMScriptEngine::Instance().GetGlobalString(WideToAnsi(name).c_str());
  if (value.empty()) return;
  ReplaceAll(text, placeholder, value);
  edit->SetText(text);
  DebugLine(L"%s", L"-----------------------------");
  DebugLine(L"%s", text.c_str());
  DebugLine(L"%s", L"-----------------------------");
}

bool CheckDir(const std::wstring& folder, const std::wstring& baseName) {
  DebugLine(L"CheckDir %s, %s", folder.c_str(), baseName.c_str());
  size_t separator = folder.find_last_of(L"\\/");
  std::wstring last = separator == std::wstring::npos ? folder : folder.substr(separator + 1);
  return last == baseName;
}

void PickInstallFolder(HWND owner, CControlUI* edit) {
  if (edit == nullptr) return;
  std::wstring start = StartFolder(edit->GetText());
  DebugLine(L"%s", start.c_str());
  std::wstring chosen = ShowFolderDialog(owner, start);
  if (chosen.empty()) return;
  std::wstring baseName = QLMScriptEngine::Instance().GetGlobalString("global_install_basepath");
  edit->SetText(CompleteChosenFolder(chosen, baseName));
}

std::wstring CompleteChosenFolder(const std::wstring& chosen, const std::wstring& baseName) {
  if (CheckDir(chosen, baseName)) return chosen;
  std::wstring completed = chosen;
  if (completed.empty() || (completed.back() != L'\\' && completed.back() != L'/')) {
    completed += L'\\';
  }
  return completed + baseName;
}

bool IsUsableFolder(const std::wstring& path) {
  if (PathGetDriveNumberW(path.c_str()) == -1) return false;
  using CreateDirectoryFunction = int(WINAPI*)(HWND, const wchar_t*);
  auto create = LookUpFunction<CreateDirectoryFunction>(
      GetModuleHandleW(L"shell32.dll"), MAKEINTRESOURCEA(kCreateDirectoryOrdinal));
  if (create == nullptr) return false;
  int result = create(nullptr, path.c_str());
  return result == ERROR_SUCCESS || result == ERROR_FILE_EXISTS || result == ERROR_ALREADY_EXISTS;
}

unsigned long long RequiredDiskSpace(const std::wstring& text) {
  const wchar_t* p = text.c_str();
  while (*p == L' ' || *p == L'\t') ++p;
  if (*p < L'0' || *p > L'9') {
    DebugLine(L"global_need_disk_space is no number: %s", text.c_str());
    return 0;
  }
  unsigned long long value = 0;
  for (; *p >= L'0' && *p <= L'9'; ++p) value = value * 10 + static_cast<unsigned>(*p - L'0');
  return value;
}

std::wstring DiskSpaceMessage(unsigned long long required) {
  // Single precision, as the message has always been computed.
  float megabytes = static_cast<float>(required) * 0.0009765625f * 0.0009765625f;
  wchar_t text[256];
  _snwprintf(text, 256, kNoSpaceFormat, static_cast<double>(megabytes));
  text[255] = 0;
  return text;
}

bool RunInstallChecks(HWND owner, CControlUI* edit, CControlUI* welcomeView) {
  if (edit == nullptr) return false;
  QLMScriptEngine& engine = QLMScriptEngine::Instance();
  std::wstring folder = edit->GetText();
  if (!IsUsableFolder(folder)) {
    ShowBox(owner, kBadInstallPath, kErrorCaption, MB_ICONWARNING);
    return false;
  }
  wchar_t trimmed[MAX_PATH + 1] = {};
  lstrcpynW(trimmed, folder.c_str(), MAX_PATH + 1);
  PathRemoveBackslashW(trimmed);
  folder = trimmed;

  if (!edit->GetUserData().empty()) {
    engine.SetGlobalString(WideToAnsi(edit->GetUserData()).c_str(), folder);
  }
  std::vector<CControlUI*> options;
  if (welcomeView != nullptr) welcomeView->FindControl(CollectOptions, &options, UIFIND_ALL);
  for (CControlUI* control : options) {
    // An option without a global name has nothing to write.
    if (control->GetUserData().empty()) continue;
    auto* option = static_cast<COptionUI*>(control->GetInterface(L"Option"));
    engine.SetGlobalBoolean(WideToAnsi(control->GetUserData()).c_str(), option->IsSelected());
  }

  std::wstring backup = engine.GetGlobalString("BackUpPath");
  if (!backup.empty()) {
    DebugLine(L"backpath = %s", backup.c_str());
    if (!IsUsableFolder(backup)) {
      ShowBox(owner, kBadBackupPath, kErrorCaption, MB_ICONWARNING);
      return false;
    }
  }

  ULARGE_INTEGER available = {};
  ULARGE_INTEGER total = {};
  ULARGE_INTEGER free = {};
  std::wstring drive = folder.substr(0, 2);
  unsigned long long freeBytes =
      GetDiskFreeSpaceExW(drive.c_str(), &available, &total, &free) ? free.QuadPart : 0;
  unsigned long long required = RequiredDiskSpace(engine.GetGlobalString("global_need_disk_space"));
  if (freeBytes >= required) return true;
  ShowBox(owner, DiskSpaceMessage(required).c_str(), kNoSpaceCaption, MB_ICONINFORMATION);
  return false;
}
