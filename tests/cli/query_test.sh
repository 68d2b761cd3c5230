#!/usr/bin/env bash
# garrison-cli query against the loopback game server and its Auto-Addon
# server, as a user runs them.
set -u
cli=$1
tools=$2
address="127.$(( $$ % 250 + 1 )).$(( ($$ / 250) % 250 + 1 )).7"
. "$(dirname "$0")/checks.sh"
enter_work_folder

for i in $(seq 1 200); do echo "pack$i 5 http://127.0.0.1/p$i.zip"; done > list.txt
"$tools/garrison-autoaddon" --bind "$address" --port 2322 --password pw --list list.txt --chunk-data 400 \
  --seconds 20 > addon.log &
addon=$!
"$tools/garrison-gameserver" --bind "$address" --port 2302 --player $'Zo\xeb:3:1' --mod 'RES;@WW2' --name 'Caf'$'\xe9' \
  --fragment-size 80 --order shuffle --seconds 20 > game.log &
pid=$!
trap 'kill $pid $addon 2>/dev/null; rm -rf "$work"' EXIT
wait_listening addon.log
wait_listening game.log

json=$("$cli" query "$address" --password pw --json)
status_is "query without a port" $? 0
golden "every field, the list received" "$json" query.json
holds "list cached" ls ./*.tmp

# The server's texts in the code page the player chose: 0xE9 is "й" in Windows-1251.
echo "code_page = Windows-1251" > garrison-linux.conf
contains "a Cyrillic server's name" "$("$cli" query "$address:2302" --json)" 'Caf'$'\xd0\xb9'
rm garrison-linux.conf

text=$("$cli" query "$address:2302" --password wrong)
status_is "query with a port" $? 0
golden "every field as text, the password refused" "$text" query_refused.txt

"$cli" query "$address:notaport" 2> err.txt
status_is "bad port" $? 2
contains "bad port message" "$(cat err.txt)" 'bad address'
"$cli" query "no-such-host.invalid" 2> err.txt
status_is "unresolvable host" $? 2
"$cli" query "$address:2400" --seconds 1 2> err.txt
status_is "silent port" $? 1
contains "silence message" "$(cat err.txt)" 'no answer'

finish
