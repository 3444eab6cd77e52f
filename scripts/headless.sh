# A private virtual X display for shell scripts, and Mirvane's window on it. Sourced:
#
#   . scripts/headless.sh
#   headless_start "$work"    Xvfb on a free display; DISPLAY and QT_QPA_PLATFORM exported
#   window=$(headless_window) Mirvane's window once it is on the screen (empty if not in 20 s)
#   headless_stop             Xvfb ended (also safe when it never started)
#
# scripts/headless.py does the work, so Python drivers start the display and find the
# window in the same way.

headless_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
headless_xvfb=""

# headless_start WORK: fails with Xvfb's complaint on stderr if the display does not come up.
headless_start() {
  "$headless_here/headless.py" xvfb 3 3>"$1/display" 2>"$1/xvfb.log" &
  headless_xvfb=$!
  for _ in $(seq 100); do [ -s "$1/display" ] && break; sleep 0.1; done
  if [ ! -s "$1/display" ]; then
    echo "headless: Xvfb did not start:" >&2
    cat "$1/xvfb.log" >&2
    return 1
  fi
  DISPLAY=":$(head -n1 "$1/display")"
  export DISPLAY QT_QPA_PLATFORM=xcb
  unset WAYLAND_DISPLAY
}

headless_window() {
  "$headless_here/headless.py" window "${1:-20}" 2>/dev/null
}

headless_stop() {
  [ -n "$headless_xvfb" ] && kill "$headless_xvfb" 2>/dev/null && wait "$headless_xvfb" 2>/dev/null
  headless_xvfb=""
  return 0
}
