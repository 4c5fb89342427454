// What the uninstaller tells the user: message boxes, or debug-output lines with the same text
// when it runs silently.
#pragma once
#include <windows.h>

#include <string>

class UninstallMessages {
 public:
  UninstallMessages(bool silent, const std::wstring& productName);

  // Yes/No: "Do you want to remove <product> ...?" Always true when silent.
  bool ConfirmRemoval() const;
  void RefuseDamagedChunk(const std::wstring& file) const;
  void RefuseSecondUninstaller() const;
  void RefuseTemporaryCopy(DWORD error) const;
  void Removed() const;
  void Failed(unsigned exitCode) const;

 private:
  int Show(const std::wstring& text, UINT flags) const;

  bool silent_;
  std::wstring product_;
  std::wstring caption_;
};
