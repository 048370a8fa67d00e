#!/usr/bin/env bash
# Where the program stands: every timed figure against its target, in one run.
#
#   bench/run_all.sh [BUILD_DIR] [ROUNDS]
#
# BUILD_DIR is a configured and built tree (default build/release; build it
# with `cmake -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release` and
# `cmake --build build/release`); ROUNDS (default 3) is how many times each
# side-by-side case runs. Builds nothing. Needs root, unshare(1), nsenter(1),
# ip(8) and /usr/bin/time.
#
# Everything runs in a private mount namespace whose hosts file points the two
# fixed host names at 127.0.0.1 and whose resolver file names no usable server,
# and in two private network namespaces, each with its own loopback test
# server on port 80: "small" holds one veth pair, "large" 500 pairs (1000
# adapters, one IPv4 address each). Nothing leaves this machine.
#
# Figures (medians):
#   scale    extra wall time of the whole no-display program (both reports)
#            in "large" over "small", against `ip -j addr`, `ip -j route` and
#            `ip -j -d link` together in "large", run in the same rounds, and
#            the ratio of the two (target at most 1.0)
#   start    from execve to the first echo request, 10 runs in "small"
#   gather   from execve to the printed status block, against the 2.00 s floor
#   rss      peak resident memory, "small" and "large"
#   window   from the click on "1" to the first paint of the filled report
#            window, 1000 adapters, offscreen (bench_report_window)
#   links    from execve to the printed status block on a staged 40 ms and
#            600 ms line (bench_links.sh, one run each)
set -euo pipefail

PAIRS=500

