#!/usr/bin/env bash
# The real program on staged slow lines: how long until it shows its result,
# and what it finds.
#
#   bench/bench_links.sh BUILD_DIR [LINK...]
#
# BUILD_DIR is a built tree with the tests (app/tarnwick, the test HTTP
# server, tests/links/tarnwick_link_relay and tarnwick_name_server). LINK is
# one of the names below, or NAME+lookups for the same line with the name
# lookups crossing it; default: every line, each both ways. Builds nothing.
# Runs one at a time, so the figures are the line's and not the machine's load.
#
# Each run has private mount and network namespaces of its own: the echo
# service (203.0.113.7 as the reply), the target site and a resolver live in a
# "world" namespace reached only through the link relay (tests/links), which
# adds the line's delay, loss, rate and death; both servers keep connections
# open, as real ones do. The program's hosts file names the endpoints (or, with
# +lookups, its resolver file names the world's resolver). Nothing leaves this
# machine. Per run:
#   result  seconds from the program's start to its printed result (target
#           within 32 on any line; 2.3 on broadband; 20 on satellite)
#   exit    seconds from the program's start to its end (Linux only: under
#           Wine the driver reads the report windows first)
#   status, WAN  what it showed
#   echo, probe  the requests the echo service and the target site saw
# With TARNWICK_WINDOWS_BUILD naming a Windows build, each run is made once
# more with its tarnwick.exe under Wine (tests/end_to_end/wine_session.sh),
# timed by the Windows test driver from the program's start to the result
# shown in its window. Needs root, unshare(1), ip(8).
set -euo pipefail
# shellcheck source=scripts/private_run.sh
source "$(dirname "$(realpath "$0")")/../scripts/private_run.sh"
echo_host=$(endpoint_host kEchoServiceUrl)
target_host=$(endpoint_host kReachabilityUrl)

# name  rtt_ms jitter_ms loss_% up_kbit down_kbit queue_bytes die_after_ms echo_delay_ms site_delay_ms
LINES="
broadband      40   2  0  0   0   65536  -1    0    0
mobile        300  20  1  0   0   65536  -1    0    0
satellite     600  10  0  0   0   65536  -1    0    0
satellite-3%  600  10  3  0   0   65536  -1    0    0
congested    1200   0  0  256 512 131072 -1    0    0
lossy-10%     100   5 10  0   0   65536  -1    0    0
echo-slow      40   2  0  0   0   65536  -1 1500    0
site-slow      40   2  0  0   0   65536  -1    0 8000
dies-at-5s    600  10  0  0   0   65536 5000   0    0
"

here=$(dirname "$(realpath "$0")")

