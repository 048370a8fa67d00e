#!/usr/bin/env bash
# Runs a Windows program under Wine, as CTest's cross-compiling emulator does:
#   wine-run.sh --prefix DIR program.exe [arguments...]
#   wine-run.sh --copy-of DIR program.exe [arguments...]
# The Wine prefix is the build's own (created here on first use), never the
# user's ~/.wine, so tests neither see nor change the user's Wine set-up.
# With --copy-of the program runs in a linked copy of DIR of its own, with a
# Wine server of its own, removed when it ends: runs beside each other need
# not take turns, a run in a private network namespace gets Wine's network
# services from there, and what a run sets or Wine rewrites (the locale, the
# display scale) stays in its copy. TARNWICK_WINE_SETTINGS may name a .reg
# file imported into the copy first.
set -euo pipefail

if { [ "${1:-}" != "--prefix" ] && [ "${1:-}" != "--copy-of" ]; } || [ $# -lt 3 ]; then
  echo "usage: $0 --prefix|--copy-of DIR program.exe [arguments...]" >&2
  exit 2
fi
mode=$1
prefix=$(realpath -m "$2")
shift 2

export WINEPREFIX="$prefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko installer: nothing here needs .NET or the HTML engine.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Whoever comes first creates the prefix; others wait for it to be complete.
if [ ! -f "$prefix/.tarnwick-ready" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/.tarnwick-ready" ]; then
      wineboot --init >/dev/null 2>&1
      wineserver --wait
      touch "$prefix/.tarnwick-ready"
    fi
  ) 9>"$prefix.lock"
fi
[ "$mode" = --prefix ] && exec wine "$@"

source "$(dirname "$(realpath "$0")")/wine_copy.sh"
wine_prefix_copy "$prefix"
if [ -n "${TARNWICK_WINE_SETTINGS:-}" ]; then
  wine regedit /S "$(windows_path "$TARNWICK_WINE_SETTINGS")" >/dev/null 2>&1
fi
status=0
wine "$@" || status=$?
exit "$status"
