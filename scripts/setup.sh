#!/usr/bin/env bash
# Installs whatever Debian 12 packages the build, the program and the tests need,
# and generates the locales the number-formatting tests use. Idempotent: when
# everything is there it only checks and returns.
#   setup.sh       everything: the program, the tests, the package checks, the Windows build
#   setup.sh run   only what configuring, building and running the program needs
set -euo pipefail

# Configuring the default build needs the test and benchmark libraries too (small);
# xdg-utils opens the program's links; qt6-wayland draws the window on a
# Wayland-only desktop.
packages=(
  build-essential cmake ninja-build pkg-config git dpkg-dev python3
  qt6-base-dev libgl-dev qt6-wayland
  libnl-3-dev libudev-dev uuid-dev
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  fonts-dejavu-core fontconfig xdg-utils
)
if [ "${1:-}" != run ]; then
  packages+=(
    clang libclang-rt-14-dev
    xvfb xauth fonts-dseg weston
    iproute2 util-linux procps locales time
    desktop-file-utils appstream lintian
    mingw-w64 wine wine64 fonts-wine
    at-spi2-core python3-pyatspi xdotool dbus-bin
    wixl msitools osslsigncode openssl
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ "${1:-}" = run ]; then exit 0; fi

# Locales for the speed-formatting tests: English and German number styles.
want_locales=(en_US.UTF-8 de_DE.UTF-8)
have=$(locale -a 2>/dev/null | tr 'A-Z' 'a-z' | sed 's/utf-8/utf8/')
regen=0
for l in "${want_locales[@]}"; do
  norm=$(echo "$l" | tr 'A-Z' 'a-z' | sed 's/utf-8/utf8/')
  if ! grep -qx "$norm" <<<"$have"; then
    if ! grep -q "^$l UTF-8" /etc/locale.gen 2>/dev/null; then
      echo "$l UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    else
      "${sudo_cmd[@]}" sed -i "s/^# *\($l UTF-8\)/\1/" /etc/locale.gen
    fi
    regen=1
  fi
done
if [ "$regen" -eq 1 ]; then "${sudo_cmd[@]}" locale-gen >/dev/null; fi
