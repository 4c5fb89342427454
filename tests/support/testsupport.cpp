#include "testsupport.h"

#include <tlhelp32.h>

#include <algorithm>
#include <fstream>
#include <sstream>

bool StartProcess(const std::wstring& commandLine, PROCESS_INFORMATION& info) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');
  return CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info) != FALSE;
}

ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs) {
  ProcessResult result;
  PROCESS_INFORMATION info = {};
  if (!StartProcess(commandLine, info)) return result;
  result.started = true;
  result.pid = info.dwProcessId;
  if (WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0) {
    result.finished = true;
    GetExitCodeProcess(info.hProcess, &result.exitCode);
  } else {
    TerminateProcess(info.hProcess, 1);
  }
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  return result;
}

std::wstring ModuleFolder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring BinFolder() { return ModuleFolder() + L"..\\bin\\"; }

namespace {

struct WindowSearch {
  DWORD pid;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[256] = {};
  GetClassNameW(window, className, 256);
  if (owner != search->pid || wcscmp(className, search->className) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

HWND WindowOfProcess(DWORD pid, const wchar_t* className) {
  WindowSearch search = {pid, className, nullptr};
  EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

ChildProcess::ChildProcess(const std::wstring& commandLine) {
  if (!StartProcess(commandLine, info_)) info_ = {};
}

ChildProcess::~ChildProcess() {
  if (!Started()) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hProcess);
  CloseHandle(info_.hThread);
}

HWND ChildProcess::WaitForWindow(const wchar_t* className, DWORD timeoutMs) const {
  const DWORD start = GetTickCount();
  while (Started() && GetTickCount() - start < timeoutMs) {
    if (HWND window = WindowOfProcess(info_.dwProcessId, className)) return window;
    Sleep(100);
  }
  return nullptr;
}

bool ChildProcess::WaitExit(DWORD timeoutMs, DWORD& exitCode) const {
  if (!Started() || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  return GetExitCodeProcess(info_.hProcess, &exitCode) != FALSE;
}

ProcessResult RunScriptInChild(const std::wstring& scriptPath, DWORD timeoutMs) {
  return RunProcess(L"\"" + BinFolder() + L"qlm_runscript.exe\" \"" + scriptPath + L"\"",
                    timeoutMs);
}

TempFolder::TempFolder(const std::wstring& hint) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  static std::atomic<int> counter{0};
  path_ = std::wstring(temp) + hint + L"_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
          std::to_wstring(counter++);
  RemoveTree(path_);
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring child = path + L"\\" + name;
      SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(path.c_str());
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

std::string ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes;
  char chunk[65536];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0) bytes.append(chunk, read);
  CloseHandle(file);
  return bytes;
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<DWORD> ChildProcesses(DWORD parent) {
  std::vector<DWORD> children;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return children;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ParentProcessID == parent) children.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return children;
}

namespace {

struct DialogSearch {
  const std::wstring* caption;
  const std::function<bool(DWORD pid)>* owner;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<DialogSearch*>(context);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (wcscmp(className, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  wchar_t title[512] = {};
  GetWindowTextW(window, title, 512);
  if (*search->caption != title) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (!(*search->owner)(pid)) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND FindDialog(const std::wstring& caption, const std::function<bool(DWORD pid)>& owner) {
  DialogSearch search{&caption, &owner, nullptr};
  EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindOwnDialog(const std::wstring& caption) {
  const DWORD self = GetCurrentProcessId();
  return FindDialog(caption, [self](DWORD pid) {
    if (pid == self) return true;
    const std::vector<DWORD> children = ChildProcesses(self);
    return std::find(children.begin(), children.end(), pid) != children.end();
  });
}

std::wstring DialogText(HWND box) {
  wchar_t text[8192] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 8192);
  return text;
}

void AnswerDialog(HWND box, int buttonId) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
}

MessageBoxAnswerer::MessageBoxAnswerer(std::wstring caption, int buttonId, int times)
    : caption_(std::move(caption)), buttonId_(buttonId), times_(times) {
  InitializeCriticalSection(&lock_);
  thread_ = std::thread([this] {
    while (!stop_ && answered_ < times_) {
      HWND box = FindOwnDialog(caption_);
      if (box) {
        std::wstring text = DialogText(box);
        EnterCriticalSection(&lock_);
        lastText_ = std::move(text);
        LeaveCriticalSection(&lock_);
        AnswerDialog(box, buttonId_);
        // Wait for this box to go before looking for the next one.
        for (int i = 0; i < 200 && IsWindow(box); ++i) Sleep(25);
        ++answered_;
      } else {
        Sleep(50);
      }
    }
  });
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
  stop_ = true;
  thread_.join();
  DeleteCriticalSection(&lock_);
}

std::wstring MessageBoxAnswerer::LastText() const {
  EnterCriticalSection(&lock_);
  std::wstring text = lastText_;
  LeaveCriticalSection(&lock_);
  return text;
}

bool MessageBoxAnswerer::Wait(DWORD timeoutMs) const {
  DWORD start = GetTickCount();
  while (answered_ < times_) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
  return true;
}
