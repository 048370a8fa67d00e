#!/usr/bin/env bash
# Becomes the program under test once its world is staged, in the namespaces
# `unshare` gave this process (a private mount namespace, a private network
# namespace when asked):
#   isolated_launch.sh RUN_DIRECTORY private|machine PROGRAM [ARGUMENT...]
# RUN_DIRECTORY holds etc/ (files shown in place of the machine's /etc files),
# "staging" and "background" (one command a line, its words separated by
# tabs), "environment" (NUL-separated NAME=value entries for the program), and
# takes setup.log. Says "staged" on descriptor 3 when all is set,
# then waits for a line on descriptor 4 (the test starts its servers in these
# namespaces meanwhile) and execs the program with the standard error it was
# given.
set -euo pipefail
run=$1
network=$2
shift 2
exec 5>&2 6>&1 2>>"$run/setup.log" >&2

# The files live on a memory file system mounted in this namespace alone, so
# nothing is left on the machine's disk. A bind mount needs its target: a
# bare system (a container, a minimal install) may have no /etc/hosts, or a
# resolv.conf that is a dangling link; then /etc gets an overlay instead.
etc=$(mktemp -d /tmp/tarnwick-etc-XXXXXX)
mount -t tmpfs -o mode=0755 tmpfs "$etc"
mkdir "$etc/files" "$etc/work"
cp "$run"/etc/* "$etc/files/"
for file in "$etc"/files/*; do
  if ! mount --bind "$file" "/etc/${file##*/}" 2>/dev/null; then
    mount -t overlay overlay -o "lowerdir=/etc,upperdir=$etc/files,workdir=$etc/work" /etc
    break
  fi
done
umount -l "$etc" # the binds and the overlay keep what they use
rmdir "$etc"

# Namespaces the staging commands name (`ip netns add`) live in this mount
# namespace alone: runs beside this one may use the same names, and nothing
# is left in the machine's /run when the run ends.
mkdir -p /run/netns
mount -t tmpfs -o mode=0755 tmpfs /run/netns
if [ "$network" = private ]; then
  umount -l /sys # sysfs shows the links of the namespace that mounted it
  mount -t sysfs sysfs /sys
  ip link set lo up
fi
# In the machine's own network namespace too: links, and routes that take the
# run's test addresses to them and so keep them off the machine's network.
# The links go when their namespaces do, at the end of the run.
while IFS=$'\t' read -r -a command; do
  "${command[@]}" </dev/null || { echo "staging command failed: ${command[*]}"; exit 125; }
done <"$run/staging"

# Commands that live as long as the run (a link relay, a resolver) say they
# are ready with a first line. Their output stays open: one that writes more
# must not get SIGPIPE for it. The test stops them with the run's process group.
count=0
while IFS=$'\t' read -r -a command; do
  count=$((count + 1))
  mkfifo "$run/ready$count"
  "${command[@]}" </dev/null >"$run/ready$count" 3>&- 4>&- 5>&- 6>&- &
  exec {ready}<"$run/ready$count"
  if ! read -r -t 10 -u "$ready" _; then
    echo "background command not ready: ${command[*]}"
    exit 125
  fi
done <"$run/background"

echo staged >&3
read -r _ <&4
# The program's environment: this one without a display and without proxies,
# so that it runs offscreen and every request goes to the hosts file's
# address, with the run's own entries over it.
for name in $(compgen -e); do
  case ${name,,} in display | wayland_display | *_proxy) unset "$name" ;; esac
done
mapfile -d '' -t environment <"$run/environment"
exec 1>&6 2>&5 3>&- 4>&- 5>&- 6>&-
exec env "${environment[@]}" "$@"
