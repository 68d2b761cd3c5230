#!/usr/bin/env bash
# garrison-cli query against the loopback game server, as a user runs them.
set -u
cli=$1
server=$2
address="127.$(( $$ % 250 + 1 )).$(( ($$ / 250) % 250 + 1 )).7"
. "$(dirname "$0")/checks.sh"
enter_work_folder

"$server" --bind "$address" --port 2302 --player $'Zo\xeb:3:1' --mod 'RES;@WW2' --name 'Caf'$'\xe9' \
  --fragment-size 80 --order shuffle --seconds 20 > /dev/null &
pid=$!
trap 'kill $pid 2>/dev/null; rm -rf "$work"' EXIT
sleep 0.3

json=$("$cli" query "$address" --json)
status_is "query without a port" $? 0
contains "json" "$json" '"port": 2302'
contains "json" "$json" '"implementation": "Sockets"'
contains "json" "$json" '"game_state_text": "Playing"'
contains "json" "$json" '"mod": "RES;@WW2"'
contains "json" "$json" '"description": "Café"'
contains "json" "$json" '"max_players": "32"'
contains "json" "$json" '"name": "Zoë"'

text=$("$cli" query "$address:2302")
status_is "query with a port" $? 0
contains "text" "$text" 'Playing'

"$cli" query "$address:notaport" 2> err.txt
status_is "bad port" $? 2
contains "bad port message" "$(cat err.txt)" 'bad address'
"$cli" query "no-such-host.invalid" 2> err.txt
status_is "unresolvable host" $? 2
"$cli" query "$address:2400" --seconds 1 2> err.txt
status_is "silent port" $? 1
contains "silence message" "$(cat err.txt)" 'no answer'

finish
