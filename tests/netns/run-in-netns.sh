#!/bin/sh
# Runs a test inside a private network namespace made for it alone, so a
# network test never reaches the machine's real adapters. Inside it, loopback
# is up and one veth pair links two test hosts:
#   dsptest0 192.0.2.1/24  (the application's side)
#   dsptest1 192.0.2.2/24  (the processor stand-in's side)
#   192.0.2.254 no host: its route refuses every packet at once (the
#               tests' unreachable processor)
# Only these addresses and the loopback range exist in the namespace.
# Needs root (or user namespaces); CI runs as root.
set -e
if [ -z "$DSP_IN_NETNS" ]; then
  DSP_IN_NETNS=1 exec unshare -n -- "$0" "$@"
fi
ip link set lo up
ip link add dsptest0 type veth peer name dsptest1
ip addr add 192.0.2.1/24 broadcast 192.0.2.255 dev dsptest0
ip addr add 192.0.2.2/24 broadcast 192.0.2.255 dev dsptest1
ip link set dsptest0 up
ip link set dsptest1 up
ip route add unreachable 192.0.2.254/32
exec "$@"
