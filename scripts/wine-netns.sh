#!/usr/bin/env bash
# Runs one Windows program under Wine in a network namespace of its own, for tests that need real network
# adapters. The namespace holds the given adapters (veth pairs with chosen MACs and addresses; no traffic
# leaves the namespace), its own loopback, Wine prefix, wineserver and Xvfb display, and its own stand-in
# service, whose control-port file ZORVANE_STANDIN_INFO names. Needs root (CI runs as root) and iproute2.
#
# Usage: scripts/wine-netns.sh [--adapter MAC[,ADDRESS/PREFIX...]]... [--] PROGRAM [ARGUMENTS...]
#   Adapters are made in pairs, the first given with the second and so on (an odd last one gets a peer of
#   its own without an address); the system lists them in the order given, each peer an adapter too.
#   The desktop is held as scripts/wine-env.sh does when ZORVANE_TEST_BINARY names the build folder.
#   The exit code is the program's. A machine that cannot make the namespace: exit 77, CTest's skip code
#   for these tests, with "wine-netns: skipped: <reason>" on stderr.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
skip_code=77

skip() {
  echo "wine-netns: skipped: $*" >&2
  exit $skip_code
}

adapters=()
while [ $# -gt 0 ]; do
  case $1 in
    --adapter) adapters+=("$2"); shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
if [ $# -eq 0 ]; then
  echo "usage: $0 [--adapter MAC[,ADDRESS/PREFIX...]]... [--] PROGRAM [ARGUMENTS...]" >&2
  exit 2
fi

if [ -z "${ZORVANE_NETNS_INSIDE:-}" ]; then
  command -v unshare >/dev/null || skip "unshare (util-linux) is missing"
  command -v ip >/dev/null || skip "ip (iproute2) is missing"
  # A process namespace too: when the runner is killed (a test's time-out), everything it started ends with it,
  # the persistent wineserver included.
  namespaces=(-n -p -f -m --mount-proc --kill-child)
  why=$(unshare "${namespaces[@]}" true 2>&1) || skip "cannot make a network namespace (it needs root): $why"
  options=()
  for spec in "${adapters[@]}"; do options+=(--adapter "$spec"); done
  ZORVANE_NETNS_INSIDE=1 exec unshare "${namespaces[@]}" bash "$0" "${options[@]}" -- "$@"
fi

# Inside the namespace. Interface indexes fix the order in which the system lists the adapters.
configure() {  # interface, MAC[,ADDRESS/PREFIX...]
  local name=$1 spec=$2 address
  local -a addresses
  IFS=, read -ra addresses <<<"$spec"
  ip link set "$name" address "${addresses[0]}" || return 1
  for address in "${addresses[@]:1}"; do
    ip addr add "$address" dev "$name" || return 1
  done
}

make_adapters() {
  ip link set lo up || return 1
  local i
  for ((i = 0; i < ${#adapters[@]}; i += 2)); do
    ip link add "zv$i" index $((10 + i)) type veth peer name "zv$((i + 1))" index $((11 + i)) || return 1
    configure "zv$i" "${adapters[i]}" || return 1
    if [ $((i + 1)) -lt ${#adapters[@]} ]; then
      configure "zv$((i + 1))" "${adapters[i + 1]}" || return 1
    fi
    ip link set "zv$i" up && ip link set "zv$((i + 1))" up || return 1
  done
}

why=$(make_adapters 2>&1) || skip "cannot make the adapters: $why"

. "$root/scripts/wine-env.sh"
work=$(mktemp -d /tmp/zorvane-netns.XXXXXX)
unset ZORVANE_KEEP_DISPLAY  # the namespace's own display, so that its windows meet no others
wine_env_start
export ZORVANE_STANDIN_INFO="$work/service.txt"
trap 'python3 "$root/tests/support/standin_service.py" stop --info "$ZORVANE_STANDIN_INFO" >/dev/null 2>&1
      wine_env_stop; rm -rf "$work"' EXIT
python3 "$root/tests/support/standin_service.py" start --info "$ZORVANE_STANDIN_INFO" >/dev/null || exit 1
if [ -n "${ZORVANE_TEST_BINARY:-}" ]; then
  wine_env_hold_desktop "$ZORVANE_TEST_BINARY" || exit 1
fi
"$root/scripts/wine-exec" "$@"
