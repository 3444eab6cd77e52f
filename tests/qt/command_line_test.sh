#!/usr/bin/env bash
# mirvane started from a shell with no display at all: the answers that need no window, and
# every refusal, each before any window or platform plugin.
#   command_line_test.sh MIRVANE VERSION
set -uo pipefail
ulimit -c 0
mirvane=$1
version=$2
work=$(mktemp -d)
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
failed=0

# check EXIT STREAM LINES PATTERN [VARIABLE=VALUE ...] -- ARGUMENTS: the exit code; the one
# stream that may say anything (out or err), in how many lines (any: -), holding PATTERN.
check() {
  local code=$1 stream=$2 lines=$3 pattern=$4 settings=()
  shift 4
  while [ "$1" != -- ]; do settings+=("$1"); shift; done
  shift
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "${settings[@]}" \
    "$mirvane" "$@" >"$work/out" 2>"$work/err" </dev/null
  local rc=$? quiet=err
  [ "$stream" = err ] && quiet=out
  if [ "$rc" != "$code" ] || ! grep -qE -- "$pattern" "$work/$stream" || [ -s "$work/$quiet" ] ||
     { [ "$lines" != - ] && [ "$(wc -l <"$work/$stream")" != "$lines" ]; }; then
    echo "FAILED: ${settings[*]} mirvane $* exited $rc (expected $code, $lines line(s) on std$stream matching '$pattern')"
    sed 's/^/  out: /' "$work/out"; sed 's/^/  err: /' "$work/err"
    failed=1
  fi
}

check 0 out - '^Usage: mirvane \[options\]' -- --help
check 0 out - '--monitor-port <DEVICE>' -- -h
check 0 out 1 "^mirvane $version\$" -- --version
check 0 out 1 "^mirvane $version\$" -- -v
check 0 out - '^(/dev/|no serial ports found$)' -- --list-ports
check 2 err 2 "Unknown option 'bogus'" -- --bogus
check 2 err 2 "Missing value after '--log'" -- --log
check 2 err 2 "unexpected argument 'stray'" -- stray
check 1 err 1 'no display' -- 
check 1 err 1 'no display' QT_QPA_PLATFORM=xcb -- 
check 1 err 1 'no display' -- --choose-ports
check 0 out - '--choose-ports +Before the window, pick' -- --help
# A display named but not there, or no platform plugin to show a window: one line, before any
# file is made.
check 1 err 1 'no window can be shown: could not connect to display :nowhere$' DISPLAY=:nowhere -- --log "$work/early"
check 1 err 1 'no window can be shown: could not connect to display garbage$' DISPLAY=garbage -- 
check 1 err 1 'no window can be shown: .*"nothing"' QT_QPA_PLATFORM=nothing -- 
check 1 err 1 'no window can be shown: ' WAYLAND_DISPLAY=nowhere -- 
[ ! -e "$work/early" ] || { echo "FAILED: the log was made before the display was found"; failed=1; }
check 2 err 2 '^mirvane: --log is given more than once$' -- --log "$work/a" --log "$work/b"
check 2 err 2 '^mirvane: --terminal-port is given more than once$' -- --terminal-port /dev/x --terminal-port=/dev/y
check 2 err 2 '--terminal-port needs a device' -- --terminal-port ''
check 2 err 2 '--monitor-port needs a device' -- --monitor-port=
check 2 err 2 'MIRVANE_PORT1 is set but empty' MIRVANE_PORT1= -- 
check 2 err 2 'MIRVANE_PORT2 is set but empty' MIRVANE_PORT2= -- 
check 2 err 2 'terminal line needs a device' -- --terminal-port none
check 2 err 2 '--replay opens no line' -- --replay "$work/x.capture" --monitor-port none
check 2 err 2 '--full-speed goes with --replay' -- --full-speed
check 2 err 2 '--log needs a file name' -- --log ''
check 2 err 1 "$work/missing/session.log: No such file or directory" -- --log "$work/missing/session.log"
check 2 err 1 "$work: Is a directory" -- --capture "$work"
# Options are read before the display is looked for.
check 2 err 1 "$work: Is a directory" QT_QPA_PLATFORM=offscreen -- --log "$work"
if [ "$(id -u)" != 0 ]; then
  mkdir "$work/locked" && chmod 0500 "$work/locked"
  check 2 err 1 "$work/locked/capture.txt: Permission denied" -- --capture "$work/locked/capture.txt"
fi

# Paths, compared by what they name: a line's device is no file for a log or a capture, one
# device is not two lines, one file is not both files.
ln -s /dev/null "$work/line"
check 2 err 2 "the terminal and monitor lines are the same device: /dev/null and $work/line\$" \
  -- --terminal-port /dev/null --monitor-port "$work/line"
check 2 err 2 "--log /dev/null is the terminal line's device" -- --terminal-port "$work/line" --log /dev/null
check 2 err 2 "--capture $work/line is the monitor line's device" -- --monitor-port null --capture "$work/line"
check 2 err 2 "--log and --capture name the same file: $work/./s.log" -- --log "$work/s.log" --capture "$work/./s.log"
# A name that is no UTF-8 is the file's name, byte for byte.
name=$'\xff\xfe.log'
QT_QPA_PLATFORM=offscreen "$mirvane" --log "$work/$name" 2>/dev/null &
for _ in $(seq 100); do [ -e "$work/$name" ] && break; sleep 0.1; done
kill -TERM $! && wait $!
[ -e "$work/$name" ] || { echo "FAILED: --log $name made $(ls "$work")"; failed=1; }

# Answers that reach nobody: an answer that could not be written fails; a refusal still
# refuses, with standard error unheard.
mkfifo "$work/fifo"
exec {unread}<>"$work/fifo" {gone}>"$work/fifo"
exec {unread}<&-
for run in "1 --help >/dev/full" "1 --version >&$gone" "2 --bogus 2>&$gone"; do
  eval "\"\$mirvane\" ${run#* } </dev/null"
  rc=$?
  [ "$rc" = "${run%% *}" ] || { echo "FAILED: mirvane ${run#* } exited $rc (expected ${run%% *})"; failed=1; }
done 2>/dev/null
exit $failed
