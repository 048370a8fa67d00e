# Sourced by scripts that run the real program inside a private mount
# namespace, so that nothing the program asks for leaves this machine.

# endpoint_host NAME: the host of the program's URL NAME (kEchoServiceUrl,
# kReachabilityUrl), read from the one header that holds the endpoints.
endpoint_host() {
  sed -n "s|.*$1 = \"http://\([^/:\"]*\).*|\1|p" "$tarnwick_endpoints"
}
tarnwick_endpoints="$(dirname "$(realpath "${BASH_SOURCE[0]}")")/../probes/endpoints.h"

# point_endpoints_at_loopback DIR: writes a hosts file that sends the program's
# two fixed host names to 127.0.0.1 and a resolver file that names no usable
# server into DIR, and mounts them over /etc/hosts and /etc/resolv.conf.
point_endpoints_at_loopback() {
  printf '127.0.0.1 localhost\n127.0.0.1 %s\n127.0.0.1 %s\n' "$(endpoint_host kEchoServiceUrl)" \
    "$(endpoint_host kReachabilityUrl)" >"$1/hosts"
  printf 'nameserver 127.0.0.9\noptions timeout:1 attempts:1\n' >"$1/resolv.conf"
  mount --bind "$1/hosts" /etc/hosts
  mount --bind "$1/resolv.conf" /etc/resolv.conf
}

# begin_private_run NAME: a scratch folder in $work (removed on exit, with the
# test server started below) and the endpoints pointed at loopback.
begin_private_run() {
  work=$(mktemp -d "/tmp/$1-XXXXXX")
  server_pid=
  trap end_private_run EXIT
  point_endpoints_at_loopback "$work"
}

end_private_run() {
  if [[ -n $server_pid ]]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}

# start_test_server SERVER [ARGUMENTS...]: the loopback test server in the
# background, its log in $work/server.log; returns once it listens.
start_test_server() {
  "$@" >"$work/server.log" 2>&1 &
  server_pid=$!
  local _
  for _ in $(seq 100); do
    grep -q '^listening' "$work/server.log" && return 0
    sleep 0.05
  done
  cat "$work/server.log" >&2
  exit 1
}
