#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree, unpacks it into a
# scratch root and checks that it holds exactly what `cmake --install` puts
# under /usr, that dpkg-shlibdeps gave it its dependencies (and xdg-utils, which
# opens the links, and qt6-wayland, Qt's plugin for Wayland-only desktops), that every library the program needs resolves, that the
# desktop entry and the metainfo validate, and that lintian finds no error and
# no missing hardening.
#   packaging/check_deb.sh build/default
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" ||
  { cat "$work/cpack.log" >&2; exit 1; }
arch=$(dpkg --print-architecture)
shopt -s nullglob
debs=("$work"/out/tarnwick_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "expected one package, got: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}
[[ $(basename "$deb") =~ ^tarnwick_[0-9.]+-[0-9]+_${arch}\.deb$ ]] ||
  { echo "unexpected package name: $(basename "$deb")" >&2; exit 1; }
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

dpkg -x "$deb" "$work/root"
cmake --install "$build" --prefix "$work/install/usr" >/dev/null
listing() { (cd "$1" && find . \( -type f -o -type l \) -printf '%P %m\n' | sort); }
if ! diff -u <(listing "$work/install") <(listing "$work/root"); then
  echo "the package and cmake --install differ (above: - install, + package)" >&2
  exit 1
fi

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libqt6widgets6 libnl-3-200 libudev1 xdg-utils qt6-wayland; do
  grep -q "\b$lib\b" <<<"$depends" || { echo "Depends lacks $lib: $depends" >&2; exit 1; }
done
if ldd "$work/root/usr/bin/tarnwick" | grep 'not found'; then
  echo "the packaged program needs libraries that are not installed" >&2
  exit 1
fi

desktop-file-validate "$work/root/usr/share/applications/tarnwick.desktop"
appstreamcli validate --no-net --pedantic "$work"/root/usr/share/metainfo/*.metainfo.xml

# Errors fail the check, and so does any hardening or stripping item even at
# the info level; other warnings and infos are listed.
lintian --fail-on error --display-info --tag-display-limit 0 "$deb" | tee "$work/lintian.log"
if grep -E '^[EWIP]: [^ ]+: (hardening-|binary-has-unneeded-section)' "$work/lintian.log"; then
  echo "the program lacks hardening or was not stripped (above)" >&2
  exit 1
fi
echo "lintian: $(grep -c '^E:' "$work/lintian.log" || true) errors," \
     "$(grep -c '^W:' "$work/lintian.log" || true) warnings," \
     "$(grep -c '^I:' "$work/lintian.log" || true) infos"
echo "package check passed"
