#!/usr/bin/env bash
# One desktop session of its own for the accessibility walk: a session bus, a
# virtual X display, the accessibility bus and registry, and a stand-in
# browser that writes down each address it is asked to open. Runs the walk
# (accessibility_check.py) on the program named in TARNWICK_PROGRAM and passes
# on what it prints.
#
#   TARNWICK_PROGRAM=... accessibility_session.sh
set -euo pipefail

program=$(realpath "${TARNWICK_PROGRAM:?names the program}")
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d /tmp/tarnwick-a11y-XXXXXX)
trap 'rm -rf "$work"' EXIT

mkdir "$work/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s/opened"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH" XDG_RUNTIME_DIR="$work" HOME="$work"
export NO_AT_BRIDGE=0 GTK_A11Y=atspi

# The checker is Debian's Python, which has the accessibility bindings.
timeout -k 5 150 dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
  bash -c '/usr/libexec/at-spi-bus-launcher --launch-immediately &
           launcher=$!
           /usr/bin/python3 "$0" "$1" "$2"
           status=$?
           kill "$launcher" 2>/dev/null
           exit $status' \
  "$here/accessibility_check.py" "$program" "$work/opened" 2>"$work/session.log" ||
  { status=$?; cat "$work/session.log" >&2; exit "$status"; }
