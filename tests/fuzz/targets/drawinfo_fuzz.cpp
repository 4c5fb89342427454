// Image attribute strings and draw infos: the first byte chooses a manager at 100 % or 200 %
// (where variants and scaled rectangles come in); the rest is UTF-16 text whose first U+0001
// separates the drawing string from the modify string.
#include "fuzzinput.h"
#include "uidrawinfo.h"
#include "uiskinresources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static CSkinResources* scaled = [] {
    auto* resources = new CSkinResources();
    resources->GetDPIObj()->SetAwareness(CDPI::kPerMonitorAware);
    resources->GetDPIObj()->SetScale(200);
    return resources;
  }();
  CSkinResources* manager = data[0] % 2 == 0 ? nullptr : scaled;
  const std::wstring text = Utf16Text(data + 1, size - 1);
  const size_t split = text.find(L'\x01');
  const std::wstring drawing = text.substr(0, split);
  const std::wstring modify = split == std::wstring::npos ? L"" : text.substr(split + 1);
  DrawInfo info;
  ParseDrawInfo(drawing, modify, manager, info);
  auto pairs = ParseImageAttributes(text);
  volatile size_t sink = info.imageName.size() + pairs.size();
  (void)sink;
  return 0;
}
