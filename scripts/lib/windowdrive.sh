# Sourced helpers that drive a Windows program's window on the X display with real input
# (xdotool) and read the screen (ImageMagick), for the demo and the window tests, and the
# checks and runs of the window test installer that those tests share.

# Waits (up to $2 seconds) for a visible window whose title contains $1 and whose place and
# size have settled (a new window is mapped before it is sized and centred), and sets WIN_ID,
# WIN_X, WIN_Y, WIN_W and WIN_H. Fails when none appears.
qlm_wait_window() {
  local name="$1" limit="${2:-60}" i id last=""
  for i in $(seq 1 $((limit * 5))); do
    for id in $(xdotool search --onlyvisible --name "$name" 2>/dev/null); do
      local geometry
      geometry="$(xdotool getwindowgeometry --shell "$id" 2>/dev/null | sed 's/^/WIN_/')" || continue
      eval "$geometry"
      [ "${WIN_WIDTH:-0}" -gt 1 ] || continue
      if [ "$geometry" = "$last" ]; then
        WIN_ID="$id" WIN_W="$WIN_WIDTH" WIN_H="$WIN_HEIGHT"
        return 0
      fi
      last="$geometry"
    done
    sleep 0.4
  done
  return 1
}

# Re-reads the position of the window found last.
qlm_window_geometry() {
  eval "$(xdotool getwindowgeometry --shell "$WIN_ID" | sed 's/^/WIN_/')"
  WIN_W="$WIN_WIDTH" WIN_H="$WIN_HEIGHT"
}

# The colour of a screen pixel as RRGGBB.
qlm_pixel() {
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
    grep -o '#[0-9A-Fa-f]\{6\}' | head -n1 | tr -d '#' | tr a-f A-F
}

# The colour of a pixel of the window, at a client point.
qlm_window_pixel() { qlm_pixel $((WIN_X + $1)) $((WIN_Y + $2)); }

# Waits (up to $4 seconds) until the window's pixel at ($1, $2) has the colour $3.
qlm_wait_window_pixel() {
  local i
  for i in $(seq 1 $((${4:-10} * 5))); do
    [ "$(qlm_window_pixel "$1" "$2")" = "$3" ] && return 0
    sleep 0.2
  done
  echo "pixel ($1, $2) is $(qlm_window_pixel "$1" "$2"), not $3" >&2
  return 1
}

# Waits (up to $4 seconds) until the window's pixel at ($1, $2) no longer has the colour $3.
qlm_wait_window_pixel_not() {
  local i
  for i in $(seq 1 $((${4:-10} * 5))); do
    [ "$(qlm_window_pixel "$1" "$2")" != "$3" ] && return 0
    sleep 0.2
  done
  echo "pixel ($1, $2) is still $3" >&2
  return 1
}

# A left click at a client point of the window.
qlm_click() {
  xdotool mousemove $((WIN_X + $1)) $((WIN_Y + $2))
  sleep 0.2
  xdotool click 1
}

# Presses at one client point, moves to another and releases there.
qlm_drag() {
  xdotool mousemove $((WIN_X + $1)) $((WIN_Y + $2)) mousedown 1
  sleep 0.2
  xdotool mousemove $((WIN_X + $3)) $((WIN_Y + $4))
  sleep 0.2
  xdotool mouseup 1
  sleep 0.3
}

# ---- checks and runs of the window test installer (qlm_window_test_installer.exe) ----

# The colour of the skin's install button while it is enabled.
QLM_INSTALL_BUTTON_BLUE=2F74F0

QLM_FAILURES=0
# Runs a command and reports it as one check; failed checks are counted in QLM_FAILURES.
qlm_check() {  # qlm_check <description> <command...>
  local what="$1"; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; QLM_FAILURES=$((QLM_FAILURES + 1)); fi
}

# The Windows path of a Linux path, on Wine's Z: drive.
qlm_winpath() { echo "Z:${1//\//\\}"; }

# Starts the window test installer in the background (its process id in INSTALLER) and waits
# until its window shows the install button:
#   qlm_start_window_installer <pause of the installation in ms> <command that runs it...>
# The hooks are recorded in $WORK/record.txt, the product is installed into a new folder
# $WORK/target/App and its launch is recorded in $WORK/launch.txt; the launched product is
# $BIN/qlm_test_launchprobe.exe. The install button is drawn at its place scaled for
# QLM_WINE_DPI.
qlm_start_window_installer() {
  local pause="$1" scale=$((${QLM_WINE_DPI:-96} / 96)); shift
  : > "$WORK/record.txt"
  rm -rf "$WORK/target" "$WORK/launch.txt"
  export QLM_TEST_RECORD="$(qlm_winpath "$WORK/record.txt")"
  export QLM_TEST_INSTALL_PATH="$(qlm_winpath "$WORK/target/App")"
  export QLM_TEST_PROBE="$(qlm_winpath "$BIN/qlm_test_launchprobe.exe")"
  export QLM_TEST_LAUNCH_RECORD="$(qlm_winpath "$WORK/launch.txt")"
  export QLM_TEST_PAUSE_MS="$pause"
  "$@" &
  INSTALLER=$!
  qlm_wait_window "QLM Window Test" 90 &&
    qlm_wait_window_pixel $((210 * scale)) $((384 * scale)) "$QLM_INSTALL_BUTTON_BLUE" 30
}

# Waits (up to $3 seconds) for the process $1 to end with the exit code $2; one that runs
# longer is killed, and the wait fails.
qlm_wait_exit() {  # qlm_wait_exit <pid> <exit code> <seconds>
  local code=0 i
  for i in $(seq 1 $(($3 * 5))); do
    kill -0 "$1" 2>/dev/null || break
    sleep 0.2
  done
  if kill -0 "$1" 2>/dev/null; then
    echo "process $1 still runs after $3 s" >&2
    kill -KILL "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
    return 1
  fi
  wait "$1" || code=$?
  [ "$code" = "$2" ]
}
