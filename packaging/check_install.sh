#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks that the program, the desktop
# entry, the icons and the metainfo are where desktops look for them, and runs the
# validators when they are installed.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/tarnwick share/applications/tarnwick.desktop \
         share/icons/hicolor/16x16/apps/tarnwick.png \
         share/metainfo/example.quillsey.tarnwick.metainfo.xml; do
  [ -e "$prefix/$f" ] || { echo "missing after install: $f" >&2; exit 1; }
done
grep -q '^Categories=.*Network;' "$prefix/share/applications/tarnwick.desktop"

# Each hicolor size folder holds a picture of that size: PNG width and height are
# the big-endian words at bytes 16 and 20.
for size in 16 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/tarnwick.png
  [ -f "$png" ] || { echo "missing after install: $png" >&2; exit 1; }
  read -r w h < <(od -An -tu4 --endian=big -j16 -N8 "$png")
  [ "$w $h" = "$size $size" ] || { echo "$png is ${w}x$h" >&2; exit 1; }
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/tarnwick.svg"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/tarnwick.desktop"
else
  echo "desktop-file-validate not installed: skipped"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/example.quillsey.tarnwick.metainfo.xml"
else
  echo "appstreamcli not installed: skipped"
fi
echo "install check passed"
