#!/usr/bin/env bash
# The real window on a virtual screen under a real window manager (openbox),
# as a player and a screen reader meet it: every control named and every
# value read through AT-SPI, and the window back exactly where it was closed,
# start after start.
set -u
garrison=$1
cli=$2
tools=$3
here="$(cd "$(dirname "$0")" && pwd)"
if [ -z "${GARRISON_DESKTOP:-}" ]; then
  export GARRISON_DESKTOP=1
  exec xvfb-run -a -s "-screen 0 1280x900x24" dbus-run-session -- bash "$0" "$@"
fi
. "$here/../../cli/checks.sh"
enter_work_folder
export HOME="$work/home" WINEPREFIX="$work/prefix" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset QT_QPA_PLATFORM
address="127.$(($$ % 250 + 1)).$((($$ / 250) % 250 + 1)).13"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

/usr/libexec/at-spi-bus-launcher --launch-immediately > /dev/null 2>&1 &
pids+=($!)
openbox > /dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q 'window id' && break
  sleep 0.05
done

mkdir -p game/AddOns
echo exe > game/FLASHPOINTRESISTANCE.EXE
cat > offered.json << JSON
{"server": ["Evening coop", "Coop every evening", "admin@example.org", ""],
 "packages": [{"name": "Tanks", "url": "http://127.0.0.1/tanks.zip", "zip_size": 1000, "priority": 7,
               "files": [{"path": "addons\\\\tanks.pbo", "size": 5, "crc": "12345678"}]}]}
JSON
"$tools/garrison-gameserver" --bind "$address" --port 2302 --seconds 120 > game.log &
pids+=($!)
"$tools/garrison-autoaddon" --bind "$address" --port 2322 --password pw --offered offered.json --seconds 120 \
  > addon.log &
pids+=($!)
"$tools/garrison-gameserver" --bind "$address" --port 2402 --name Busy --player a --player b --seconds 120 \
  > busy.log &
pids+=($!)
python3 "$here/../../../tools/master/master_peer.py" --bind "$address" --port 28900 --server "$address:2403" \
  > master.log &
pids+=($!)
wait_listening game.log
wait_listening addon.log
wait_listening busy.log
wait_listening master.log
echo "master_hosts = $address" > garrison-linux.conf
"$cli" discover --game-folder game > /dev/null
"$cli" scan > /dev/null
"$cli" servers --add --address "$address:2302" --password pw --name Club > /dev/null

window_id() {
  local id i
  for i in $(seq 100); do
    id=$(xdotool search --onlyvisible --name '^Garrison \(with' 2> /dev/null | head -1)
    [ -n "$id" ] && echo "$id" && return 0
    sleep 0.1
  done
  return 1
}
# The client area's place on the screen.
place_of() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} END {print x "," y}'
}
# Closes the window as the session's end does, and waits until it has saved.
close_garrison() {
  kill -TERM "$1"
  wait "$1"
  status_is "garrison ended cleanly" $? 0
}

"$garrison" > garrison.log 2>&1 &
pid=$!
id=$(window_id)
holds "the window appears" test -n "$id"
out=$(/usr/bin/python3 "$here/accessibility.py" main "$address:2302" 2>&1)
status_is "the main window through AT-SPI: $out" $? 0
out=$(/usr/bin/python3 "$here/accessibility.py" manager 2>&1)
status_is "the Manager through AT-SPI: $out" $? 0
out=$(/usr/bin/python3 "$here/accessibility.py" browser 2>&1)
status_is "the server browser through AT-SPI: $out" $? 0

xdotool windowmove "$id" 200 150
for _ in $(seq 50); do
  [ "$(place_of "$id")" = "200,150" ] && break
  sleep 0.1
done
placed=$(place_of "$id")
same "moved by the window manager" "$placed" "200,150"
close_garrison "$pid"
for run in 1 2 3; do
  "$garrison" > garrison.log 2>&1 &
  pid=$!
  id=$(window_id)
  # The window manager frames it a moment after it appears.
  for _ in $(seq 30); do
    [ "$(place_of "$id")" = "$placed" ] && break
    sleep 0.1
  done
  same "start $run: where it was closed" "$(place_of "$id")" "$placed"
  close_garrison "$pid"
done
finish
