#include "appinstance.h"

#include <cwchar>

#include "debugoutput.h"

const wchar_t kDefaultInstanceName[] = L"Global\\{A043B702-166A-4FB8-9733-E2BC4713F36F}";

HANDLE CreateAppInstance(const wchar_t* name, int applicationNumber) {
  wchar_t objectName[MAX_PATH] = {};
  if (applicationNumber != 0) {
    _snwprintf(objectName, MAX_PATH - 1, L"%s%d", name, applicationNumber);
  } else {
    _snwprintf(objectName, MAX_PATH - 1, L"%s", name);
  }
  DebugLine(L" szObjectName = %s ", objectName);

  SECURITY_DESCRIPTOR descriptor;
  InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
  SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, TRUE};

  HANDLE mutex = CreateMutexW(&attributes, FALSE, objectName);
  if (mutex == nullptr) return nullptr;
  // The first installer keeps its handle open for the rest of the process: that is what
  // keeps the object alive while it runs.
  if (GetLastError() != ERROR_ALREADY_EXISTS) return nullptr;

  HWND running = FindWindowW(L"CDlgInstall", nullptr);
  if (running) SwitchToThisWindow(running, TRUE);
  return mutex;
}
