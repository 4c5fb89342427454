#include "signcommand.h"

#include <windows.h>

#include "procaddress.h"
#include "scopeguard.h"
#include "stringconv.h"

namespace {

// A copy of the text with every occurrence of `what` replaced.
std::wstring Replaced(std::wstring text, std::wstring_view what, std::wstring_view with) {
  ReplaceAll(text, what, with);
  return text;
}

bool Failed(const std::wstring& command, unsigned long code, std::wstring& error) {
  error = L"sign command failed with exit code " + std::to_wstring(code) + L": " + command;
  return false;
}

// Wine starts a Linux program through CreateProcess without a process handle, so its exit
// code cannot be read; Wine's own spawn function waits for the program and returns it.
using WineSpawn = long(__cdecl*)(char* const argv[], int wait);
using WineUnixFileName = char*(__cdecl*)(const wchar_t* path);

struct WineHost {
  WineSpawn spawn = nullptr;
  WineUnixFileName unixFileName = nullptr;
};

WineHost FindWineHost() {
  WineHost host;
  host.spawn = LookUpFunction<WineSpawn>(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp");
  host.unixFileName = LookUpFunction<WineUnixFileName>(GetModuleHandleW(L"kernel32.dll"),
                                                        "wine_get_unix_file_name");
  return host;
}

// A word for /bin/sh: single quotes, each quote inside written as '\''.
std::wstring ShellQuoted(const std::string& utf8) {
  std::wstring text = Utf8ToWide(utf8.c_str());
  return L"'" + Replaced(text, L"'", L"'\\''") + L"'";
}

bool RunOnLinuxHost(const WineHost& host, const std::wstring& command, const std::wstring& file,
                    std::wstring& error) {
  char* unixPath = host.unixFileName(file.c_str());
  if (unixPath == nullptr) {
    error = L"no Linux path for " + file;
    return false;
  }
  const std::wstring quoted = ShellQuoted(unixPath);
  HeapFree(GetProcessHeap(), 0, unixPath);
  std::string line = WideToUtf8(Replaced(command, L"{file}", quoted));
  char shell[] = "/bin/sh";
  char option[] = "-c";
  char* const argv[] = {shell, option, &line[0], nullptr};
  const long status = host.spawn(argv, 1);
  return status == 0 || Failed(command, static_cast<unsigned long>(status), error);
}

bool RunProgram(const std::wstring& command, const std::wstring& file, std::wstring& error) {
  std::wstring line = Replaced(command, L"{file}", L"\"" + file + L"\"");
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    error = L"cannot start the sign command (error " + std::to_wstring(GetLastError()) + L"): " +
            command;
    return false;
  }
  UniqueHandle processHandle(process.hProcess);
  CloseHandle(process.hThread);
  DWORD code = 1;
  WaitForSingleObject(process.hProcess, INFINITE);
  GetExitCodeProcess(process.hProcess, &code);
  return code == 0 || Failed(command, code, error);
}

}  // namespace

bool RunSignCommand(const std::wstring& command, const std::wstring& file, std::wstring& error) {
  const WineHost host = FindWineHost();
  if (host.spawn && host.unixFileName && !command.empty() && command[0] == L'/') {
    return RunOnLinuxHost(host, command, file, error);
  }
  return RunProgram(command, file, error);
}
