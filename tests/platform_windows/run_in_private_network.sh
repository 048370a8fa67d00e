#!/usr/bin/env bash
# Runs the Windows platform tests under Wine inside a private network namespace
# staged here (a veth pair, a bridge, a leased address, default routes), with
# the loopback HTTP test server beside them, and hands them what iproute2
# reports of the same namespace to compare with. Two addresses there never
# answer, for the requests stopped while they wait: a host name whose lookup
# goes to a resolver that stays silent, and an address whose connection is
# never accepted.
#   run_in_private_network.sh SERVER WINE_RUN PREFIX TEST_EXE [arguments...]
# Exits 77 (skipped) where no network namespace can be had.
set -euo pipefail
server=$1 wine_run=$2 prefix=$(realpath -m "$3") program=$4
shift 4

if [ "$(id -u)" -ne 0 ] || ! command -v ip >/dev/null; then
  echo "needs root and iproute2 to create network namespaces"
  exit 77
fi

namespace="tarnwick-wine-$$"
work=$(mktemp -d)
server_pid=""
resolver_pid=""
cleanup() {
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; fi
  if [ -n "$resolver_pid" ]; then kill "$resolver_pid" 2>/dev/null || true; fi
  ip netns del "$namespace" 2>/dev/null || true
  rm -rf "/etc/netns/$namespace"
  rm -rf "$work"
}
trap cleanup EXIT

ip netns add "$namespace"
inside() { ip netns exec "$namespace" "$@"; }

inside sh -e -c '
  ip link set lo up
  ip link add veth0 type veth peer name veth1
  ip link add br0 type bridge
  # No link-local addresses: only what is staged here is compared.
  for l in veth0 veth1 br0; do ip link set "$l" addrgenmode none; done
  ip link set veth1 master br0
  for l in veth0 veth1 br0; do ip link set "$l" up; done
  ip addr add 192.0.2.10/24 dev veth0 valid_lft 3600 preferred_lft 3600
  ip addr add 192.0.2.11/24 dev veth0
  ip addr add 2001:db8:1::10/64 dev veth0 nodad
  ip addr add 198.51.100.1/24 dev br0
  ip route add default via 192.0.2.1 dev veth0
  ip -6 route add default via 2001:db8:1::1 dev veth0
  # No machine has this hardware address: connections to 192.0.2.99 go out
  # and are never answered.
  ip neigh add 192.0.2.99 lladdr 02:00:00:00:00:99 dev veth0 nud permanent
'
# The namespace's resolver (ip netns exec puts /etc/netns/NAME/* over /etc):
# a socket that reads every query and answers none.
mkdir -p "/etc/netns/$namespace"
printf 'nameserver 192.0.2.10\noptions timeout:30 attempts:1\n' >"/etc/netns/$namespace/resolv.conf"
ip netns exec "$namespace" python3 -c '
import socket, time
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("192.0.2.10", 53))
time.sleep(600)' </dev/null >/dev/null 2>&1 &
resolver_pid=$!
inside ip -j -d link show >"$work/links.json"
inside ip -j addr show >"$work/addresses.json"
inside ip -j -4 route show default >"$work/routes4.json"
inside ip -j -6 route show default >"$work/routes6.json"

# Started directly (no function, no subshell), so its id is the server's.
ip netns exec "$namespace" "$server" --routes --seconds 600 >"$work/server.out" 2>&1 </dev/null &
server_pid=$!
port=""
for _ in $(seq 100); do
  port=$(sed -n 's/^listening on .*:\([0-9]*\)$/\1/p' "$work/server.out")
  [ -n "$port" ] && break
  sleep 0.05
done
if [ -z "$port" ]; then
  echo "the test server did not start" >&2
  exit 1
fi

# Wine sees the machine's root directory as drive Z:. Wine's network answers
# come from its services, which live as long as its server: a copy of the
# prefix of its own starts them in this namespace.
status=0
TARNWICK_IP_FACTS="Z:$work" TARNWICK_TEST_SERVER="http://127.0.0.1:$port" \
  TARNWICK_TEST_SILENT_LOOKUP="http://silent-lookup.test/" \
  TARNWICK_TEST_SILENT_CONNECT="http://192.0.2.99/" \
  inside "$wine_run" --copy-of "$prefix" "$program" "$@" || status=$?
exit "$status"
