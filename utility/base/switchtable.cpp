#include "switchtable.h"

#include <cwchar>

namespace {

bool IsTrimmable(wchar_t c) { return c == L' ' || c <= 0x1D; }

}  // namespace

SwitchTable::SwitchTable(const wchar_t* commandLine) : commandLine_(commandLine ? commandLine : L"") {
  const std::wstring& text = commandLine_;
  size_t position = 0;
  while (true) {
    size_t start = text.find_first_not_of(L'/', position);
    if (start == std::wstring::npos) break;
    size_t end = text.find(L'/', start);
    AddToken(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
    if (end == std::wstring::npos) break;
    position = end + 1;
  }
}

void SwitchTable::AddToken(const std::wstring& token) {
  size_t blank = token.find(L' ');
  std::wstring name = token.substr(0, blank);
  std::wstring value;
  if (blank != std::wstring::npos) {
    size_t first = blank;
    size_t last = token.size();
    while (first < last && IsTrimmable(token[first])) ++first;
    while (last > first && IsTrimmable(token[last - 1])) --last;
    value = token.substr(first, last - first);
    if (value.size() >= 2 && value.front() == L'"' && value.back() == L'"') {
      value = value.substr(1, value.size() - 2);
    }
  }
  entries_[name] = value;
}

bool SwitchTable::GetValue(const std::wstring& name, std::wstring& value) const {
  value.clear();
  auto found = entries_.find(name);
  if (found == entries_.end()) return false;
  value = found->second;
  return true;
}

uintptr_t SwitchNumber(const SwitchTable& switches, const wchar_t* name) {
  std::wstring value;
  if (!switches.GetValue(name, value)) return 0;
  return wcstoul(value.c_str(), nullptr, 10);
}
