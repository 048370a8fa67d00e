#!/usr/bin/env bash
# Start-up time and memory of the real program without a display.
#
#   bench/bench_startup.sh PROGRAM TEST_SERVER [RUNS]
#
# PROGRAM is the built tarnwick binary, TEST_SERVER the built
# tarnwick_test_http_server; RUNS defaults to 10. Builds nothing.
#
# Each run starts the program in a private mount namespace whose hosts file
# points the two fixed host names at 127.0.0.1, where the test server answers
# at once, and whose resolver file names no usable server: nothing leaves this
# machine. Reported per run and as median and maximum:
#   result  from process start to the printed status block (floor: 20 ticks of
#           100 ms = 2.00 s; target: median at most 2.10 s)
#   exit    from process start to exit (the two report windows come after)
#   rss     peak resident memory (target: at most 40 MB)
# With TARNWICK_WINDOWS_BUILD naming a Windows build, each run also starts its
# tarnwick.exe under Wine on a virtual display (tests/end_to_end/wine_session.sh),
# against the same server, and reports:
#   wine    from the program's start to the finished result shown in its window,
#           as the Windows test driver sees it (floor 2.00 s; target: median
#           within 5 % of the Linux build's median above)
#   window  from the program's start to its main window shown, under Wine
#   ws      the program's peak working set under Wine
# Needs root (for the mount namespace), unshare(1), flock(1) and /usr/bin/time.
set -euo pipefail

LOCK=/tmp/tarnwick-loopback-port80.lock  # runs of this benchmark take turns on 127.0.0.1:80

if [[ ${1:-} != --inside ]]; then
  if [[ $# -lt 2 || $# -gt 3 ]]; then
    echo "usage: $0 PROGRAM TEST_SERVER [RUNS]" >&2
    exit 2
  fi
  program=$(realpath "$1")
  server=$(realpath "$2")
  runs=${3:-10}
  [[ -x $program && -x $server ]] || { echo "not executable: $program or $server" >&2; exit 2; }
  [[ $runs =~ ^[1-9][0-9]?$ ]] || { echo "RUNS must be 1 to 99" >&2; exit 2; }
  [[ $(id -u) -eq 0 ]] || { echo "needs root for a private mount namespace" >&2; exit 2; }
  [[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (package: time)" >&2; exit 2; }
  if [[ -n ${TARNWICK_WINDOWS_BUILD:-} ]]; then
    TARNWICK_WINDOWS_BUILD=$(realpath "$TARNWICK_WINDOWS_BUILD")
    export TARNWICK_WINDOWS_BUILD
  fi
  exec unshare --mount --propagation private "$(realpath "$0")" --inside "$program" "$server" "$runs"
fi

# From here on: inside the private mount namespace.
program=$2
server=$3
runs=$4
# shellcheck source=scripts/private_run.sh
source "$(dirname "$(realpath "$0")")/../scripts/private_run.sh"
begin_private_run tarnwick-bench

# 127.0.0.1:80 is the machine's: wait for the end-to-end tests to let go of it.
exec 9>"$LOCK"
flock -w 120 9 || { echo "127.0.0.1:80 stayed locked ($LOCK)" >&2; exit 1; }
if (exec 3<>/dev/tcp/127.0.0.1/80) 2>/dev/null; then
  echo "something already listens on 127.0.0.1:80" >&2
  exit 1
fi

start_test_server "$server" --port 80 --body 203.0.113.7 --seconds 900

# Seconds (with microseconds) between two $EPOCHREALTIME readings.
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

windows=${TARNWICK_WINDOWS_BUILD:-}
session=$(dirname "$(realpath "$0")")/../tests/end_to_end/wine_session.sh
# One run of tarnwick.exe: "seconds seconds MB" from the driver's figures.
wine_run() {
  TARNWICK_WINE_PROGRAM=$windows/app/tarnwick.exe \
    TARNWICK_WINE_DRIVER=$windows/tests/windows_driver/tarnwick_windows_driver.exe \
    TARNWICK_WINE_PREFIX=$windows/wine-e2e-prefix \
    env -u DISPLAY -u WAYLAND_DISPLAY bash "$session" --bench |
    awk '$1 == "result_ms" { r = $2 / 1000 } $1 == "window_ms" { s = $2 / 1000 }
         $1 == "peak_working_set_kb" { w = $2 / 1024 }
         END { if (r == "") exit 1; printf "%.3f %.3f %.1f", r, s, w }'
}

printf '%-4s %-8s %-8s %-8s %-22s' run result exit rss_MB status
[[ -n $windows ]] && printf ' %-8s %-8s %s' wine window ws_MB
echo
for i in $(seq "$runs"); do
  start=$EPOCHREALTIME
  env -i PATH=/usr/bin:/bin HOME="$work" LANG=C.UTF-8 \
    /usr/bin/time -f %M -o "$work/rss.$i" timeout 60 "$program" |
    while IFS= read -r line; do
      case $line in
        "Online Status: "*) printf '%s\n' "${line#Online Status: }" >"$work/status.$i" ;;
        "Lights: "*) printf '%s\n' "$EPOCHREALTIME" >"$work/result.$i" ;;
      esac
    done
  end=$EPOCHREALTIME
  [[ -s $work/result.$i ]] || { echo "run $i printed no result" >&2; exit 1; }
  result=$(elapsed "$start" "$(cat "$work/result.$i")")
  total=$(elapsed "$start" "$end")
  rss=$(awk '/^[0-9]+$/ { printf "%.1f", $1 / 1024 }' "$work/rss.$i")
  printf '%-4s %-8s %-8s %-8s %-22s' "$i" "$result" "$total" "$rss" "$(cat "$work/status.$i")"
  wine_figures=
  if [[ -n $windows ]]; then
    wine_figures=$(wine_run) || { echo; echo "run $i: tarnwick.exe gave no result under Wine" >&2; exit 1; }
    printf ' %-8s %-8s %s' $wine_figures
  fi
  echo
  printf '%s %s %s %s\n' "$result" "$total" "$rss" "$wine_figures" >>"$work/samples"
done

# Median and maximum of one column of the samples.
summary() {
  sort -n -k"$1" "$work/samples" | awk -v c="$1" '{ v[NR] = $c }
    END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
          printf "median %.3f, max %.3f", m, v[NR] }'
}
echo
echo "runs: $runs"
echo "start to printed result (s): $(summary 1)   [floor 2.00, target median <= 2.10]"
echo "start to exit (s):           $(summary 2)"
echo "peak RSS (MB):               $(summary 3)   [target <= 40]"
if [[ -n $windows ]]; then
  median() { sort -n -k"$1" "$work/samples" | awk -v c="$1" '{ v[NR] = $c }
    END { printf "%.3f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
  target=$(awk -v l="$(median 1)" 'BEGIN { printf "%.3f", l * 1.05 }')
  echo "Wine: start to result (s):   $(summary 4)   [floor 2.00, target median <= $target]"
  echo "Wine: start to window (s):   $(summary 5)"
  echo "Wine: peak working set (MB): $(summary 6)"
fi
