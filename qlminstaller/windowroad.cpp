#include <objbase.h>

#include "debugoutput.h"
#include "startup.h"

// The installer window is not built yet: the window road ends the run here, after
// QLMSE_BeforeInit, without installing.
void RunWindowRoad(StartupState&) {
  DebugLine(L"window installation is not available in this build; run with /InstallSlience true");
  CoUninitialize();
}
