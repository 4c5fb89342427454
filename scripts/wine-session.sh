# Sourced by the test and demo commands: starts an Xvfb when there is no display, keeps one
# wineserver alive for the run, and ends what it started (by process id) on exit.
# Needs BUILD set to the build folder.
QLM_XVFB_PID=""
qlm_session_end() {
  local prefix
  for prefix in "$BUILD"/wineprefix "$BUILD"/wineprefix-dpi*; do
    [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  done
  if [ -n "$QLM_XVFB_PID" ]; then kill "$QLM_XVFB_PID" 2>/dev/null || true; wait "$QLM_XVFB_PID" 2>/dev/null || true; fi
}
qlm_session_start() {
  if [ -z "${DISPLAY:-}" ]; then
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    QLM_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  trap qlm_session_end EXIT
  # Creates the prefix once; later runs find it ready.
  "$ROOT/scripts/wine-run" "$BUILD" cmd /c exit 0 >/dev/null 2>&1 || true
  WINEPREFIX="$BUILD/wineprefix" wineserver -p >/dev/null 2>&1 || true
}
