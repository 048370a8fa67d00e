#!/usr/bin/env bash
# Runs a command on a Wayland-only display of its own, as a Wayland desktop
# without XWayland has it: a headless weston compositor (no screen, no input
# devices) in a private runtime directory, WAYLAND_DISPLAY naming it, DISPLAY
# unset; TARNWICK_WESTON_PID names the compositor, for tests of its end.
#   weston-run.sh COMMAND [ARGUMENTS...]
# Exits with the command's status; 77 (CTest's skip) when weston is missing.
# The compositor and its runtime directory go when the command ends.
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 COMMAND [ARGUMENTS...]" >&2
  exit 2
fi
if ! command -v weston >/dev/null; then
  echo "weston-run: weston is not installed (scripts/setup.sh installs it)" >&2
  exit 77
fi

runtime=$(mktemp -d /tmp/tarnwick-weston-XXXXXX)
chmod 700 "$runtime"
socket=tarnwick-wayland
pid=
cleanup() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$runtime"
}
trap cleanup EXIT

XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket="$socket" \
  --idle-time=0 --no-config >"$runtime/weston.log" 2>&1 &
pid=$!
for _ in $(seq 200); do
  [ -S "$runtime/$socket" ] && break
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "weston-run: weston ended before it listened:" >&2
    cat "$runtime/weston.log" >&2
    exit 1
  fi
  sleep 0.05
done
if [ ! -S "$runtime/$socket" ]; then
  echo "weston-run: weston did not listen within 10 s:" >&2
  cat "$runtime/weston.log" >&2
  exit 1
fi

set +e
env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$socket" TARNWICK_WESTON_PID="$pid" "$@"
status=$?
set -e
exit "$status"
