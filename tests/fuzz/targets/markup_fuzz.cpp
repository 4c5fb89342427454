// The markup reader: the first byte chooses text (UTF-16 units) or bytes in UTF-8, UTF-16
// (with its byte-order mark) or the ANSI code page; every element and attribute of a parsed
// document is then read.
#include <vector>

#include "fuzzinput.h"
#include "uimarkup.h"

namespace {

void Walk(CMarkupElement root) {
  std::vector<CMarkupElement> pending{root};
  size_t total = 0;
  while (!pending.empty()) {
    CMarkupElement element = pending.back();
    pending.pop_back();
    total += element.Name().size();
    for (int i = 0; i < element.AttributeCount(); ++i) {
      total += element.AttributeName(i).size() + element.AttributeValue(i).size();
    }
    total += element.AttributeValue(L"name").size();
    for (CMarkupElement child = element.FirstChild(); child.IsValid();
         child = child.NextSibling()) {
      pending.push_back(child);
    }
  }
  volatile size_t sink = total;
  (void)sink;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  CMarkup markup;
  const int mode = data[0] % 4;
  ++data;
  --size;
  bool parsed = mode == 0 ? markup.LoadFromText(Utf16Units(data, size).c_str(), size / 2)
                          : markup.LoadFromBytes(data, static_cast<DWORD>(size), mode - 1);
  if (parsed) {
    Walk(markup.Root());
  } else {
    volatile size_t sink = markup.LastErrorMessage().size() + markup.LastErrorLocation().size();
    (void)sink;
  }
  return 0;
}
