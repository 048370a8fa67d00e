#!/usr/bin/env bash
# Builds the per-user Windows installer from a Windows build: the files
# `cmake --install` puts in a folder (the zip's, the program stripped), as the
# build's packaging/tarnwick.wxs describes them, made into a package by wixl.
# The program and the package are signed when a certificate is given
# (packaging/windows/sign.sh).
#   make_msi.sh BUILD_DIR OUTPUT.msi [VERSION]
# VERSION is the project's unless given (the upgrade check gives a higher one).
set -euo pipefail
here=$(dirname "$(realpath "$0")")
build=$(realpath "$1")
out=$(realpath -m "$2")
version=${3:-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")}
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cmake --install "$build" --prefix "$stage" --strip >/dev/null
bash "$here/sign.sh" "$stage/tarnwick.exe"
# wixl finds the files named in the description beside it.
cp "$build/packaging/tarnwick.wxs" "$build/packaging/tarnwick.ico" "$stage/"
mkdir -p "$(dirname "$out")"
size=$(du -sk --apparent-size "$stage" | cut -f1)
wixl --arch x64 -D Version="$version" -D SizeKb="$size" -o "$out" "$stage/tarnwick.wxs"
bash "$here/sign.sh" "$out"
echo "built $out ($version, $(stat -c %s "$out") bytes)"
