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

# A news request by hand: version 1222, session, high word, and the check
# word ((session + high + 1222) * 5) xor 0xAAAA. The right word gets the news
# for that session; a wrong one, silence.
news_request() { # address, check word adjustment
  python3 - "$1" "$2" << 'PY'
import socket, struct, sys
session, high = 0x1234, 7
check = (((session + high + 1222) * 5) ^ 0xAAAA) + int(sys.argv[2])
sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
sock.settimeout(1.0)
sock.sendto(struct.pack('<4H', 1222, session, high, check & 0xFFFF), (sys.argv[1], 48124))
try:
    answer = sock.recv(2048)
    print('answer for %04x: %s' % (struct.unpack('<H', answer[:2])[0], answer[4:].split(b'\0')[1].decode()))
except socket.timeout:
    print('silence')
PY
}
same "the right check word" "$(news_request "$address" 0)" "answer for 1234: Garrison 1.23"
same "a wrong check word" "$(news_request "$address" 1)" "silence"

# The command line and --check refuse what the server would refuse.
"$central" --port 0 > out.txt 2>&1
status_is "--port 0" $? 105
"$central" --per-datagram 2000 > out.txt 2>&1
status_is "--per-datagram 2000" $? 105
printf '[server]\nbind = 999.1.1.1\n[browser]\npoll = 10.0.0.1:99999\n' > bad.ini
"$central" --config bad.ini --check > out.txt 2>&1
status_is "--check of a bad file" $? 2
contains "--check names the bind" "$(cat out.txt)" 'bind = 999.1.1.1: no IPv4 address'
contains "--check names the poll" "$(cat out.txt)" 'poll = 10.0.0.1:99999: "99999" is no port number'
out=$("$central" --entry $'10.0.0.3:2302:1:1:Evil\nforged' --check)
status_is "--check of good flags" $? 0
contains "--check shows the entry as served" "$out" '10.0.0.3:2302  Evilforged'

finish
