// The command line's switch table.
#include "fuzzinput.h"
#include "switchtable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SwitchTable table(Utf16Text(data, size).c_str());
  std::wstring value;
  for (const wchar_t* name : {L"InstallListenWnd", L"debug", L"InstallSlience", L""}) {
    table.GetValue(name, value);
  }
  return 0;
}
