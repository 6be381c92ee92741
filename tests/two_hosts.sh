#!/usr/bin/env bash
# Two hosts on one machine: two network namespaces joined by a veth pair,
# addresses of their own and no default route, one scripted game program in
# each. The joiner finds the creator by the LAN search and by its typed
# address; they play two whole games on one connection (same winner and
# score on both sides), then the joiner is killed and the creator must show
# the lost connection and start a new game. Needs root and ip netns;
# without them it says so and is skipped (exit 77).
set -uo pipefail
peer="${1:?usage: two_hosts.sh <net_peer>}"
n=$(( $$ % 10000 ))
nsa="slv8-a$n" nsb="slv8-b$n" veth_a="slv8a$n" veth_b="slv8b$n"
net="10.208.$(( n % 250 ))"

if [ "$(id -u)" -ne 0 ] || ! command -v ip >/dev/null || ! ip netns add "$nsa" 2>/dev/null; then
  echo "two-host test skipped: it needs root and ip netns"
  exit 77
fi
work="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
  ip netns del "$nsa" 2>/dev/null
  ip netns del "$nsb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  echo "--- creator"; cat "$work/a.log"
  echo "--- joiner"; cat "$work/b.log"
  exit 1
}

ip netns add "$nsb" || fail "namespace"
ip link add "$veth_a" type veth peer name "$veth_b" || fail "veth"
ip link set "$veth_a" netns "$nsa"
ip link set "$veth_b" netns "$nsb"
ip -n "$nsa" addr add "$net.1/24" brd + dev "$veth_a"
ip -n "$nsb" addr add "$net.2/24" brd + dev "$veth_b"
for ns in "$nsa" "$nsb"; do
  ip -n "$ns" link set lo up
  ip -n "$ns" link set "$([ "$ns" = "$nsa" ] && echo "$veth_a" || echo "$veth_b")" up
done
ip -n "$nsb" route | grep -q default && fail "a default route"

run() {  # namespace, log, arguments...
  local ns="$1" log="$2"
  shift 2
  ip netns exec "$ns" env TMPDIR="$work" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    ASAN_OPTIONS="${ASAN_OPTIONS:-}" "$peer" "$@" >"$log" 2>"$log.err" &
  pids+=($!)
}
run "$nsa" "$work/a.log" create 7
sleep 0.3
run "$nsb" "$work/b.log" join "$net.1" 8
creator_pid=${pids[0]} joiner_pid=${pids[1]}

# Waits until the log holds the line; gives up after the seconds.
await() {
  local log="$1" pattern="$2" seconds="$3"
  for ((i = 0; i < seconds * 10; i++)); do
    grep -q "$pattern" "$log" 2>/dev/null && return 0
    grep -q '^STUCK' "$work/a.log" "$work/b.log" 2>/dev/null && fail "a side is stuck"
    sleep 0.1
  done
  fail "no '$pattern' in $(basename "$log") after ${seconds}s"
}
SECONDS=0; await "$work/b.log" "^READY" 150; echo "joiner ready after ${SECONDS}s" >&2
await "$work/a.log" '^READY' 30
kill -9 "$joiner_pid"
wait "$joiner_pid" 2>/dev/null
SECONDS=0; await "$work/a.log" "^NEWGAME" 60; echo "creator new game ${SECONDS}s after the kill" >&2
wait "$creator_pid" || fail "the creator ended badly"

grep -q '^FOUND lan sessions=1 .* host='"$net"'.1 port=47700' "$work/b.log" || fail "the LAN search"
grep -q '^FOUND typed sessions=1 .* port=47700' "$work/b.log" || fail "the typed address"
for g in 1 2; do
  a="$(grep "^GAME $g " "$work/a.log")" b="$(grep "^GAME $g " "$work/b.log")"
  [ -n "$a" ] && [ -n "$b" ] || fail "game $g did not end on both sides"
  winner_a="${a#*winner=}" winner_a="${winner_a% score=*}"
  winner_b="${b#*winner=}" winner_b="${winner_b% score=*}"
  [ "$winner_a" = "$winner_b" ] || fail "game $g: winners differ"
  score_a="${a##*score=}" score_b="${b##*score=}"
  [ "$score_a" = "${score_b#*:}:${score_b%:*}" ] || fail "game $g: scores differ"
done
grep -q '^GAME 2 .* score=\(2:0\|1:1\|0:2\)$' "$work/a.log" || fail "the second game did not count"
grep -q '^LOST overlay=Связь утеряна\.\.\. shown=1 battle=0 turn=0 line2=Игра прервана\. Начните новую игру\. shot=0$' \
  "$work/a.log" || fail "the lost connection"
grep -q '^NEWGAME overlay=Ожидание Игрока N2\.\.\. battle=0' "$work/a.log" || fail "the new game"
cat "$work/a.log"
echo "two hosts: passed"
