#!/usr/bin/env bash
# Runs a Windows program under Wine, as CTest's cross-compiling emulator does:
#   wine-run.sh --prefix DIR program.exe [arguments...]
# The Wine prefix is the build's own (created here on first use), never the
# user's ~/.wine, so tests neither see nor change the user's Wine set-up.
set -euo pipefail

if [ "${1:-}" != "--prefix" ] || [ $# -lt 3 ]; then
  echo "usage: $0 --prefix DIR program.exe [arguments...]" >&2
  exit 2
fi
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

exec wine "$@"
