// The parsed command line: every run of characters other than "/" is one token; a token's
// name runs to its first blank, its value is the trimmed rest without enclosing quotation
// marks. Names are case-sensitive; the last occurrence of a name wins.
#pragma once
#include <cstdint>
#include <map>
#include <string>

class SwitchTable {
 public:
  explicit SwitchTable(const wchar_t* commandLine);
  virtual ~SwitchTable() = default;

  // True when the name is present; `value` is emptied first.
  bool GetValue(const std::wstring& name, std::wstring& value) const;

  const std::map<std::wstring, std::wstring>& Entries() const { return entries_; }

 private:
  void AddToken(const std::wstring& token);

  std::wstring commandLine_;
  std::map<std::wstring, std::wstring> entries_;
};

// The switch's value read as an unsigned decimal number (a handle passed on a command line);
// 0 when the switch is absent.
uintptr_t SwitchNumber(const SwitchTable& switches, const wchar_t* name);
