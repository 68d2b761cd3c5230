#!/usr/bin/env bash
# Measures what the window costs while nothing changes: a loopback game server
# in a steady state, Garrison watching it, CPU time over 30 seconds.
# Without a display it runs itself under xvfb-run.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a "$0" "$@"
fi
bin=$PWD/build
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"
"$bin/tools/garrison-gameserver" --bind 127.0.0.1 --port 2302 --player "Alice:1:0" --state 0:14 > /dev/null &
pids+=($!)
mkdir -p game/AddOns && echo demo > game/FlashpointResistance.exe
"$bin/src/cli/garrison-cli" discover --game-folder game > /dev/null
"$bin/src/cli/garrison-cli" scan > /dev/null
"$bin/src/cli/garrison-cli" servers --add --address 127.0.0.1:2302 > /dev/null
"$bin/src/gui/garrison" > /dev/null 2>&1 &
pids+=($!)
window=$!
sleep 5 # start-up and the first answers are not idle
ticks() { awk '{print $14 + $15}' "/proc/$window/stat"; }
before=$(ticks)
sleep 30
after=$(ticks)
hz=$(getconf CLK_TCK)
awk -v t=$((after - before)) -v hz="$hz" \
  'BEGIN { printf "garrison used %.2f s of CPU in 30 s: %.2f%% of one core\n", t / hz, t / hz / 30 * 100 }'