# ---- one run, inside its own namespaces -----------------------------------
if [[ ${1:-} == --run ]]; then
  build=$2 which=$3 lookups=$4
  read -r _ rtt jitter loss up down queue die echo_delay site_delay <<<"$5"
  work=$(mktemp -d /tmp/tarnwick-bench-links-XXXXXX)
  pids=()
  cleanup() {
    [[ ${#pids[@]} -eq 0 ]] || kill "${pids[@]}" 2>/dev/null || true
    wait
    rm -rf "$work"
  }
  trap cleanup EXIT
  # Starts a command in the background and waits (at most 10 s) for its first line.
  start() {
    local log=$1
    shift
    "$@" >"$log" 2>&1 &
    pids+=($!)
    local _
    for _ in $(seq 200); do
      [[ -s $log ]] && return 0
      sleep 0.05
    done
    cat "$log" >&2
    exit 1
  }

  mkdir -p /run/netns
  mount -t tmpfs tmpfs /run/netns
  ip link set lo up
  sysctl -qw net.ipv6.conf.default.disable_ipv6=1
  ip netns add w
  ip -n w link set lo up
  ip tuntap add dev e2e-lan0 mode tun
  ip -n w tuntap add dev up0 mode tun
  ip addr add 198.51.100.2/30 dev e2e-lan0
  ip -n w addr add 198.51.100.1/30 dev up0
  ip link set e2e-lan0 up
  ip -n w link set up0 up
  ip route add default via 198.51.100.1 dev e2e-lan0
  for a in 203.0.113.10 203.0.113.11 203.0.113.53; do ip -n w addr add "$a/32" dev lo; done

  relay=(--near e2e-lan0 --far-netns w --far up0 --seed 1 --rtt-ms "$rtt" --jitter-ms "$jitter"
    --loss-percent "$loss" --up-kbit "$up" --down-kbit "$down" --queue-bytes "$queue")
  [[ $die -ge 0 ]] && relay+=(--die-after-ms "$die")
  start "$work/relay.log" "$build/tests/links/tarnwick_link_relay" "${relay[@]}"
  server=$build/tests/tarnwick_test_http_server
  start "$work/echo.log" ip netns exec w "$server" --address 203.0.113.10 --port 80 \
    --body 203.0.113.7 --delay-ms "$echo_delay" --log-requests --keep-alive --seconds 300
  start "$work/site.log" ip netns exec w "$server" --address 203.0.113.11 --port 80 \
    --body "<html><body>The free encyclopedia</body></html>" --delay-ms "$site_delay" \
    --log-requests --keep-alive --seconds 300

  printf '127.0.0.1 localhost\n::1 localhost\n' >"$work/hosts"
  if [[ $lookups == across ]]; then
    start "$work/names.log" ip netns exec w "$build/tests/links/tarnwick_name_server" \
      --address 203.0.113.53 "$echo_host=203.0.113.10" "$target_host=203.0.113.11"
  else
    printf '203.0.113.10 %s\n203.0.113.11 %s\n' "$echo_host" "$target_host" >>"$work/hosts"
  fi
  printf 'nameserver 203.0.113.53\n' >"$work/resolv.conf"
  mount --bind "$work/hosts" /etc/hosts
  mount --bind "$work/resolv.conf" /etc/resolv.conf

  if [[ $which == linux ]]; then
    start_time=$EPOCHREALTIME
    env -i PATH=/usr/bin:/bin HOME="$work" LANG=C.UTF-8 timeout 60 "$build/app/tarnwick" |
      while IFS= read -r line; do
        case $line in
          "Your Wan Ip Is: "* | "Online Status: "*) printf '%s\n' "$line" >>"$work/result" ;;
          "Lights: "*) printf '%s\n' "$EPOCHREALTIME" >"$work/time" ;;
        esac
      done || true
    exit_time=$EPOCHREALTIME
    seconds() { awk -v a="$start_time" -v b="$1" 'BEGIN { printf "%.2f", b - a }'; }
    result=-
    [[ -s $work/time ]] && result=$(seconds "$(cat "$work/time")")
    ended=$(seconds "$exit_time")
  else
    windows=$TARNWICK_WINDOWS_BUILD
    TARNWICK_WINE_PROGRAM=$windows/app/tarnwick.exe \
      TARNWICK_WINE_DRIVER=$windows/tests/windows_driver/tarnwick_windows_driver.exe \
      TARNWICK_WINE_PREFIX=${TARNWICK_WINE_PREFIX:-$windows/wine-e2e-prefix} \
      TARNWICK_WINE_SECONDS=150 \
      env -u DISPLAY -u WAYLAND_DISPLAY bash "$here/../tests/end_to_end/wine_session.sh" --bench \
      >"$work/wine.out" 2>/dev/null || true
    grep -E '^(Your Wan Ip Is|Online Status): ' "$work/wine.out" >"$work/result" || true
    result=$(awk '$1 == "result_ms" { printf "%.2f", $2 / 1000 }' "$work/wine.out")
    [[ -n $result ]] || result=-
    ended=-
  fi
  status=$(sed -n 's/^Online Status: //p' "$work/result" 2>/dev/null)
  wan=$(sed -n 's/^Your Wan Ip Is: //p' "$work/result" 2>/dev/null)
  printf '%-7s %-7s %-22s %-12s %5s %5s\n' "$result" "$ended" "${status:-(none)}" "${wan:-(empty)}" \
    "$(grep -c '^request' "$work/echo.log" || true)" "$(grep -c '^request' "$work/site.log" || true)"
  exit 0
fi

# ---- the table ------------------------------------------------------------
if [[ $# -lt 1 ]]; then
  echo "usage: $0 BUILD_DIR [LINK...]" >&2
  exit 2
fi
build=$(realpath "$1")
shift
[[ $(id -u) -eq 0 ]] || { echo "needs root for private namespaces" >&2; exit 2; }
for f in app/tarnwick tests/tarnwick_test_http_server tests/links/tarnwick_link_relay \
  tests/links/tarnwick_name_server; do
  [[ -x $build/$f ]] || { echo "not built: $build/$f" >&2; exit 2; }
done
programs=(linux)
if [[ -n ${TARNWICK_WINDOWS_BUILD:-} ]]; then
  TARNWICK_WINDOWS_BUILD=$(realpath "$TARNWICK_WINDOWS_BUILD")
  export TARNWICK_WINDOWS_BUILD
  programs+=(wine)
fi
wanted=("$@")
if [[ ${#wanted[@]} -eq 0 ]]; then
  while read -r name _; do [[ -n $name ]] && wanted+=("$name"); done <<<"$LINES"
  while read -r name _; do [[ -n $name ]] && wanted+=("$name+lookups"); done <<<"$LINES"
fi

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-20s %-7s %-7s %-7s %-22s %-12s %5s %5s\n' link program result exit status WAN echo probe
for link in "${wanted[@]}"; do
  name=${link%+lookups}
  lookups=hosts
  [[ $link == *+lookups ]] && lookups=across
  line=$(awk -v n="$name" '$1 == n' <<<"$LINES")
  [[ -n $line ]] || { echo "no such link: $name" >&2; exit 2; }
  for which in "${programs[@]}"; do
    printf '%-20s %-7s ' "$link" "$which"
    unshare --mount --net --propagation private "$(realpath "$0")" --run "$build" "$which" \
      "$lookups" "$line"
  done
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
