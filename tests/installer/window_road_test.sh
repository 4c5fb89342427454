#!/usr/bin/env bash
# The window installation of a packed installer, end to end under Wine, driven with real
# pointer and keyboard input through the X server:
#   window_road_test.sh <build dir> <screen DPI: 96 or 192>
# At 96 DPI: the window's class, title, size, place and frame; dragging by the caption band
# over a label but not over a button; the close question (Cancel keeps the window, OK ends
# the run with exit code 0 and no hooks); the agreement box driving the install button; the
# installation through its views to the product's launch, with the hooks in order on their
# threads. At 192 DPI: the doubled window, its 200 % images and a close.
set -euo pipefail
BUILD="$1"
DPI="$2"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$ROOT/scripts/lib/windowdrive.sh"
export QLM_WINE_DPI="$DPI"
S=$((DPI / 96))
BIN="$BUILD/bin"
WORK="$(mktemp -d)"
PREFIX="$BUILD/wineprefix"
[ "$DPI" != 96 ] && PREFIX="$BUILD/wineprefix-dpi$DPI"
cleanup() {
  WINEPREFIX="$PREFIX" wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WORK"
}
trap cleanup EXIT

start_installer() {  # start_installer [<pause of the installation in ms>]
  qlm_start_window_installer "${1:-0}" \
    "$ROOT/scripts/wine-run" "$BUILD" "$BIN/qlm_window_test_installer.exe"
}
hooks() { cut -d' ' -f1 "$WORK/record.txt" | tr -d '\r' | tr '\n' ' '; }
thread_of() { grep "^$1 " "$WORK/record.txt" | cut -d' ' -f2 | tr -d '\r'; }

# Places of the skin at 100 %, scaled for the screen.
BUTTON_BLUE=$QLM_INSTALL_BUTTON_BLUE
BUTTON_GREY=B9C9E8

if [ "$DPI" = 96 ]; then
  start_installer
  qlm_check "the window's title names the product" \
    bash -c "xdotool getwindowname $WIN_ID | grep -q 'QLM Window Test安装'"
  qlm_check "the window is 600x460" test "$WIN_W,$WIN_H" = "600,460"
  read -r SCREEN_W SCREEN_H < <(xdotool getdisplaygeometry)
  qlm_check "the window is centred" test $((WIN_X * 2 + WIN_W)) -eq "$SCREEN_W"
  qlm_check "the install button is drawn" qlm_wait_window_pixel 210 384 "$BUTTON_BLUE"

  x0=$WIN_X y0=$WIN_Y
  qlm_drag 100 30 160 70
  qlm_window_geometry
  qlm_check "a drag over the caption's label moves the window" \
    test "$WIN_X,$WIN_Y" = "$((x0 + 60)),$((y0 + 40))"
  x0=$WIN_X y0=$WIN_Y
  qlm_drag 541 23 601 63
  qlm_window_geometry
  qlm_check "a drag over a caption button does not" test "$WIN_X,$WIN_Y" = "$x0,$y0"

  qlm_click 575 23
  qlm_check "the close button asks" qlm_wait_window "提醒" 10
  xdotool key Escape
  sleep 1
  qlm_wait_window "QLM Window Test" 10
  qlm_check "Cancel keeps the installer" kill -0 "$INSTALLER"
  qlm_click 575 23
  qlm_wait_window "提醒" 10
  xdotool key Return
  qlm_check "OK ends the run with exit code 0" qlm_wait_exit "$INSTALLER" 0 60
  qlm_check "a closed welcome view ran no hook after BeforeInit" test "$(hooks)" = "BeforeInit "

  start_installer 1500
  qlm_click 57 330
  qlm_check "clearing the agreement disables the install button" \
    qlm_wait_window_pixel 210 384 "$BUTTON_GREY"
  qlm_click 57 330
  qlm_check "ticking it enables the button again" qlm_wait_window_pixel 210 384 "$BUTTON_BLUE"
  qlm_click 300 384
  # The progress bar lies where the welcome and completion views are white.
  qlm_check "the install view shows the progress bar" qlm_wait_window_pixel_not 60 347 FFFFFF 5
  qlm_check "the completion view follows" qlm_wait_window_pixel 60 347 FFFFFF 30
  qlm_click 300 326
  qlm_check "the start button launches the product and ends the run" \
    qlm_wait_exit "$INSTALLER" 0 60
  # The product may start a moment after the installer ended.
  for i in $(seq 1 50); do
    [ -s "$WORK/launch.txt" ] && break
    sleep 0.2
  done
  qlm_check "the product was started with its parameters" \
    grep -q -- '--from-installer 1' "$WORK/launch.txt"
  qlm_check "the hooks ran in order" \
    test "$(hooks)" = "BeforeInit BeforeInstall OnInstall BeforeComplete AfterComplete "
  qlm_check "BeforeInstall and AfterComplete ran on the window thread" \
    test "$(thread_of BeforeInstall)" = "$(thread_of AfterComplete)"
  qlm_check "OnInstall and BeforeComplete ran on another thread" \
    test "$(thread_of OnInstall)" = "$(thread_of BeforeComplete)" -a \
         "$(thread_of OnInstall)" != "$(thread_of BeforeInstall)"
else
  start_installer
  qlm_check "the window is ${S} times 600x460" test "$WIN_W,$WIN_H" = "$((600 * S)),$((460 * S))"
  qlm_check "the install button is drawn at its scaled place" \
    qlm_wait_window_pixel $((210 * S)) $((384 * S)) "$BUTTON_BLUE"
  qlm_click $((575 * S)) $((23 * S))
  qlm_wait_window "提醒" 10
  xdotool key Return
  qlm_check "OK ends the run with exit code 0" qlm_wait_exit "$INSTALLER" 0 60
fi

[ "$QLM_FAILURES" = 0 ]
