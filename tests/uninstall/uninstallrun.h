// Runs an uninstaller command line and follows both of its processes: the original and the
// copy that the original starts from the temporary folder. Message boxes of either process
// are answered on the way.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct UninstallRun {
  bool finished = false;  // the original ended in time
  DWORD exitCode = 0;     // the original's exit code
  bool copySeen = false;  // the original started a copy
  bool copyFinished = false;
  DWORD copyExitCode = 0;
  std::wstring copyPath;               // the copy's program
  std::vector<std::wstring> boxTexts;  // every message box answered, in order
  DWORD milliseconds = 0;              // from the start to the end of the last process
};

// Returns the button (IDYES, IDNO, IDOK) for a box with this text.
using BoxAnswer = std::function<int(const std::wstring& text)>;

// `caption` names the boxes to answer.
UninstallRun RunUninstaller(const std::wstring& commandLine, const std::wstring& caption,
                            const BoxAnswer& answer);

// True when PendingFileRenameOperations names `path` for deletion at the next restart.
bool RegisteredForDeletionAtRestart(const std::wstring& path);
