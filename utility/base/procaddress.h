// Looks up a function of a loaded library by name or ordinal as the caller's function type.
#pragma once
#include <windows.h>

template <typename Function>
Function LookUpFunction(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
