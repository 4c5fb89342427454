// The readers of markup values: integers, booleans, colours, sizes and rectangles, and the
// rectangles of image attribute strings.
#include "fuzzinput.h"
#include "uivalues.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring text = Utf16Text(data, size);
  const wchar_t* p = text.c_str();
  RECT rect = ParseMarkupRect(p);
  RECT image = ParseImageRect(p);
  SIZE extent = ParseMarkupSize(p);
  volatile uint32_t sink = static_cast<uint32_t>(ParseMarkupInt(p)) + ParseMarkupBool(p) +
                           ParseMarkupColor(p) + static_cast<uint32_t>(rect.left) +
                           static_cast<uint32_t>(image.right) + static_cast<uint32_t>(extent.cx);
  (void)sink;
  return 0;
}
