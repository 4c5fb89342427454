// The two runs of the uninstaller. The original, started from the product folder, checks the
// chunks, takes the product's single-instance object and asks for confirmation. Then it hands
// the removal to a copy of itself in a new private folder under the temporary folder, moves
// its own running program out of the product folder (so that the hooks can remove the whole
// folder) and ends with the result that the copy reports.
#pragma once
#include <string>

#include "switchtable.h"

// "/UninstallSilent true" (exactly "true"): no confirmation, no message boxes.
extern const wchar_t kSwitchSilent[];
// Switches that only the original writes for its copy.
extern const wchar_t kSwitchFrom[];      // the product folder
extern const wchar_t kSwitchOriginal[];  // inherited handle of the original process
extern const wchar_t kSwitchResult[];    // inherited write end of the result pipe
extern const wchar_t kSwitchMoved[];     // where the original program lies now, when moved

// Both return the exit code of the run (uninstallexit.h).
unsigned RunOriginal(bool silent);
unsigned RunCopy(const SwitchTable& switches, bool silent);
