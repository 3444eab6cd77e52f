#!/usr/bin/env bash
# The display goes away mid-call (its X server ends): Mirvane ends as Qt makes it (status 1),
# but first the handset hears the hang-up and both lines' lock files go.
#   display_loss_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
cd "$(dirname "$0")/../.."
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "display_loss_test: $tool is missing; run scripts/setup"; exit 1; }
done
. scripts/headless.sh
work=$(mktemp -d)
running=()
trap 'for pid in "${running[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done; headless_stop; rm -rf "$work"' EXIT
fail() {
  echo "display_loss_test: $*"
  for log in "$work"/*.log; do echo "--- $(basename "$log")"; cat "$log"; done
  exit 1
}
wait_for() {  # PATTERN FILE: within 10 s
  for _ in $(seq 100); do grep -q "$1" "$2" && return 0; sleep 0.1; done
  return 1
}
locks() {  # the lock files of the simulator's two lines; with "left", those of ended processes
  local device name file
  for device in $(sed -n 's/^MIRVANE_PORT[12]=//p' "$work/serve.out"); do
    name=LCK..${device#/dev/}
    for file in /var/lock/"${name//\//_}" /run/lock/"${name//\//_}"; do
      [ -e "$file" ] || continue
      # A pseudo-terminal's number is soon another's: another program's live lock is not ours.
      [ "${1:-}" = left ] && kill -0 "$(head -n1 "$file" 2>/dev/null)" 2>/dev/null && continue
      readlink -f "$file"
    done
  done | sort -u
}

headless_start "$work" || fail "no display"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
"$build/mirvane-sim" --serve --trace --no-levels >"$work/serve.out" 2>"$work/sim.log" &
running+=($!)
wait_for MIRVANE_PORT2 "$work/serve.out" || fail "the simulator did not serve"
env $(cat "$work/serve.out") "$build/mirvane" 2>"$work/mirvane.log" &
mirvane=$!
running+=("$mirvane")

window=$(headless_window)
[ -n "$window" ] || fail "the window did not appear"
sleep 0.5
for control in Command1 Command4; do
  # shellcheck disable=SC2046  # x and y
  xdotool mousemove --window "$window" $(scripts/window_places.py "$control") click 1
  [ "$control" = Command1 ] && { wait_for 'monitor line up' "$work/sim.log" || fail "the lines did not come up"; }
done
wait_for 'host -> handset *EB' "$work/sim.log" || fail "the receiver was not lifted"
[ -n "$(locks)" ] || fail "the lines are not locked"

headless_stop
status=0
wait "$mirvane" || status=$?
[ "$status" = 1 ] || fail "Mirvane exited with status $status when its display went"
wait_for 'host -> handset *A6' "$work/sim.log" || fail "the handset did not hear the hang-up"
[ -z "$(locks left)" ] || fail "lock files left: $(locks left)"
echo "display_loss_test: the display went; the receiver was put down and the lines released"
