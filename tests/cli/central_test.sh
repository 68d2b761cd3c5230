#!/usr/bin/env bash
# garrison-cli news and browse against the loopback central server.
set -u
cli=$1
central=$3
address="127.$(( $$ % 250 + 1 )).$(( ($$ / 250) % 250 + 1 )).9"
. "$(dirname "$0")/checks.sh"
enter_work_folder

"$central" --bind "$address" --picture-url http://127.0.0.1/banner.gif --news-text 'Garrison 1.23' \
  --link http://127.0.0.1/garrison.OZP --entry 10.0.0.1:2302:12:1:Coop --entry 10.0.0.2:2402:0:0:CTI \
  --entry 10.0.0.1:2302:12:1:Coop --per-datagram 2 > central.log &
pid=$!
trap 'kill $pid 2>/dev/null; rm -rf "$work"' EXIT
wait_listening central.log

json=$("$cli" news "$address" --json)
status_is "news" $? 0
contains "picture" "$json" '"picture_url": "http://127.0.0.1/banner.gif"'
contains "text" "$json" '"news_text": "Garrison 1.23"'
contains "upgrade" "$json" '"upgrade_available": true'

list=$("$cli" browse "$address" --seconds 1)
status_is "browse" $? 0
same "entries once each" "$list" "10.0.0.1:2302  12 players  Flashpoint Resistance  Coop
10.0.0.2:2402  0 players  Operation Flashpoint  CTI"

"$cli" news "$address:2302" --seconds 0.5 2> err.txt
status_is "nothing on another port" $? 1
contains "silence message" "$(cat err.txt)" 'no news'

finish
