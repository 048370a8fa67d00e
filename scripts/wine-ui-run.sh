#!/usr/bin/env bash
# Runs a Windows test program that opens windows: under Wine, on a display of
# its own (xvfb-run, 96 dpi), in the build's Wine prefix set up for drawing:
#   wine-ui-run.sh PREFIX program.exe [arguments...]
# The prefix draws the classic common controls (with the theme on, the progress
# bar ignores the colours it is sent) and lets Wine place the windows itself:
# without a window manager, a managed window waits two seconds for one on every
# hide and close.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 PREFIX program.exe [arguments...]" >&2
  exit 2
fi
prefix=$(realpath -m "$1")
shift
here=$(dirname "$(realpath "$0")")
run=("$here/wine-run.sh" --prefix "$prefix")

if [ ! -f "$prefix/.tarnwick-ui-ready" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 8
    if [ ! -f "$prefix/.tarnwick-ui-ready" ]; then
      "${run[@]}" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' \
        /v ThemeActive /t REG_SZ /d 0 /f >/dev/null 2>&1
      "${run[@]}" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        >/dev/null 2>&1
      WINEPREFIX="$prefix" wineserver --wait
      touch "$prefix/.tarnwick-ui-ready"
    fi
  ) 8>"$prefix.ui.lock"
fi

exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "${run[@]}" "$@"
