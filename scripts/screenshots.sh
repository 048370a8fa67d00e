#!/usr/bin/env bash
# Takes pictures of the main window's pages: gathering, done, Legend, About.
# The window runs over scripted services (documentation addresses, no network,
# no real adapters), so the pictures are the same on every machine.
#
#   scripts/screenshots.sh [--xvfb] [OUTPUT_DIR]     default OUTPUT_DIR: docs/screenshots
#   scripts/screenshots.sh --windows [OUTPUT_DIR]    default OUTPUT_DIR: docs/screenshots/windows
#
# --xvfb draws on a virtual X server (xvfb-run) instead of Qt's offscreen platform.
# --windows takes them of tarnwick.exe under Wine instead (scripts/screenshots_windows.sh).
# TARNWICK_BUILD_DIR names the build directory (default: the "default" preset's).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--windows" ]; then
  shift
  exec bash scripts/screenshots_windows.sh "$@"
fi

xvfb=0
if [ "${1:-}" = "--xvfb" ]; then
  xvfb=1
  shift
fi
out="${1:-docs/screenshots}"
build="${TARNWICK_BUILD_DIR:-build/default}"

if [ "$build" = "build/default" ]; then
  cmake --preset default >/dev/null
fi
cmake --build "$build" --target tarnwick_screenshots >/dev/null
tool="$build/tests/main_window_layout/tarnwick_screenshots"
mkdir -p "$out"

if [ "$xvfb" -eq 1 ]; then
  xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
    env QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1 "$tool" "$out"
else
  QT_QPA_PLATFORM=offscreen "$tool" "$out"
fi
