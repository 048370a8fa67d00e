#!/usr/bin/env bash
# Runs a Windows test program that opens windows: under Wine, on a display of
# its own (xvfb-run), in the build's Wine prefix set up for drawing:
#   wine-ui-run.sh PREFIX program.exe [arguments...]
# Environment:
#   TARNWICK_WINE_DPI    the display scale as the user sets it: 96 (the default),
#                        120, 144, 192 ...
#   TARNWICK_WINE_THEME  off (the default): the classic common controls; on:
#                        Wine's own theme, as a fresh prefix has it
# The prefix lets Wine place the windows itself: without a window manager, a
# managed window waits two seconds for one on every hide and close. Runs that
# share a prefix take turns (CTest's resource lock), so each sets the scale
# and theme it wants; they apply to the programs started after.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 PREFIX program.exe [arguments...]" >&2
  exit 2
fi
prefix=$(realpath -m "$1")
shift
here=$(dirname "$(realpath "$0")")
run=("$here/wine-run.sh" --prefix "$prefix")
dpi=${TARNWICK_WINE_DPI:-96}
theme=${TARNWICK_WINE_THEME:-off}
[[ $dpi =~ ^[0-9]+$ ]] || { echo "TARNWICK_WINE_DPI must be a number" >&2; exit 2; }
case "$theme" in
  on) active=1 ;;
  off) active=0 ;;
  *) echo "TARNWICK_WINE_THEME must be on or off" >&2; exit 2 ;;
esac
wanted="dpi=$dpi theme=$theme"

# One registry value. Once in CI a `reg add` right after another test failed
# in half a second with nothing said; it is tried again once the Wine server
# has settled, and says why if that fails too.
set_value() {
  local out
  for _ in 1 2; do
    if out=$("${run[@]}" reg add "$@" /f 2>&1); then return 0; fi
    WINEPREFIX="$prefix" wineserver --wait || true
  done
  echo "wine-ui-run.sh: reg add $* failed: $out" >&2
  return 1
}

mkdir -p "$(dirname "$prefix")"
(
  flock 8
  if [ "$(cat "$prefix/.tarnwick-ui-settings" 2>/dev/null)" != "$wanted" ]; then
    set_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' \
      /v ThemeActive /t REG_SZ /d "$active"
    set_value 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi"
    set_value 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
    WINEPREFIX="$prefix" wineserver --wait
    echo "$wanted" >"$prefix/.tarnwick-ui-settings"
  fi
) 8>"$prefix.ui.lock"

exec xvfb-run -a -s "-screen 0 1600x1200x24 -dpi $dpi" "${run[@]}" "$@"
