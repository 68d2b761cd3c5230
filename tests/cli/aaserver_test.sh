#!/usr/bin/env bash
# garrison-aaserver end to end: zips made with Info-ZIP, served by nginx,
# offered by the server, downloaded and installed by garrison-cli.
set -u
cli=$1
tools=$2
aaserver=$3
serve_folder=$4
address="127.$(( $$ % 250 + 1 )).$(( ($$ / 250) % 250 + 1 )).19"
. "$(dirname "$0")/checks.sh"
enter_work_folder
chmod 755 "$work" # nginx's workers read the zips as nobody when the test runs as root
export HOME="$work/home" WINEPREFIX="$work/prefix"

mkdir -p game/AddOns src/tanks src/island src/maps zips
echo exe > game/FlashpointResistance.exe
echo "a tank" > src/tanks/tank.pbo
echo "an island" > src/island/island.pbo
echo "notes for the admin" > src/island/notes.txt
cat > src/island/auto-addon.txt <<'TXT'
AUTOADDON_START
PACKAGE "Island"
INSTALL "*.pbo" "@island\AddOns\"
IGNORE "*"
AUTOADDON_END
TXT
(cd src/tanks && zip -q "$work/zips/tanks.zip" tank.pbo)
(cd src/island && zip -q "$work/zips/island.zip" island.pbo notes.txt auto-addon.txt)
echo "not a zip" > zips/broken.zip
cat > aaserver.ini <<INI
# the evening server
[server]
game = $address:2302
password = pw
bind = $address
zips = $work/zips
base_url = http://$address:8080/
name = Evening coop

[package tanks.zip]
priority = 7
comment = Needed tonight

[package island.zip]
priority = 7
INI

out=$("$aaserver" --config aaserver.ini --check)
status_is "--check with a broken zip" $? 1
contains "--check: the island goes to its mod folder" "$out" '@island\AddOns\island.pbo'
contains "--check: the problem" "$out" 'problem: broken.zip: '
rm zips/broken.zip
out=$("$aaserver" --config aaserver.ini --check)
status_is "--check" $? 0

"$serve_folder" zips "$address:8080" nginx > nginx.out 2>&1 &
nginx_pid=$!
"$tools/garrison-gameserver" --bind "$address" --port 2302 --seconds 60 > game.log &
game_pid=$!
"$aaserver" --config aaserver.ini > aaserver.log 2>&1 &
aaserver_pid=$!
trap 'kill $nginx_pid $game_pid $aaserver_pid 2>/dev/null; wait; rm -rf "$work"' EXIT
wait_listening game.log
wait_listening aaserver.log
"$cli" discover --game-folder game > /dev/null
"$cli" scan > /dev/null

out=$("$cli" offered "$address" --password pw --json)
status_is "offered" $? 0
same "nothing installed yet" "$(grep -c '"status": 13' <<< "$out")" 2
contains "the server's name" "$out" '"name": "Evening coop"'
contains "the request is logged" "$(cat aaserver.log)" 'list request'

out=$("$cli" download "$address" --password pw 2> err.txt)
status_is "download from nginx" $? 0
same "the tank installed" "$(cat game/AddOns/tank.pbo)" "a tank"
same "the island in its mod folder" "$(cat game/@island/AddOns/island.pbo)" "an island"
holds "the ignored notes stay out" test ! -e game/notes.txt
out=$("$cli" offered "$address" --password pw --json)
same "everything installed" "$(grep -c '"status": 10' <<< "$out")" 2

# Every installed file has the CRC the server announced.
crc_of() { gzip -c "$1" | tail -c 8 | head -c 4 | od -An -tx4 | tr -d ' \n'; }
while read -r path crc; do
  file="game/$(tr '\\' '/' <<< "$path")"
  [ "$path" = "addons\\tank.pbo" ] && file=game/AddOns/tank.pbo
  same "CRC of $path" "$(crc_of "$file")" "$crc"
done < <(sed -n 's/^ *"path": "\(.*\)",$/\1/p; s/^ *"crc": "\(.*\)",$/\1/p' <<< "$out" | sed 's/\\\\/\\/g' | paste - -)

# A zip copied in while the server runs: a new list, not the cached one.
(cd src/maps && echo "a map" > map.pbo && zip -q "$work/zips/maps.zip" map.pbo)
for _ in $(seq 100); do grep -q "serving 3 packages" aaserver.log && break; sleep 0.1; done
contains "the server took up the new zip" "$(cat aaserver.log)" 'serving 3 packages'
out=$("$cli" offered "$address" --password pw --json)
contains "the client gets the new list" "$out" '"name": "maps"'
same "two lists served under two ids" "$(grep -o 'as list [0-9a-f]*' aaserver.log | sort -u | wc -l)" 2

# SIGHUP reads the folder again and the server stays; a hostile name forges no log line.
(cd src/maps && printf 'x' > "$(printf 'evil\n2026-01-01 00:00:00 serving 0 packages.pbo')" &&
  zip -q "$work/zips/$(printf 'evil\nforged.zip')" ./*.pbo)
kill -HUP $aaserver_pid
for _ in $(seq 100); do grep -q "serving 4 packages" aaserver.log && break; sleep 0.1; done
holds "SIGHUP leaves the server running" kill -0 $aaserver_pid
contains "SIGHUP rescans" "$(cat aaserver.log)" 'SIGHUP: reading the zips folder again'
contains "the new list after SIGHUP" "$(cat aaserver.log)" 'serving 4 packages'
same "no forged log line" "$(grep -c '^2026-01-01 00:00:00' aaserver.log)" 0
out=$("$aaserver" --config aaserver.ini --check)
same "no forged --check line" "$(grep -c '^2026-01-01' <<< "$out")" 0
contains "the name escaped in --check" "$out" 'evil\x0aforged.zip'

finish
