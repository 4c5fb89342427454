// A library planted beside a program under test: copies of it carry the names of system
// libraries, and loading one leaves the marker "<name>.loaded".
#include "plantedmarker.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) LeavePlantMarker(instance, L".loaded");
  return TRUE;
}
