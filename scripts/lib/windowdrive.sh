# Sourced helpers that drive a Windows program's window on the X display with real input
# (xdotool) and read the screen (ImageMagick), for the demo and the window tests.

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
