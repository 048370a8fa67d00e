# Sourced by scripts that run the real program inside a private mount
# namespace. point_endpoints_at_loopback DIR writes a hosts file that sends the
# program's two fixed host names to 127.0.0.1 and a resolver file that names no
# usable server, both into DIR, and mounts them over /etc/hosts and
# /etc/resolv.conf, so that nothing the program asks for leaves this machine.
point_endpoints_at_loopback() {
  printf '127.0.0.1 localhost\n127.0.0.1 api.ipify.org\n127.0.0.1 www.wikipedia.org\n' >"$1/hosts"
  printf 'nameserver 127.0.0.9\noptions timeout:1 attempts:1\n' >"$1/resolv.conf"
  mount --bind "$1/hosts" /etc/hosts
  mount --bind "$1/resolv.conf" /etc/resolv.conf
}
