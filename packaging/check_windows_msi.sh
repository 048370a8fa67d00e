#!/usr/bin/env bash
# Checks the per-user Windows installer under Wine, in a prefix of its own, as
# a user would meet it: it installs quietly without elevation into
# %LOCALAPPDATA%\Programs\Tarnwick with a Start-menu shortcut and an entry in
# the installed apps (name, version, publisher, icon, size); the installed
# program runs (--version, and its window driven end to end in a private
# network namespace, where it finds itself offline); a newer package replaces
# it; removing that leaves no file, folder, shortcut or registry key of ours.
#   packaging/check_windows_msi.sh BUILD_DIR PACKAGE.msi
# Needs root for the private network namespace (re-runs itself inside one).
set -euo pipefail
here=$(dirname "$(realpath "$0")")
build=$(realpath "$1")
msi=$(realpath "$2")

if [[ -z ${TARNWICK_MSI_CHECK_INSIDE:-} ]]; then
  if [[ $(id -u) -ne 0 ]]; then
    echo "check_windows_msi.sh needs root for a private network namespace" >&2
    exit 77
  fi
  # Nothing the program or Wine does here can reach another machine.
  exec env TARNWICK_MSI_CHECK_INSIDE=1 unshare --net "$0" "$@"
fi

fail() {
  echo "windows msi check: $*" >&2
  exit 1
}

work=$(mktemp -d /tmp/tarnwick-msi-XXXXXX)
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installers, and no menu entries on this machine's desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
windows_path() { local p; p=$(realpath -m "$1"); printf 'Z:%s' "${p//\//\\}"; }
msiexec() { wine msiexec "$@" >/dev/null 2>&1 && wineserver -w; }
# The registry as Wine keeps it, once its server has written it out.
registry() { cat "$WINEPREFIX/user.reg" "$WINEPREFIX/system.reg"; }

started=$SECONDS
wineboot --init >/dev/null 2>&1
wineserver -w
profile="$WINEPREFIX/drive_c/users/$(id -un)"
local_data="$profile/AppData/Local"
installed="$local_data/Programs/Tarnwick"
shortcut="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tarnwick.lnk"
had_programs_folder=0
[[ -d $local_data/Programs ]] && had_programs_folder=1
# Packages Windows Installer keeps a copy of.
cached_packages() { find "$WINEPREFIX/drive_c/windows/Installer" -type f 2>/dev/null | wc -l || true; }
installer_cache_before=$(cached_packages)

# The product code of a package and the forms the installer writes it in
# (braced, and "packed": each part's digits reversed).
property() { msiinfo export "$1" Property | tr -d '\r' | sed -n "s/^$2\t//p"; }
product_code() { property "$1" ProductCode; }
packed() {
  python3 -c 'import sys
g = sys.argv[1].strip("{}").replace("-", "")
parts = [g[0:8], g[8:12], g[12:16]] + [g[i:i + 2] for i in range(16, 32, 2)]
print("".join(p[::-1] for p in parts))' "$1"
}
upgrade_code=$(property "$msi" UpgradeCode)
version=$(property "$msi" ProductVersion)

# The uninstall entry of a product: the values under its key, one a line.
uninstall_entry() {
  registry | awk -v key="\\\\\\\\Uninstall\\\\\\\\$1]" '
    /^\[/ { inside = index(tolower($0), tolower(key)) > 0; next }
    inside && NF { print }'
}

# 1. Install quietly, as the user, no elevation asked.
msiexec /i "$(windows_path "$msi")" /qn || fail "msiexec /i failed"
for file in tarnwick.exe README.txt README-fonts.txt OFL-DSEG.txt COPYING-mingw-w64-runtime.txt; do
  [[ -f $installed/$file ]] || fail "the install lacks $file in %LOCALAPPDATA%\\Programs\\Tarnwick"
done
[[ -f $shortcut ]] || fail "no Start-menu shortcut"
grep -qa 'tarnwick\.exe' "$shortcut" || fail "the Start-menu shortcut does not point at tarnwick.exe"
first_code=$(product_code "$msi")
entry=$(uninstall_entry "$first_code")
for value in '"DisplayName"="Tarnwick"' "\"DisplayVersion\"=\"$version\"" '"Publisher"=' \
  '"EstimatedSize"=dword:'; do
  grep -qF "$value" <<<"$entry" || fail "the installed apps' entry lacks $value: $entry"
done
# The size: Windows Installer works it out itself (EstimatedSize); Wine
# writes the package's own estimate (ARPSIZE) as "Size".
grep -qE '^"EstimatedSize"=dword:0*[1-9a-f]|^"Size"="[1-9][0-9]*"' <<<"$entry" ||
  fail "the installed apps' entry gives no size: $entry"
# The list's icon is the product's, kept by the installer for as long as the
# product is installed.
[[ -f "$profile/AppData/Roaming/Microsoft/Installer/$first_code/tarnwick.ico" ]] &&
  grep -qF "\"ProductIcon\"=\"C:\\\\users" <<<"$(registry)" ||
  fail "the installed apps' entry has no icon"

# 2. The installed program runs: its version, then its window end to end.
out=$(cd "$work" && wine "$(windows_path "$installed/tarnwick.exe")" --version 2>/dev/null | tr -d '\r')
[[ $out == "tarnwick $version" || $out == "tarnwick ${version%.0}" ]] ||
  fail "the installed program's --version printed \"$out\""
ip link set lo up
driver=$build/tests/windows_driver/tarnwick_windows_driver.exe
window=$(timeout -k 5 180 xvfb-run -a wine "$driver" "$(windows_path "$installed/tarnwick.exe")" \
  2>"$work/driver.err" | tr -d '\r') || fail "driving the installed program failed: $(cat "$work/driver.err")"
grep -qx 'Online Status: Offline' <<<"$window" ||
  fail "the installed program's window did not read as expected offline: $window"

# 3. A newer package of the same product replaces it.
newer="$work/newer.msi"
bash "$here/windows/make_msi.sh" "$build" "$newer" "$version.1" >/dev/null
msiexec /i "$(windows_path "$newer")" /qn || fail "installing the newer package failed"
[[ -z $(uninstall_entry "$first_code") ]] || fail "the older version is still installed beside the newer"
grep -qF "\"DisplayVersion\"=\"$version.1\"" <<<"$(uninstall_entry "$(product_code "$newer")")" ||
  fail "the newer version is not the one installed"
[[ -f $installed/tarnwick.exe && -f $shortcut ]] || fail "the upgrade lost the program or its shortcut"

# 4. Removing it leaves nothing of ours.
msiexec /x "$(windows_path "$newer")" /qn || fail "msiexec /x failed"
left=$(find "$WINEPREFIX/drive_c" -iname '*tarnwick*')
[[ -z $left ]] || fail "left behind: $left"
if [[ $had_programs_folder -eq 0 && -d $local_data/Programs ]]; then
  fail "left the empty folder %LOCALAPPDATA%\\Programs it made"
fi
[[ $(cached_packages) -le $installer_cache_before ]] || fail "left a package in the installer cache"
marks=(tarnwick)
for code in "$first_code" "$(product_code "$newer")" "$upgrade_code"; do
  marks+=("${code//[\{\}]/}" "$(packed "$code")")
done
for mark in "${marks[@]}"; do
  if grep -qiF -- "$mark" <<<"$(registry)"; then
    fail "the registry still holds $mark: $(grep -iF -- "$mark" <<<"$(registry)" | head -3)"
  fi
done
echo "windows msi check passed: $(basename "$msi") installed, ran, upgraded to $version.1" \
  "and removed in $((SECONDS - started)) s"