if [[ ${1:-} != --inside ]]; then
  build=$(realpath "${1:-build/release}")
  rounds=${2:-3}
  [[ $rounds =~ ^[1-9]$ ]] || { echo "ROUNDS must be 1 to 9" >&2; exit 2; }
  [[ $(id -u) -eq 0 ]] || { echo "needs root for private namespaces" >&2; exit 2; }
  [[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (package: time)" >&2; exit 2; }
  for f in app/tarnwick tests/tarnwick_test_http_server; do
    [[ -x $build/$f ]] || { echo "not built: $build/$f" >&2; exit 2; }
  done
  exec unshare --mount --propagation private "$(realpath "$0")" --inside "$build" "$rounds"
fi

# From here on: inside the private mount namespace.
build=$2
rounds=$3
program=$build/app/tarnwick
server=$build/tests/tarnwick_test_http_server
window_bench=$build/bench/bench_report_window
work=$(mktemp -d /tmp/tarnwick-bench-XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=scripts/private_run.sh
source "$(dirname "$(realpath "$0")")/../scripts/private_run.sh"
point_endpoints_at_loopback "$work"

# A network namespace is held open by a sleeping process; its pid names it.
declare -A netns
make_netns() {  # NAME PAIRS
  unshare --net sleep 3600 &
  pids+=($!)
  netns[$1]=$!
  # unshare(1) is running until it has left for the new namespace: wait for that,
  # or the links below would land in this machine's own namespace.
  local _
  for _ in $(seq 200); do
    [[ $(readlink "/proc/${netns[$1]}/ns/net") != "$(readlink /proc/self/ns/net)" ]] && break
    sleep 0.01
  done
  [[ $(readlink "/proc/${netns[$1]}/ns/net") != "$(readlink /proc/self/ns/net)" ]] ||
    { echo "no private network namespace" >&2; exit 1; }
  local in=(nsenter -t "${netns[$1]}" -n)
  "${in[@]}" ip link set lo up
  local i
  for ((i = 0; i < $2; i++)); do
    local a=$((i * 4 + 1))
    printf 'link add tv%da type veth peer name tv%db\n' "$i" "$i"
    printf 'address add 198.18.%d.%d/30 dev tv%da\n' $((a / 256)) $((a % 256)) "$i"
    printf 'address add 198.18.%d.%d/30 dev tv%db\n' $((a / 256)) $((a % 256 + 1)) "$i"
    printf 'link set tv%da up\nlink set tv%db up\n' "$i" "$i"
  done >"$work/stage-$1"
  "${in[@]}" ip -batch "$work/stage-$1"
  "${in[@]}" "$server" --port 80 --body 203.0.113.7 --seconds 3000 --log-requests \
    >"$work/server-$1.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    grep -q '^listening' "$work/server-$1.log" && return 0
    sleep 0.05
  done
  cat "$work/server-$1.log" >&2
  exit 1
}

make_netns small 1
make_netns large "$PAIRS"
echo "adapters: small $(nsenter -t "${netns[small]}" -n ip -o link | wc -l)," \
  "large $(nsenter -t "${netns[large]}" -n ip -o link | wc -l) (loopback included)"

# Seconds (with microseconds) between two $EPOCHREALTIME readings.
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

# One run of the program without a display in network namespace $1; appends
# "first_request gathered exit rss_MB" to $work/samples-$1.
run_program() {
  local ns=$1 log=$work/server-$1.log
  local before
  before=$(grep -c '^request' "$log" || true)
  nsenter -t "${netns[$ns]}" -n -- env -i PATH=/usr/bin:/bin HOME="$work" LANG=C.UTF-8 \
    /usr/bin/time -f %M -o "$work/rss" timeout 60 \
    bash -c 'printf "%s\n" "$EPOCHREALTIME" >"$1"; exec "$2"' _ "$work/start" "$program" |
    {
      # read(1) takes a byte per call: only the status block goes through it.
      while IFS= read -r line; do
        case $line in
          "Lights: "*) printf '%s\n' "$EPOCHREALTIME" >"$work/gathered" && break ;;
        esac
      done
      cat >/dev/null
    }
  local end=$EPOCHREALTIME start first
  start=$(cat "$work/start")
  first=$(grep '^request' "$log" | sed -n "$((before + 1))p" | cut -d' ' -f2)
  [[ -s $work/gathered && -n $first ]] || { echo "a run in $ns did not complete" >&2; exit 1; }
  printf '%s %s %s %s\n' "$(elapsed "$start" "$first")" \
    "$(elapsed "$start" "$(cat "$work/gathered")")" "$(elapsed "$start" "$end")" \
    "$(awk '{ printf "%.1f", $1 / 1024 }' "$work/rss")" >>"$work/samples-$ns"
  rm -f "$work/gathered"
}

run_ip() {
  nsenter -t "${netns[large]}" -n bash -c '
    s=$EPOCHREALTIME
    ip -j addr >/dev/null; ip -j route >/dev/null; ip -j -d link >/dev/null
    awk -v a="$s" -v b="$EPOCHREALTIME" "BEGIN { printf \"%.3f\n\", b - a }"' >>"$work/samples-ip"
}

# Median of column $2 of file $1.
median() {
  sort -n -k"$2" "$1" | awk -v c="$2" '{ v[NR] = $c }
    END { printf "%.3f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
verdict() { awk -v v="$1" -v t="$2" 'BEGIN { print (v <= t) ? "met" : "MISSED" }'; }

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((r = 1; r <= rounds; r++)); do
  run_program small
  run_program large
  run_ip
done
# More start-up samples, up to 10 in "small".
for ((r = rounds; r < 10; r++)); do run_program small; done

ip_s=$(median "$work/samples-ip" 1)
small_exit=$(median "$work/samples-small" 3)
large_exit=$(median "$work/samples-large" 3)
extra=$(awk -v a="$small_exit" -v b="$large_exit" 'BEGIN { printf "%.3f", b - a }')
start_s=$(median "$work/samples-small" 1)
gather_s=$(median "$work/samples-small" 2)
rss_small=$(median "$work/samples-small" 4)
rss_large=$(median "$work/samples-large" 4)

window_ms=n/a
window_cpu=n/a
if [[ -x $window_bench ]]; then
  nsenter -t "${netns[large]}" -n env QT_QPA_PLATFORM=offscreen "$window_bench" \
    --benchmark_format=json >"$work/window.json" 2>/dev/null
  counter() { awk -F'[:,]' -v k="\"$1\"" '$1 ~ k { gsub(/ /, "", $2); printf "%.1f", $2; exit }' \
    "$work/window.json"; }
  window_ms=$(counter click_to_paint_ms)
  window_cpu=$(counter click_cpu_ms)
fi

# Slow lines: "link program result status..." rows, one run each.
links=$(env -u TARNWICK_WINDOWS_BUILD bash "$(dirname "$(realpath "$0")")/bench_links.sh" \
  "$build" broadband satellite | awk '$2 == "linux" { print $1, $3 }') || true
link_result() { awk -v l="$1" '$1 == l { print $2 }' <<<"$links"; }

echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
printf '%-44s %10s   %s\n' figure value target
ratio=$(awk -v e="$extra" -v i="$ip_s" 'BEGIN { printf "%.2f", (i > 0) ? e / i : 99 }')
printf '%-44s %10s   %s\n' "scale: extra wall, 1000 adapters (s)" "$extra" \
  "<= 1.0 x ip -j = $ip_s  $(verdict "$extra" "$ip_s")"
printf '%-44s %10s   %s\n' "  (ratio: extra wall / ip -j)" "$ratio" "<= 1.0  $(verdict "$ratio" 1.0)"
printf '%-44s %10s   %s\n' "  (program small / large exit, s)" "$small_exit / $large_exit" ""
printf '%-44s %10s   %s\n' "start: execve to first echo request (ms)" \
  "$(awk -v v="$start_s" 'BEGIN { printf "%.0f", v * 1000 }')" \
  "<= 50  $(verdict "$start_s" 0.050)"
printf '%-44s %10s   %s\n' "gather: execve to status block (s)" "$gather_s" \
  "<= 2.10 (1.05 x 2.00)  $(verdict "$gather_s" 2.10)"
printf '%-44s %10s   %s\n' "rss: normal gathering, both reports (MB)" "$rss_small" \
  "<= 32  $(verdict "$rss_small" 32)"
printf '%-44s %10s   %s\n' "rss: 1000 adapters (MB)" "$rss_large" \
  "<= 40  $(verdict "$rss_large" 40)"
if [[ $window_ms == n/a ]]; then
  printf '%-44s %10s   %s\n' "window: click \"1\" to filled window (ms)" "$window_ms" \
    "<= 150  (bench_report_window not built)"
else
  printf '%-44s %10s   %s\n' "window: click \"1\" to filled window (ms)" "$window_ms" \
    "<= 150  $(verdict "$window_ms" 150)"
  printf '%-44s %10s   %s\n' "  (processor time of the same, ms)" "$window_cpu" ""
fi
for pair in broadband:2.3 satellite:20; do
  name=${pair%:*} target=${pair#*:} value=$(link_result "${pair%:*}")
  printf '%-44s %10s   %s\n' "links: $name, execve to status block (s)" "${value:--}" \
    "<= $target  $([[ $value =~ ^[0-9.]+$ ]] && verdict "$value" "$target" || echo MISSED)"
done
echo "samples: small $(wc -l <"$work/samples-small"), large $(wc -l <"$work/samples-large")," \
  "ip $(wc -l <"$work/samples-ip")"
