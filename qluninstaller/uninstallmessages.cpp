#include "uninstallmessages.h"

#include "debugoutput.h"

UninstallMessages::UninstallMessages(bool silent, const std::wstring& productName)
    : silent_(silent),
      product_(productName.empty() ? L"the product" : productName),
      caption_(productName.empty() ? L"Uninstall" : productName + L" Uninstall") {}

int UninstallMessages::Show(const std::wstring& text, UINT flags) const {
  if (silent_) {
    DebugLine(L"%s\r\n", text.c_str());
    return IDYES;
  }
  return MessageBoxW(nullptr, text.c_str(), caption_.c_str(), flags | MB_SETFOREGROUND);
}

bool UninstallMessages::ConfirmRemoval() const {
  return silent_ || Show(L"Do you want to remove " + product_ + L" and all of its components?",
                         MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void UninstallMessages::RefuseDamagedChunk(const std::wstring& file) const {
  Show(product_ + L" cannot be removed: its uninstall information " + file +
           L" is missing or damaged. Nothing was changed.",
       MB_OK | MB_ICONERROR);
}

void UninstallMessages::RefuseSecondUninstaller() const {
  Show(L"The uninstaller of " + product_ + L" is already running.", MB_OK | MB_ICONWARNING);
}

void UninstallMessages::RefuseTemporaryCopy(DWORD error) const {
  Show(product_ +
           L" cannot be removed: the uninstaller could not prepare its temporary copy "
           L"(error " +
           std::to_wstring(error) + L"). Nothing was changed.",
       MB_OK | MB_ICONERROR);
}

void UninstallMessages::Removed() const {
  Show(product_ + L" was removed from this computer.", MB_OK | MB_ICONINFORMATION);
}

void UninstallMessages::Failed(unsigned exitCode) const {
  Show(product_ + L" could not be removed completely (exit code " + std::to_wstring(exitCode) +
           L").",
       MB_OK | MB_ICONERROR);
}
