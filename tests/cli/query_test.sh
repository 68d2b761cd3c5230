#!/usr/bin/env bash
# garrison-cli query against the loopback game server, as a user runs them.
set -u
cli=$1
server=$2
address="127.$(( $$ % 250 + 1 )).$(( ($$ / 250) % 250 + 1 )).7"
failures=0
checks=0
check() { # description, command status, expected status
  checks=$((checks + 1))
  if [ "$2" -ne "$3" ]; then echo "FAIL: $1 (exit $2, expected $3)"; failures=$((failures + 1)); fi
}
contains() { # description, text, wanted
  checks=$((checks + 1))
  if ! grep -qF -- "$3" <<< "$2"; then echo "FAIL: $1: no '$3' in:"; echo "$2"; failures=$((failures + 1)); fi
}

"$server" --bind "$address" --port 2302 --player $'Zo\xeb:3:1' --mod 'RES;@WW2' --name 'Caf'$'\xe9' \
  --fragment-size 80 --order shuffle --seconds 20 > /dev/null &
pid=$!
trap 'kill $pid 2>/dev/null' EXIT
sleep 0.3

json=$("$cli" query "$address" --json)
check "query without a port" $? 0
contains "json" "$json" '"port": 2302'
contains "json" "$json" '"implementation": "Sockets"'
contains "json" "$json" '"game_state_text": "Playing"'
contains "json" "$json" '"mod": "RES;@WW2"'
contains "json" "$json" '"description": "Café"'
contains "json" "$json" '"max_players": "32"'
contains "json" "$json" '"name": "Zoë"'

text=$("$cli" query "$address:2302")
check "query with a port" $? 0
contains "text" "$text" 'Playing'

"$cli" query "$address:notaport" 2> /tmp/garrison-query-err.$$
check "bad port" $? 2
contains "bad port message" "$(cat /tmp/garrison-query-err.$$)" 'bad address'
"$cli" query "no-such-host.invalid" 2> /tmp/garrison-query-err.$$
check "unresolvable host" $? 2
"$cli" query "$address:2400" --seconds 1 2> /tmp/garrison-query-err.$$
check "silent port" $? 1
contains "silence message" "$(cat /tmp/garrison-query-err.$$)" 'no answer'
rm -f /tmp/garrison-query-err.$$

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
