#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks that the program, the desktop
# entry, the icon and the metainfo are where desktops look for them, and runs the
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

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/tarnwick.desktop"
else
  echo "desktop-file-validate not installed: skipped"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/example.quillsey.tarnwick.metainfo.xml" ||
    appstreamcli validate --no-net "$prefix/share/metainfo/example.quillsey.tarnwick.metainfo.xml"
else
  echo "appstreamcli not installed: skipped"
fi
echo "install check passed"
