// The skin archive reader over an in-memory ZIP: minizip's directory, stored and deflated
// entries and the traditional encryption, without a password and with one.
#include <string>
#include <vector>

#include "uiresourcezip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const wchar_t* password : {L"", L"secret"}) {
    auto archive = CSkinArchive::OpenMemory(data, size, password);
    if (!archive) return 0;
    for (const wchar_t* name :
         {L"Layout/Layout.xml", L"font.xml", L"Image\\Check.svg", L"layout/LAYOUT.XML"}) {
      std::vector<BYTE> bytes;
      archive->Contains(name);
      archive->Read(name, 4 * 1024 * 1024, bytes);
    }
  }
  return 0;
}
