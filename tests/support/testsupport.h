// Helpers shared by the test programs: running child processes, answering message boxes,
// temporary folders and files.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

struct ProcessResult {
  bool started = false;
  bool finished = false;
  DWORD exitCode = 0;
  DWORD pid = 0;
};

// Runs a command line and waits for it to end (at most timeoutMs).
ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs = 60000);

// Starts a command line without waiting; the caller owns the returned process information.
bool StartProcess(const std::wstring& commandLine, PROCESS_INFORMATION& info);

// Folder of the running test program, with a trailing backslash.
std::wstring ModuleFolder();
// Folder of the project's programs (<build>\bin\), with a trailing backslash.
std::wstring BinFolder();

// A started program; terminated on destruction if it still runs.
class ChildProcess {
 public:
  explicit ChildProcess(const std::wstring& commandLine);
  virtual ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return info_.hProcess != nullptr; }
  DWORD Pid() const { return info_.dwProcessId; }
  // Waits until the process has a top-level window of the class; false after the timeout.
  // (Wine gives processes helper windows of other classes, so the class matters.)
  HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs = 60000) const;
  // True when the process ended within the timeout; its exit code goes to `exitCode`.
  bool WaitExit(DWORD timeoutMs, DWORD& exitCode) const;

 private:
  PROCESS_INFORMATION info_ = {};
};

// Runs a script file through the engine in a child process (qlm_runscript): exit code 0 when
// it ran, or when a script error ended it through the error box; 3 when it did not load or run.
ProcessResult RunScriptInChild(const std::wstring& scriptPath, DWORD timeoutMs = 60000);

// A fresh empty folder under the temporary folder, removed with its content on destruction.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& hint = L"qlmtest");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& Path() const { return path_; }  // without trailing backslash
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

void RemoveTree(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);

// The ids of the running processes that the process `parent` started.
std::vector<DWORD> ChildProcesses(DWORD parent);

// A visible dialog (class "#32770") with the caption whose process the filter accepts; null
// when there is none.
HWND FindDialog(const std::wstring& caption, const std::function<bool(DWORD pid)>& owner);
// FindDialog for this process and its child processes: tests running side by side never see
// each other's boxes.
HWND FindOwnDialog(const std::wstring& caption);
// The text of a message box.
std::wstring DialogText(HWND box);
// Presses the button of a dialog (IDOK, IDYES, ...) through a posted command.
void AnswerDialog(HWND box, int buttonId);

// Watches for a message box with the given caption (FindOwnDialog), records its text and
// answers it with the button id. Runs on its own thread until destroyed.
class MessageBoxAnswerer {
 public:
  MessageBoxAnswerer(std::wstring caption, int buttonId, int times = 1);
  ~MessageBoxAnswerer();
  MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
  MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;
  int Answered() const { return answered_; }
  std::wstring LastText() const;
  // Waits until `times` boxes were answered or the timeout passed.
  bool Wait(DWORD timeoutMs) const;

 private:
  std::wstring caption_;
  int buttonId_;
  int times_;
  std::atomic<int> answered_{0};
  std::atomic<bool> stop_{false};
  mutable CRITICAL_SECTION lock_;
  std::wstring lastText_;
  std::thread thread_;
};
