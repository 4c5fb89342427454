// The single-instance rule: one installer of a product at a time on the machine.
#pragma once
#include <windows.h>

// Default name of the single-instance object; the application number is appended.
extern const wchar_t kDefaultInstanceName[];

// Null when this is the only installer (or the object could not be created); otherwise the
// handle of the existing object, after the running installer's window was brought forward.
HANDLE CreateAppInstance(const wchar_t* name, int applicationNumber);
