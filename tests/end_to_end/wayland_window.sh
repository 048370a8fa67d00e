#!/usr/bin/env bash
# The real program on a Wayland-only desktop; run it under scripts/weston-run.sh:
#   wayland_window.sh PROGRAM
# Its main window opens through Qt's Wayland platform (an xdg toplevel with
# the program's title and desktop name), and the program is still running
# after its gathering, as a window is: no abort, no fall back to the text
# output, nothing on standard error but the protocol trace. When the
# compositor then quits, the program says so and exits 2, a failure (Qt's own
# status, 1, would say offline). It runs in an
# empty private network namespace: the gathering reaches nothing, not even
# this machine's loopback, and ends offline. (The window test suites run on
# the same compositor and click through the gathering and both reports.)
set -euo pipefail

program=${1:?usage: $0 PROGRAM}
[ -n "${WAYLAND_DISPLAY:-}" ] || { echo "no WAYLAND_DISPLAY: run it under scripts/weston-run.sh" >&2; exit 2; }
if [ "$(id -u)" -ne 0 ]; then
  echo "needs root for a private network namespace; skipped"
  exit 77
fi

work=$(mktemp -d /tmp/tarnwick-wayland-XXXXXX)
pid=
cleanup() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# The program picks Wayland itself: no platform chosen for it.
env -u QT_QPA_PLATFORM WAYLAND_DEBUG=client unshare --net "$program" >"$work/out" 2>"$work/err" &
pid=$!
start=$SECONDS

title='xdg_toplevel@[0-9]*\.set_title("{Brevan} WAN LAN TARNWICK v[0-9.]*")'
for _ in $(seq 150); do
  grep -q "$title" "$work/err" && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
fail() {
  echo "wayland_window: $1" >&2
  echo "--- standard output:" >&2
  head -c 4000 "$work/out" >&2
  echo "--- standard error but the protocol trace:" >&2
  grep -v '^\[' "$work/err" | head -50 >&2
  exit 1
}
grep -q "$title" "$work/err" || fail "no toplevel window with the program's title"
grep -q 'xdg_toplevel@[0-9]*\.set_app_id("tarnwick")' "$work/err" ||
  fail "the window does not carry the desktop entry's name"

# Twenty ticks of 100 ms, then the window waits for its user.
while [ $((SECONDS - start)) -lt 5 ]; do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
kill -0 "$pid" 2>/dev/null || { wait "$pid" && status=0 || status=$?; pid=; fail "the program ended (status $status) instead of keeping its window open"; }
[ ! -s "$work/out" ] || fail "the program printed its results instead of showing them"
! grep -v '^\[' "$work/err" | grep -q . || fail "the program wrote to standard error"

# The compositor goes away under the window.
[ -n "${TARNWICK_WESTON_PID:-}" ] || { echo "no TARNWICK_WESTON_PID: run it under scripts/weston-run.sh" >&2; exit 2; }
kill "$TARNWICK_WESTON_PID"
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program outlived its compositor by 10 s"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 2 ] || fail "the program exited $status when its compositor quit, not 2"
grep -q '^tarnwick: The Wayland connection' "$work/err" || fail "the program did not say that the display went away"
echo "wayland_window: the main window opened on Wayland, stayed open after its gathering, and the program failed with 2 when the compositor quit"
