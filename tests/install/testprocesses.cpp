#include "testprocesses.h"

namespace {

constexpr UINT kQueryCount = WM_APP + 1;

}  // namespace

ListenerProcess::ListenerProcess()
    : process_(L"\"" + BinFolder() + L"qlm_test_listener.exe\" QlmListener 600000") {
  window_ = process_.WaitForWindow(L"QlmTestListener");
}

int ListenerProcess::Count() const {
  DWORD_PTR count = 0;
  if (!window_ ||
      !SendMessageTimeoutW(window_, kQueryCount, 0, 0, SMTO_ABORTIFHUNG, 10000, &count)) {
    return -1;
  }
  return static_cast<int>(count);
}
