#!/usr/bin/env bash
# Runs SCRIPT CONSOLE WALLSIM as a screen reader runs: on a private Xvfb
# display, in a private D-Bus session whose accessibility bus (at-spi2-core)
# starts on demand. Exit 77, the skip code, where AT-SPI cannot start.
set -euo pipefail
script=$1
shift

skip() {
  echo "accessibility test skipped: $* (scripts/setup installs what it needs)"
  exit 77
}

for tool in Xvfb dbus-run-session dbus-send /usr/libexec/at-spi-bus-launcher; do
  command -v "$tool" >/dev/null || skip "$tool is missing"
done
# The system's python carries the AT-SPI bindings, whatever python3 the PATH finds first.
python=""
for candidate in /usr/bin/python3 python3; do
  if "$candidate" -c 'import pyatspi' 2>/dev/null; then
    python=$candidate
    break
  fi
done
[ -n "$python" ] || skip "python3-pyatspi is missing"

work=$(mktemp -d)
xvfb=""
number=""
# Xvfb is waited for, so that its display is free again when this ends; what
# it said is shown when the test fails.
cleanup() {
  local status=$?
  if [ "$status" -ne 0 ] && [ "$status" -ne 77 ] && [ -s "$work/xvfb.log" ]; then
    echo "Xvfb on :${number:-?} said:"
    cat "$work/xvfb.log"
  fi
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number once it takes clients. It
# must not reset when its last client leaves: a client of the accessibility
# bus's start-up may leave just as the console connects, which then finds no
# server to take it.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
read -r -t 30 number <"$work/display" || skip "Xvfb did not start: $(cat "$work/xvfb.log")"

# The accessibility bus and registry are started by D-Bus activation inside
# the session, with the display and the runtime folder set here.
mkdir -m 700 "$work/runtime"
export DISPLAY=":$number" XDG_RUNTIME_DIR="$work/runtime"
export QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
dbus-run-session -- bash -c '
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null ||
    { echo "accessibility test skipped: the AT-SPI bus does not start"; exit 77; }
  exec "$@"' bash "$python" "$script" "$@"
