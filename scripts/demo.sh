#!/usr/bin/env bash
# The loopback demo: a game server on 127.0.0.1 and what garrison-cli makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build
cli=$bin/src/cli/garrison-cli
server=$bin/tools/garrison-gameserver

"$server" --bind 127.0.0.1 --port 2302 --name "Garrison demo server" --mission "CTF Eden" --mod "RES;@WW2_MP_V3" \
  --player "Alice:12:3" --player "Bob:7:5" --join "3:Carl:0:0" --leave "3:Alice" \
  --state 0:13 --state 3:14 --fragment-size 120 --order shuffle --seconds 30 &
server_pid=$!
trap 'kill $server_pid 2>/dev/null || true' EXIT
sleep 0.3

show() {
  echo "\$ garrison-cli $*"
  "$cli" "$@"
  echo
}
show --version
show query 127.0.0.1
echo "(three seconds later: Alice has left, Carl has joined, the briefing is over)"
sleep 3
show query 127.0.0.1:2302 --json
