#!/usr/bin/env bash
# SIGTERM, SIGINT and SIGHUP end the real program as its exit button does, and so does the
# simulator's stop (Ctrl-C): the handset hears the hang-up, Mirvane exits 0, and no lock
# file of either line is left. The operator's clicks are played on a private Xvfb.
#   signal_exit_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
cd "$(dirname "$0")/../.."
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "signal_exit_test: $tool is missing; run scripts/setup"; exit 1; }
done

work=$(mktemp -d)
running=()
. scripts/headless.sh
cleanup() {
  for pid in "${running[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  headless_stop
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "signal_exit_test: $*"
  for log in "$work"/*.log; do echo "--- $(basename "$log")"; cat "$log"; done
  exit 1
}

headless_start "$work" 2>&1 || fail "Xvfb did not start"
# Under AddressSanitizer, what the X libraries keep until exit is not this test's business.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# wait_for PATTERN FILE: whether the pattern shows up in the file within 10 s.
wait_for() {
  for _ in $(seq 100); do grep -q "$1" "$2" && return 0; sleep 0.1; done
  return 1
}

# The lock files of the lines named in the file: in whichever of QSerialPort's lock
# folders they are (/var/lock is often /run/lock). With "left", only those whose process
# has ended: a pseudo-terminal's number is soon another's, and another program's live lock
# on it is not one Mirvane left.
locks() {
  local device name folder file
  for device in $(cat "$1"); do
    name=LCK..${device#/dev/}
    for folder in /var/lock /etc/locks /var/spool/locks /var/spool/uucp /tmp /var/tmp /run/lock; do
      file=$folder/${name//\//_}
      [ -e "$file" ] || continue
      [ "${2:-}" = left ] && kill -0 "$(head -n1 "$file" 2>/dev/null)" 2>/dev/null && continue
      readlink -f "$file"
    done
  done | sort -u
}

# A call as the operator makes one: start, lift the receiver. Both lines are then locked.
call() {
  local window place
  window=$(headless_window)
  [ -n "$window" ] || fail "the window did not appear"
  sleep 0.5
  for control in Command1 Command4; do
    place=$(scripts/window_places.py "$control")
    # shellcheck disable=SC2086  # x and y
    xdotool mousemove --window "$window" $place click 1
    [ "$control" = Command1 ] && { wait_for 'monitor line up' "$work/sim.log" || fail "the lines did not come up"; }
  done
  wait_for 'host -> handset *EB' "$work/sim.log" || fail "the receiver was not lifted"
  [ "$(locks "$work/ports" | wc -l)" = 2 ] || fail "the two lines are not locked: $(locks "$work/ports")"
}

# The end: the hang-up reached the handset, and no lock is left.
ended_as_exit() {
  wait_for 'host -> handset *A6' "$work/sim.log" || fail "$1: the handset did not hear the hang-up"
  [ -z "$(locks "$work/ports" left)" ] || fail "$1: lock files left: $(locks "$work/ports" left)"
}

# Mirvane started on the simulator's lines, signalled by the test.
for signal in TERM INT HUP; do
  : >"$work/sim.log"
  "$build/mirvane-sim" --serve --trace --no-levels >"$work/serve.out" 2>"$work/sim.log" &
  sim=$!
  running+=("$sim")
  wait_for MIRVANE_PORT2 "$work/serve.out" || fail "the simulator did not serve"
  sed -n 's/^MIRVANE_PORT[12]=//p' "$work/serve.out" >"$work/ports"
  env $(cat "$work/serve.out") "$build/mirvane" 2>"$work/mirvane.log" &
  mirvane=$!
  call
  kill -"$signal" "$mirvane"
  status=0
  wait "$mirvane" || status=$?
  [ "$status" = 0 ] || fail "SIG$signal: Mirvane exited with status $status"
  ended_as_exit "SIG$signal"
  ! grep "^mirvane:" "$work/mirvane.log" || fail "SIG$signal: Mirvane complained of a line that worked"
  kill -INT "$sim" && wait "$sim" || true
done

# Mirvane started by the simulator, which is stopped as Ctrl-C stops it.
: >"$work/sim.log"
"$build/mirvane-sim" --trace --no-levels -- \
  sh -c 'echo "$MIRVANE_PORT1 $MIRVANE_PORT2" >"$0"; exec "$1"' "$work/ports" "$build/mirvane" \
  2>"$work/sim.log" &
sim=$!
running+=("$sim")
call
kill -INT "$sim"
status=0
wait "$sim" || status=$?
[ "$status" = 0 ] || fail "the simulator's stop: it exited with status $status"
ended_as_exit "the simulator's stop"
echo "signal_exit_test: every signal ended Mirvane as its exit button does"
