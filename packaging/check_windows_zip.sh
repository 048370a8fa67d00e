#!/usr/bin/env bash
# Checks the Windows download: the program, the README and the licences are in
# it, the READMEs have Windows line ends and name no Debian package, and the
# program's version resource carries its copyright and names the program, and
# the program loads the DLLs it delay-loads from System32 only.
#   packaging/check_windows_zip.sh build/windows/package/tarnwick-1.6-windows-x86_64.zip
set -euo pipefail
zip=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"
dir=$(find "$work" -mindepth 1 -maxdepth 1 -type d)
for f in tarnwick.exe README.txt README-fonts.txt OFL-DSEG.txt; do
  [ -f "$dir/$f" ] || { echo "the zip lacks $f" >&2; exit 1; }
done
for f in README.txt README-fonts.txt; do
  if grep -q $'[^\r]$' "$dir/$f"; then echo "$f has lines without CR LF" >&2; exit 1; fi
  if grep -qiwE 'debian|apt|fonts-dseg' "$dir/$f" || grep -qE '@[A-Z_]+@' "$dir/$f"; then
    echo "$f speaks of Debian or holds an unset placeholder" >&2; exit 1
  fi
done
# The stripped program still keeps planted DLLs out.
bash "$(dirname "$0")/../scripts/check_windows_dll_search.sh" "$dir/tarnwick.exe" >/dev/null
# Version strings are UTF-16 in the resource section.
version=$(strings -el "$dir/tarnwick.exe")
for value in LegalCopyright "Copyright (C) 2026" FileDescription; do
  grep -qF "$value" <<<"$version" || { echo "tarnwick.exe's version lacks $value" >&2; exit 1; }
done
echo "windows zip check passed: $(basename "$zip"), $(stat -c %s "$zip") bytes"
