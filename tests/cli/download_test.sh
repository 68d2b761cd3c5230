#!/usr/bin/env bash
# garrison-cli download: the whole road from a server's list to installed
# add-ons, with the packages fetched from file:// URLs.
set -u
cli=$1
tools=$2
address="127.$(( $$ % 250 + 1 )).$(( ($$ / 250) % 250 + 1 )).13"
. "$(dirname "$0")/checks.sh"
enter_work_folder
export HOME="$work/home" WINEPREFIX="$work/prefix"

mkdir -p game/AddOns src/tanks src/maps zips
echo exe > game/OperationFlashpoint.exe
echo tank > src/tanks/tank.pbo
echo map > src/maps/map.pbo
(cd src/tanks && zip -q "$work/zips/tanks.zip" tank.pbo)
(cd src/maps && zip -q "$work/zips/maps.zip" map.pbo)
"$cli" discover --game-folder game > /dev/null
"$cli" scan > /dev/null

cat > offered.json <<JSON
{"server": ["Evening coop"],
 "packages": [
  {"name": "Tanks", "url": "file://$work/zips/tanks.zip", "zip_size": $(stat -c %s zips/tanks.zip), "priority": 7,
   "files": [{"path": "addons\\\\tank.pbo", "from": "src/tanks/tank.pbo"}]},
  {"name": "Maps", "url": "file://$work/zips/maps.zip", "zip_size": $(stat -c %s zips/maps.zip), "priority": 1,
   "files": [{"path": "addons\\\\map.pbo", "from": "src/maps/map.pbo"}]},
  {"name": "Broken", "url": "file://$work/zips/missing.zip", "zip_size": 100, "priority": 9,
   "files": [{"path": "addons\\\\broken.pbo", "size": 3, "crc": "12345678"}]}]}
JSON
"$tools/garrison-gameserver" --bind "$address" --port 2302 --seconds 30 > game.log &
game_pid=$!
"$tools/garrison-autoaddon" --bind "$address" --port 2322 --password pw --offered offered.json --seconds 30 \
  > addon.log &
addon_pid=$!
trap 'kill $game_pid $addon_pid 2>/dev/null; rm -rf "$work"' EXIT
wait_listening game.log
wait_listening addon.log

out=$("$cli" download "$address" --password pw --allow-file-urls --install-folder "<bogus>" 2> err.txt)
status_is "invalid install folder" $? 2
contains "says so" "$(cat err.txt)" 'Invalid installation folder'

out=$("$cli" download "$address" --password pw 2> err.txt)
status_is "file:// refused" $? 1
golden "file:// needs the option" "$out" download_refused.txt
out=$("$cli" download "$address" --password pw --allow-file-urls 2> err.txt)
status_is "one package failed" $? 1
golden "installed, failed with the reason, skipped" "$out" download.txt
same "on disk" "$(cat game/AddOns/tank.pbo)" "tank"
holds "temporary removed" test ! -e tanks.tmp
contains "in the database, named after its archive" "$("$cli" packages)" 'tanks'

out=$("$cli" download "$address" --password pw --allow-file-urls --flag maps --install-folder "@mymod" 2> err.txt)
status_is "maps asked for, broken still failing" $? 1
golden "maps asked for" "$out" download_flagged.txt
same "into the mod folder" "$(cat game/@mymod/AddOns/map.pbo)" "map"
# What the download says it left is what the offered list shows now, as the Manager would.
shown=$("$cli" offered "$address" --password pw --json | python3 -c 'import json, sys
for p in json.load(sys.stdin)["packages"]: print("now        %s: %s" % (p["name"], p["status_text"]))')
same "the statuses the download left" "$(grep '^now' <<< "$out")" "$shown"

finish
