#!/usr/bin/env bash
# Takes pictures of tarnwick.exe under Wine on a virtual display: the main
# window while gathering, done, on its Legend and About pages, and both report
# windows, frames drawn by Wine.
#
#   scripts/screenshots_windows.sh [OUTPUT_DIR]    default: docs/screenshots/windows
#
# The program runs in private mount and network namespaces: its hosts file
# points both endpoints at 127.0.0.1, where the loopback test server answers
# with a documentation address, and its only adapter with an address is a
# virtual link on a documentation address, IPv4 alone (Wine lists IPv6
# addresses first), that Wine takes for a network card. Nothing of this machine shows, nothing
# leaves it. TARNWICK_WINDOWS_BUILD names the Windows build (default:
# build/windows); the test server comes from the default build. Needs root.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ ${1:-} != --inside ]]; then
  out=$(realpath -m "${1:-docs/screenshots/windows}")
  windows=$(realpath "${TARNWICK_WINDOWS_BUILD:-build/windows}")
  [[ $(id -u) -eq 0 ]] || { echo "needs root for private namespaces" >&2; exit 2; }
  cmake --preset default >/dev/null
  cmake --build --preset default --target tarnwick_test_http_server >/dev/null
  exec unshare --mount --net --propagation private "$(realpath "$0")" --inside "$out" "$windows"
fi

# From here on: inside the private namespaces.
out=$2
windows=$3
# shellcheck source=scripts/private_run.sh
source "$(dirname "$(realpath "$0")")/private_run.sh"
begin_private_run tarnwick-shots
# sysfs shows the links of the namespace that mounted it.
mount -t sysfs sysfs /sys

sysctl -qw net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1
ip link set lo up
# Windows tells a virtual adapter by its description, which Wine takes from
# the link's name: the peer says "virtual", the other passes for a card.
ip link add lan0 type veth peer name virtual0
ip addr add 198.51.100.1/24 dev lan0
ip link set lan0 up
ip link set virtual0 up

start_test_server build/default/tests/tarnwick_test_http_server --port 80 \
  --body "Your IP is 203.0.113.7" --seconds 600

mkdir -p "$out"
TARNWICK_WINE_PROGRAM=$windows/app/tarnwick.exe \
  TARNWICK_WINE_DRIVER=$windows/tests/windows_driver/tarnwick_windows_driver.exe \
  TARNWICK_WINE_PREFIX=$windows/wine-e2e-prefix \
  env -u DISPLAY -u WAYLAND_DISPLAY bash tests/end_to_end/wine_session.sh --pictures "$out"
