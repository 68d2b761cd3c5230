#!/usr/bin/env bash
# The loopback demo: a game server with its Auto-Addon server, the central
# server, and a sample game folder made on the spot. With a display it opens
# the Garrison window on them; without one (or with --cli) it shows what
# garrison-cli makes of them. Everything it writes goes to a temporary
# working directory.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
bin=$repo/build
cli=$bin/src/cli/garrison-cli
window=yes
[ "${1:-}" = --cli ] && window=no
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || [ ! -x "$bin/src/gui/garrison" ]; then
  window=no
fi
# The peers live as long as the window; the tour needs a minute.
seconds=60
[ "$window" = yes ] && seconds=86400
work=$(mktemp -d)
# nginx's workers never run as root: as root they are nobody, who must be able to read the zips.
chmod 755 "$work"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"

# What the Auto-Addon server offers: three packages, zipped here. One is needed,
# one optional, and one whose auto-addon.txt puts its add-on into a mod folder.
mkdir -p packs/tanks packs/maps packs/ww2 zips
echo "a tank add-on" > packs/tanks/demo_tanks.pbo
echo "an island" > packs/maps/demo_island.pbo
echo "ww2 planes" > packs/ww2/ww2_planes.pbo
cat > packs/ww2/auto-addon.txt <<'TXT'
AUTOADDON_START
PACKAGE "WW2 planes"
INSTALL "*.pbo" "@WW2_MP_V3\addons\"
AUTOADDON_END
TXT
(cd packs/tanks && zip -q "$work/zips/tanks.zip" demo_tanks.pbo)
(cd packs/maps && zip -q "$work/zips/maps.zip" demo_island.pbo)
(cd packs/ww2 && zip -q "$work/zips/ww2.zip" ww2_planes.pbo auto-addon.txt)
# nginx serves the zips and the news banner.
cp "$repo/resources/demo/banner.gif" zips/
web="127.0.0.1:$((20000 + RANDOM % 20000))"
"$repo/tools/nginx/serve-folder.sh" zips "$web" nginx > /dev/null 2>&1 &
pids+=($!)
cat > aaserver.ini <<INI
[server]
game = 127.0.0.1:2302
password = demo
bind = 127.0.0.1
zips = $work/zips
base_url = http://$web/
name = Garrison demo server
info = Coop every evening
admin = admin@example.org

[package tanks.zip]
priority = 7
comment = Needed for the demo mission

[package maps.zip]
priority = 2

[package ww2.zip]
priority = 7
INI
"$bin/tools/garrison-gameserver" --bind 127.0.0.1 --port 2302 --name "Garrison demo server" --mission "CTF Eden" \
  --mod "RES;@WW2_MP_V3" --player "Alice:12:3" --player "Bob:7:5" --join "3:Carl:0:0" --leave "3:Alice" \
  --state 0:13 --state 3:14 --fragment-size 120 --order shuffle --seconds "$seconds" > /dev/null &
pids+=($!)
"$bin/src/aaserver/garrison-aaserver" --config aaserver.ini > aaserver.log &
pids+=($!)
"$bin/src/central/garrison-central" --bind 127.0.0.1 --picture-url "http://$web/banner.gif" \
  --news-text "Welcome to the Garrison demo" --link http://127.0.0.1/garrison.html \
  --poll 127.0.0.1:2302 > /dev/null &
pids+=($!)
# The Internet page of the browser and `garrison-cli master`: a master listing the demo server
# and eight more with a few players each.
"$bin/tools/garrison-gameserver" --bind 127.0.0.1 --port 2402 --count 8 --name "Loopback server" \
  --seconds "$seconds" > /dev/null &
pids+=($!)
python3 "$repo/tools/master/master_peer.py" --bind 127.0.0.1 --port 28900 --server 127.0.0.1:2303:opflashr \
  --range 127.0.0.1:2403:8 > /dev/null &
pids+=($!)

mkdir -p game/AddOns game/Res/AddOns game/@WW2_MP_V3/addons game/Missions
echo "demo" > game/FlashpointResistance.exe
for name in 6g30 abox apac; do echo "$name" > game/AddOns/$name.pbo; done
echo "an add-on" > game/AddOns/demo_pack_1.pbo
echo "switched off" > game/Res/AddOns/demo_pack_2.pbx
echo "ww2" > game/@WW2_MP_V3/addons/ww2_tanks.pbo
echo "mission" > game/Missions/my_mission.pbo
# The peers say "listening" when they are ready; a short wait covers the start.
for _ in $(seq 50); do
  "$cli" query 127.0.0.1 --seconds 0.2 > /dev/null 2>&1 && break
done

if [ "$window" = yes ]; then
  "$cli" discover --game-folder game > /dev/null
  "$cli" scan > /dev/null
  "$cli" servers --add --address 127.0.0.1:2302 --password demo --name "Garrison demo server" > /dev/null
  # News and the server browser come from the demo's central server.
  echo "central_host = 127.0.0.1" >> garrison-linux.conf
  echo "master_hosts = 127.0.0.1" >> garrison-linux.conf
  echo "Garrison is open on the loopback demo (working folder $work); close its window to end the demo."
  "$bin/src/gui/garrison"
  exit 0
fi
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "(No display: here is the command-line tour. On a desktop, ./run.sh opens the Garrison window;"
  echo " ./run.sh --cli always shows this tour.)"
  echo
fi

show() {
  echo "\$ garrison-cli $*"
  "$cli" "$@"
  echo
}
show --version
show query 127.0.0.1 --password demo
echo "(three seconds later: Alice has left, Carl has joined, the briefing is over)"
sleep 3
show query 127.0.0.1:2302 --password demo --json
show news 127.0.0.1
show browse 127.0.0.1 --seconds 1
show master 127.0.0.1
show lang DSTR_MAIN_TITLE DSTR_MANAGER_PK_POP_SHOW
show discover --game-folder game
show scan
show files --package "<Unknown addons>"
show offered 127.0.0.1 --password demo
show download 127.0.0.1 --password demo
show packages
"$cli" servers --add --address 127.0.0.1:2302 --password demo --name "Garrison demo server" > /dev/null
show launch --dry-run --keep-my-mods
