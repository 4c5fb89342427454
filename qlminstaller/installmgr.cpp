#include "installmgr.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "qlmprocesstoolhelp.h"
#include "qlmscriptengine.h"
#include "rykbaselog.h"
#include "stringconv.h"

CInstallMgr& CInstallMgr::Instance() {
  // Function-local statics are initialised once, thread-safely.
  static CInstallMgr manager;
  return manager;
}

CInstallMgr::~CInstallMgr() = default;

void CInstallMgr::RunHook(const char* hook) { QLMScriptEngine::Instance().CallHook(hook); }

void CInstallMgr::BeforeInit() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  RunHook("QLMSE_BeforeInit");
}

void CInstallMgr::BeforeInstall() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  RunHook("QLMSE_BeforeInstall");
}

void CInstallMgr::OnInstall() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  KillAllToolProcess();
  RunHook("QLMSE_OnInstall");
}

void CInstallMgr::BeforeComplete() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  RunHook("QLMSE_BeforeComplete");
  WriteCompletionMarker();
}

void CInstallMgr::AfterComplete() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  RunHook("QLMSE_AfterComplete");
}

void CInstallMgr::KillAllToolProcess() {
  std::wstring toolsFolder =
      QLMScriptEngine::Instance().GetGlobalString("global_install_path") + L"\\Tools\\";
  QLM_LOG("strAppPath:{}", WideToUtf8(toolsFolder));

  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((toolsFolder + L"\\*.*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    if (wcscmp(entry.cFileName, L".") == 0 || wcscmp(entry.cFileName, L"..") == 0) continue;
    std::wstring subFolder = toolsFolder + entry.cFileName;
    QLM_LOG("{}", WideToSystemAnsi(subFolder.c_str()));

    WIN32_FIND_DATAW file;
    HANDLE inner = FindFirstFileW((subFolder + L"\\*.*").c_str(), &file);
    if (inner == INVALID_HANDLE_VALUE) continue;
    do {
      if (file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      if (wcscmp(PathFindExtensionW(file.cFileName), L".exe") != 0) continue;
      QLM_LOG("2:----{}", WideToSystemAnsi(file.cFileName));
      TerminateProcessesByName({file.cFileName});
    } while (FindNextFileW(inner, &file));
    FindClose(inner);
  } while (FindNextFileW(find, &entry));
  FindClose(find);
}

void CInstallMgr::WriteCompletionMarker() {
  wchar_t modulePath[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, modulePath, MAX_PATH);
  const wchar_t* slash = wcsrchr(modulePath, L'\\');
  const wchar_t* fileName = slash ? slash + 1 : modulePath;
  if (wcsstr(fileName, L"@ung") == nullptr) return;

  wchar_t folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)) &&
      FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    GetTempPathW(MAX_PATH, folder);
  }
  std::wstring markerFolder = folder;
  if (!markerFolder.empty() && markerFolder.back() != L'\\') markerFolder += L'\\';
  markerFolder += L"RykDesktop\\";
  SHCreateDirectoryExW(nullptr, markerFolder.c_str(), nullptr);
  WritePrivateProfileStringW(L"RykDesktop", L"GuideNewbieIndex", L"5",
                             (markerFolder + L"Config.ini").c_str());
}

bool CInstallMgr::TrySetGlobalNumber(const char* name, double value) {
  std::unique_lock<std::recursive_mutex> lock(mutex_, std::try_to_lock);
  if (!lock.owns_lock()) return false;
  QLMScriptEngine::Instance().SetGlobalNumber(name, value);
  return true;
}

unsigned __stdcall InstallWorkerProc(void* window) {
  CInstallMgr::Instance().OnInstall();
  CInstallMgr::Instance().BeforeComplete();
  PostMessageW(static_cast<HWND>(window), kMsgInstallWorkerDone, kInstallCompletionNumber, 0);
  return 0;
}
