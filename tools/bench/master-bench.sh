#!/usr/bin/env bash
# Lists N loopback game servers from the master peer and asks each of them,
# with garrison-cli master and with qstat (quakestat -gsm,opflashr) in the
# same run; prints the time of each, the ratio and whether both found the
# same servers and players.
# usage: tools/bench/master-bench.sh BUILD_DIR [N ...]   (default N: 200 1000)
set -euo pipefail
build=$(cd "$1" && pwd)
shift
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
address=127.0.0.77
port=28960
for n in "${@:-200 1000}"; do
  for count in $n; do
    "$build/tools/garrison-gameserver" --bind "$address" --port 22000 --count "$count" --seconds 300 > fleet.log &
    fleet=$!
    python3 "$source_dir/tools/master/master_peer.py" --bind "$address" --port "$port" --accept-any \
      --range "$address:22001:$count" > master.log &
    master=$!
    pids=("$fleet" "$master")
    until grep -q listening fleet.log master.log 2>/dev/null && [ "$(grep -l listening fleet.log master.log | wc -l)" = 2 ]; do
      sleep 0.05
    done
    start=$EPOCHREALTIME
    "$build/src/cli/garrison-cli" master "$address:$port" --json --rate 20000 > ours.json
    ours=$(awk "BEGIN { print $EPOCHREALTIME - $start }")
    start=$EPOCHREALTIME
    quakestat -gsm,opflashr "$address:$port" -json -maxsim 100 > qstat.json
    theirs=$(awk "BEGIN { print $EPOCHREALTIME - $start }")
    same=$(python3 - <<'P'
import json
ours = sorted((r["query_port"], r["players"]) for r in json.load(open("ours.json")) if r["answered"])
theirs = sorted((int(r["address"].split(":")[1]), r["numplayers"]) for r in json.load(open("qstat.json"))
                if r["protocol"] == "gps" and r["status"] == "online")
print("same servers and players" if ours == theirs else f"DIFFERENT: {len(ours)} vs {len(theirs)}")
P
)
    printf 'N=%-5s garrison-cli %6.2f s   quakestat %6.2f s   ratio %5.2fx   %s\n' "$count" "$ours" "$theirs" \
      "$(awk "BEGIN { print $theirs / $ours }")" "$same"
    kill "$fleet" "$master"
    wait "$fleet" "$master" 2>/dev/null || true
    port=$((port + 1))
  done
done
