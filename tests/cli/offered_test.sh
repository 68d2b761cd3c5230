#!/usr/bin/env bash
# garrison-cli offered, activate and deactivate against the loopback peers
# and a game folder made here.
set -u
cli=$1
tools=$2
address="127.$(( $$ % 250 + 1 )).$(( ($$ / 250) % 250 + 1 )).11"
. "$(dirname "$0")/checks.sh"
enter_work_folder
export HOME="$work/home" WINEPREFIX="$work/prefix"

mkdir -p game/AddOns game/@ww2/AddOns game/@big/AddOns spare
echo exe > game/OperationFlashpoint.exe
echo have > game/AddOns/have.pbo
echo tank > game/@ww2/AddOns/tank.pbo
echo tank > game/@big/AddOns/tank.pbo
for i in 1 2 3; do echo "big $i" > "game/@big/AddOns/big$i.pbo"; done
echo new > spare/new.pbo
"$cli" discover --game-folder game > /dev/null
"$cli" scan > /dev/null

cat > offered.json <<JSON
{"server": ["Evening coop", "Info", "Admin", "Com"], "deactivate": "AddOns/have.pbo:5:$(printf '%08x' 0):",
 "packages": [
  {"name": "Have", "url": "http://127.0.0.1/have.zip", "zip_size": 1048576, "priority": 9,
   "files": [{"path": "addons\\\\have.pbo", "from": "game/AddOns/have.pbo"}]},
  {"name": "Tanks", "url": "http://127.0.0.1/tanks.zip", "zip_size": 524288, "priority": 7,
   "files": [{"path": "@ww2\\\\addons\\\\tank.pbo", "from": "game/@ww2/AddOns/tank.pbo"}]},
  {"name": "New", "url": "http://127.0.0.1/new.zip", "zip_size": 524288, "priority": 7,
   "files": [{"path": "addons\\\\new.pbo", "from": "spare/new.pbo"}]},
  {"name": "Extra", "url": "http://127.0.0.1/extra.zip", "zip_size": 1, "priority": 1,
   "files": [{"path": "addons\\\\extra.pbo", "size": 3, "crc": "12345678"}]}]}
JSON
"$tools/garrison-gameserver" --bind "$address" --port 2302 --seconds 30 > game.log &
game_pid=$!
"$tools/garrison-autoaddon" --bind "$address" --port 2322 --password pw --offered offered.json --seconds 30 \
  > addon.log &
addon_pid=$!
trap 'kill $game_pid $addon_pid 2>/dev/null; rm -rf "$work"' EXIT
wait_listening game.log
wait_listening addon.log

out=$("$cli" offered "$address" --password pw --json)
status_is "offered" $? 0
# Each package with its status, flag, folder and files; the plan and the mods.
golden "offered packages" "$out" offered.json
out=$("$cli" offered "$address" --password pw)
status_is "offered as text" $? 0
golden "offered packages as text" "$out" offered.txt

"$cli" offered "$address" --password wrong 2> err.txt
status_is "wrong password" $? 1
contains "says why" "$(cat err.txt)" 'Psw fail'

out=$("$cli" deactivate 'addons\have.pbo')
status_is "deactivate" $? 0
contains "inactive" "$out" 'Inactive'
holds "renamed on disk" test ! -e game/AddOns/have.pbo
out=$("$cli" activate --package '<Unknown addons>')
holds "back under its name" test -e game/AddOns/have.pbo
"$cli" activate 'addons\nothing.pbo' 2> err.txt
status_is "unknown file" $? 1

finish
