#!/usr/bin/env bash
# No library or program planted beside the installer, or in the current folder, runs:
#   planting_test.sh <build dir> [<folder of the programs under test, default <build>/bin>
#                     [<library names to plant, default all>...]]
# Every library in the import tables of QLMInstaller.exe, DemoSetup.exe and QLMUninstaller.exe
# and every library that they load at run time gets a planted copy (which leaves a marker when
# it is loaded) in the installer's folder and in the current folder, and so do regsvr32.exe and
# explorer.exe. Wine is told to prefer a library found on the search path for those names, as
# Windows does for every library that is not one of its known libraries. Then the silent road
# of the demo installer, its uninstaller, the window road to the completion view and the
# product's launch, and a script that loads libraries, registers one in the process and through
# regsvr32 and launches through the shell run; no marker may appear.
#
# Wine's own libraries load some libraries from the search path for any program (a planted
# shcore.dll is loaded through Wine's shlwapi before the program's first instruction; on
# Windows such libraries are known libraries and immune). A minimal control program that
# imports the same system libraries finds those names first; they are left out.
set -euo pipefail
BUILD="$(cd "$1" && pwd)"
BIN="$(cd "${2:-$BUILD/bin}" && pwd)"
shift $(($# < 2 ? $# : 2))
ONLY="$*"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$ROOT/scripts/lib/windowdrive.sh"
PREFIX="$BUILD/wineprefix"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
APP="$WORK/app"            # the installer's folder
CURRENT="$WORK/current"    # the current folder of every run
MARKERS="$WORK/markers"
mkdir -p "$APP" "$CURRENT" "$MARKERS" "$WORK/product"
# Every run starts in the current folder.
cd "$CURRENT"
export QLM_PLANT_MARKERS="$(qlm_winpath "$MARKERS")"
PLANTED_LIBRARY="$BUILD/tests/qlm_planted_library.dll"
PLANTED_PROGRAM="$BUILD/tests/qlm_planted_program.exe"
PROGRAMS="regsvr32.exe explorer.exe"

imports() { i686-w64-mingw32-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'; }
# Loaded at run time: Shcore, Msftedit and msimg32 by the toolkit and the window road, the
# delay-loaded GDI+, common controls and bcrypt at their first call.
RUN_TIME="shcore.dll msftedit.dll msimg32.dll gdiplus.dll comctl32.dll bcrypt.dll"
ALL_NAMES="$({ for program in QLMInstaller.exe DemoSetup.exe QLMUninstaller.exe; do
                 imports "$BIN/$program"; done
               printf '%s\n' $RUN_TIME; } | tr 'A-Z' 'a-z' |
             grep -v -x -E 'ntdll.dll|kernel32.dll|kernelbase.dll' | sort -u)"
[ -n "$ONLY" ] && ALL_NAMES="$(printf '%s\n' $ALL_NAMES | grep -x -F "$(printf '%s\n' $ONLY)")"

plant() {  # plant <folder>: copies of every tested name
  local name
  for name in $TESTED; do cp "$PLANTED_LIBRARY" "$1/$name"; done
  for name in $PROGRAMS; do cp "$PLANTED_PROGRAM" "$1/$name"; done
}
unplant() {  # unplant <folder>
  local name
  for name in $ALL_NAMES $PROGRAMS; do rm -f "$1/$name"; done
}
use_names() {  # use_names <names>: the tested names, planted and preferred from the search path
  TESTED="$1"
  unplant "$APP"; unplant "$CURRENT"
  plant "$APP"; plant "$CURRENT"
  export QLM_WINE_EXTRA_OVERRIDES="$(echo $TESTED | tr ' ' ',')=n,b"
}
without() {  # without <names> <names to leave out>
  local name
  for name in $1; do [[ " $2 " == *" $name "* ]] || echo "$name"; done
}
loaded() {
  ls "$MARKERS" | sed 's/\.loaded$//; s/\.ran$//' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' '
}
run_wine() { "$ROOT/scripts/wine-run" "$BUILD" "$@"; }
# Checks that nothing planted ran during one road and clears the markers for the next.
nothing_planted_ran() {  # nothing_planted_ran <road>
  local found; found="$(loaded)"
  [ -n "$found" ] && echo "  planted and run during $1: $found"
  qlm_check "no planted library or program ran during $1" test -z "$found"
  rm -f "$MARKERS"/*
}

# ---- the control: names that Wine itself loads from the search path for any program ----
cp "$BUILD/tests/qlm_planting_control.exe" "$APP/"
WINE_OWN=""
for round in 1 2 3 4; do
  use_names "$(without "$ALL_NAMES" "$WINE_OWN")"
  rm -f "$MARKERS"/*
  run_wine "$APP/qlm_planting_control.exe" >/dev/null 2>&1 || true
  found="$(loaded)"
  [ -z "$found" ] && break
  WINE_OWN="$WINE_OWN $found"
done
rm -f "$MARKERS"/*
echo "names tested: $(echo $TESTED) $PROGRAMS"
echo "loaded by Wine for the control program too, left out: $(echo $WINE_OWN)"
qlm_check "the control settles with nothing of its own planted and run" test -z "$found"

# ---- the silent road of the demo installer, then its uninstaller ----
cp "$BIN/DemoSetup.exe" "$APP/"
run_wine "$APP/DemoSetup.exe" /InstallSlience true >/dev/null 2>&1 || true
nothing_planted_ran "the silent road"
DEMO="$(ls -d "$PREFIX"/drive_c/users/*/Temp/QLMDemo 2>/dev/null | head -n1 || true)"
qlm_check "the silent road installed the demo product with its uninstaller" \
  test -f "$DEMO/Uninstall.exe"
if [ -f "$DEMO/Uninstall.exe" ]; then
  plant "$DEMO"
  run_wine "$DEMO/Uninstall.exe" /UninstallSilent true >/dev/null 2>&1 || true
  nothing_planted_ran "the uninstaller"
  qlm_check "the uninstaller removed the demo product" test ! -e "$DEMO/Uninstall.exe"
  rm -rf "$DEMO"
fi

# ---- the window road to the completion view and the product's launch ----
cp "$BIN/qlm_window_test_installer.exe" "$APP/"
# The installation pauses so that the install view's progress bar can be seen: it stands where
# the welcome and completion views are white.
if qlm_start_window_installer 1500 \
     "$ROOT/scripts/wine-run" "$BUILD" "$APP/qlm_window_test_installer.exe"; then
  qlm_click 300 384                                           # the install button
  { qlm_wait_window_pixel_not 60 347 FFFFFF 5 &&              # the install view
      qlm_wait_window_pixel 60 347 FFFFFF 60; } || true       # the completion view
  qlm_click 300 326                                           # the start button
fi
qlm_wait_exit "$INSTALLER" 0 60 || true
# The window may outlive the process on the X server for a moment; tests after this one look
# for a window of the same title.
for i in $(seq 1 50); do
  xdotool search --name "QLM Window Test" >/dev/null 2>&1 || break
  sleep 0.2
done
grep -q AfterComplete "$WORK/record.txt" ||
  echo "  hooks run: $(tr -d '\r' < "$WORK/record.txt" | cut -d' ' -f1 | tr '\n' ' ')"
qlm_check "the window road ran to the product's launch" grep -q AfterComplete "$WORK/record.txt"
nothing_planted_ran "the window road"

# ---- a script: libraries by full path and by bare name, registration, the shell launch ----
cp "$BIN/qlm_test_comserver.dll" "$WORK/product/qlm_plant_product.dll"
for folder in "$APP" "$CURRENT"; do cp "$PLANTED_LIBRARY" "$folder/qlm_plant_product.dll"; done
cp "$BIN/qlm_planting_test_installer.exe" "$APP/"
: > "$WORK/record.txt" ; : > "$WORK/launch.txt"
export QLM_PLANT_TARGET="$(qlm_winpath "$WORK/scripted")"
export QLM_PLANT_PRODUCT="$(qlm_winpath "$WORK/product/qlm_plant_product.dll")"
export QLM_TEST_COMSERVER_RECORD="$(qlm_winpath "$WORK/registration.txt")"
run_wine "$APP/qlm_planting_test_installer.exe" >/dev/null 2>&1 || true
# regsvr32 and the shell's launch run on their own: wait for both.
for i in $(seq 1 150); do
  [ "$(grep -c DllRegisterServer "$WORK/registration.txt" 2>/dev/null)" = 2 ] &&
    [ -s "$WORK/launch.txt" ] && break
  sleep 0.2
done
record() { tr -d '\r' < "$WORK/record.txt" | tr '\n' ' '; }
echo "script record: $(record)"
qlm_check "DllManager loads the product's library by its full path" \
  grep -q '^full-path true' "$WORK/record.txt"
qlm_check "DllManager does not load a library by a bare name from the installer's folder" \
  grep -q '^bare-name false' "$WORK/record.txt"
qlm_check "GLibTab does not either" grep -q '^table-bare-name false' "$WORK/record.txt"
qlm_check "Lua_RegSvr32 registered the product's library" \
  grep -q '^regsvr32 true' "$WORK/record.txt"
qlm_check "regsvr32 registered it too" \
  test "$(grep -c DllRegisterServer "$WORK/registration.txt" 2>/dev/null)" = 2
qlm_check "the shell started the product" test -s "$WORK/launch.txt"
nothing_planted_ran "the script's loads, registrations and launch"

[ "$QLM_FAILURES" = 0 ]
