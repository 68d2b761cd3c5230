#!/usr/bin/env bash
# garrison-cli master against the loopback master peer and a fleet of loopback
# game servers; the list and the players checked against qstat as well.
set -u
cli=$1
tools=$2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
peer="$source_dir/tools/master/master_peer.py"
address="127.$(( $$ % 250 + 1 )).$(( ($$ / 250) % 250 + 1 )).9"
. "$(dirname "$0")/checks.sh"
enter_work_folder
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$work"' EXIT

# Each server of the fleet answers on game port P and query port P + 1; server i has i % 6 players.
"$tools/garrison-gameserver" --bind "$address" --port 20000 --count 60 --seconds 120 > fleet.log &
pids+=($!)
wait_listening fleet.log
master() { # port, options...
  local port=$1
  shift
  python3 "$peer" --bind "$address" --port "$port" --log "master-$port.log" "$@" > "peer-$port.log" &
  pids+=($!)
  wait_listening "peer-$port.log"
}

# The compact list, with the answer to the challenge that the peer checks on its own.
master 28900 --key Zm4x2P --range "$address:20001:60" --server "$address:9"
echo "master_key = Zm4x2P" > garrison-linux.conf
json=$("$cli" master "$address" --json)
status_is "master on its default port" $? 0
contains "the peer took the answer" "$(cat master-28900.log)" "validate ok opflashr"
summary=$(python3 -c '
import json, sys
rows = json.load(sys.stdin)
answered = [r for r in rows if r["answered"]]
print(len(rows), len(answered), sum(r["players"] for r in answered))
print(rows[0]["address"], rows[0]["players"], rows[0]["max_players"], rows[0]["name"], rows[0]["map"], rows[0]["version"])
print(rows[-1]["address"], rows[-1]["answered"])
print(all(r["players"] == len(r["player_names"]) for r in answered))
print([r["players"] for r in answered] == sorted((r["players"] for r in answered), reverse=True))' <<< "$json")
# 60 servers with 0..5 players in turn: ten of each, 150 in all; the one on port 9 never answers.
same "listed, answered, players" "$(sed -n 1p <<< "$summary")" "61 60 150"
same "the fullest first, at its game port" "$(sed -n 2p <<< "$summary")" \
  "$address:20010 5 32 Garrison loopback server 5 eden 1.99"
same "the silent server last, at its game port" "$(sed -n 3p <<< "$summary")" "$address:8 False"
same "player names as counted" "$(sed -n 4p <<< "$summary")" "True"
same "sorted by players" "$(sed -n 5p <<< "$summary")" "True"
text=$("$cli" master "$address:28900" --no-query)
master 28907 --form plain --range "$address:20001:60"
same "a plain list where a compact one was asked for" "$("$cli" master "$address:28907" --no-query)" "$(tail -n 60 <<< "$text")"
same "addresses only" "$(wc -l <<< "$text")" "61"
contains "an address at its game port" "$text" "$address:20000"

# A wrong key is refused by the master, and the player is told so.
echo "master_key = wrong1" > garrison-linux.conf
said=$("$cli" master "$address" 2>&1)
status_is "refused" $? 1
contains "the master's reason" "$said" "the master refused: validate failed"
contains "the peer refused it" "$(cat master-28900.log)" "validate refused"
rm garrison-linux.conf

# Masters that misbehave: each ends with a clear reason and exit 1.
master 28901 --behaviour garbage --range "$address:20001:5"
master 28902 --behaviour close-early
master 28903 --behaviour half --range "$address:20001:60"
master 28904 --behaviour silent
for case in "28901|not whole servers" "28902|closed the connection without a list" "28903|ended early" \
  "28904|timed out" "28999|cannot connect"; do
  said=$("$cli" master "$address:${case%%|*}" --seconds 1 2>&1)
  status_is "master ${case%%|*}" $? 1
  contains "master ${case%%|*}" "$said" "${case#*|}"
done
for bad in "--game quake $address" "$address:0" "$address:70000" ":28900" "$address --rate 0"; do
  # shellcheck disable=SC2086
  "$cli" master $bad > /dev/null 2>&1
  status_is "bad arguments: $bad" $? 2
done

# The plain form (\ip\a.b.c.d:port), as qstat asks for it, and the same servers and players as qstat finds.
master 28905 --accept-any --range "$address:20001:60"
qstat_rows=$(quakestat -gsm,opflashr "$address:28905" -json -timeout 3 | python3 -c '
import json, sys
rows = [r for r in json.load(sys.stdin) if r["protocol"] == "gps" and r["status"] == "online"]
print("\n".join(sorted("%s %d %s" % (r["address"], r["numplayers"], r["name"]) for r in rows)))')
ours=$("$cli" master "$address:28905" --json | python3 -c '
import json, sys
rows = [r for r in json.load(sys.stdin) if r["answered"]]
print("\n".join(sorted("%s:%d %d %s" % (r["address"].split(":")[0], r["query_port"], r["players"], r["name"]) for r in rows)))')
same "60 servers from qstat" "$(wc -l <<< "$qstat_rows")" "60"
same "the same servers and players as qstat" "$ours" "$qstat_rows"

# 5,000 listed, of which 4,000 answer: every row comes back, quickly.
"$tools/garrison-gameserver" --bind "$address" --port 21000 --count 4000 --seconds 120 > big.log &
pids+=($!)
wait_listening big.log
master 28906 --accept-any --range "$address:21001:5000"
start=$SECONDS
summary=$("$cli" master "$address:28906" --json --rate 20000 | python3 -c '
import json, sys
rows = json.load(sys.stdin)
print(len(rows), sum(r["answered"] for r in rows))')
same "5,000 listed, 4,000 answered" "$summary" "5000 4000"
holds "within 30 seconds ($((SECONDS - start)) s)" test $((SECONDS - start)) -le 30

finish
