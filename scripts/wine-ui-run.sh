#!/usr/bin/env bash
# Runs a Windows test program that opens windows: under Wine, on a display of
# its own (xvfb-run), in the build's Wine prefix set up for drawing:
#   wine-ui-run.sh PREFIX program.exe [arguments...]
# Environment:
#   TARNWICK_WINE_DPI    the display scale as the user sets it: 96 (the default),
#                        120, 144, 192 ...
#   TARNWICK_WINE_THEME  off (the default): the classic common controls; on:
#                        Wine's own theme, as a fresh prefix has it
# Each run gets a linked copy of the prefix with these settings (see
# wine-run.sh --copy-of), so runs at different scales and themes go side by
# side. Wine places the windows itself: without a window manager, a managed
# window waits two seconds for one on every hide and close.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 PREFIX program.exe [arguments...]" >&2
  exit 2
fi
prefix=$(realpath -m "$1")
shift
here=$(dirname "$(realpath "$0")")
dpi=${TARNWICK_WINE_DPI:-96}
theme=${TARNWICK_WINE_THEME:-off}
[[ $dpi =~ ^[0-9]+$ ]] || { echo "TARNWICK_WINE_DPI must be a number" >&2; exit 2; }
case "$theme" in
  on) active=1 ;;
  off) active=0 ;;
  *) echo "TARNWICK_WINE_THEME must be on or off" >&2; exit 2 ;;
esac

settings=$(mktemp /tmp/tarnwick-wine-ui-XXXXXX.reg)
trap 'rm -f "$settings"' EXIT
printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
  '[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\ThemeManager]' \
  "\"ThemeActive\"=\"$active\"" '' \
  '[HKEY_CURRENT_USER\Control Panel\Desktop]' "\"LogPixels\"=dword:$(printf '%08x' "$dpi")" '' \
  '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' >"$settings"
status=0
TARNWICK_WINE_SETTINGS=$settings xvfb-run -a -s "-screen 0 1600x1200x24 -dpi $dpi" \
  "$here/wine-run.sh" --copy-of "$prefix" "$@" || status=$?
exit "$status"
