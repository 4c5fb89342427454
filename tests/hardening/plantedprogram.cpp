// A program planted beside a program under test under the name of a system program
// (regsvr32.exe, explorer.exe): running it leaves the marker "<name>.ran".
#include "plantedmarker.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  LeavePlantMarker(nullptr, L".ran");
  return 0;
}
