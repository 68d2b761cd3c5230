#!/usr/bin/env bash
# garrison-cli launch: the command line of a local and of a network entry,
# and a real start under Wine of a small Windows program standing in for the game.
set -u
cli=$1
tools=$2
address="127.$(( $$ % 250 + 1 )).$(( ($$ / 250) % 250 + 1 )).13"
standin_source="$(cd "$(dirname "$0")" && pwd)/standin_game.c"
. "$(dirname "$0")/checks.sh"
enter_work_folder
# Wine keeps files of its own in the temporary folder: in ours, removed with it.
mkdir -p "$work/tmp"
export HOME="$work/home" WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" TMPDIR="$work/tmp"
unset DISPLAY WAYLAND_DISPLAY

# A prefix laid out as Wine lays it out: the game on drive C.
game="$WINEPREFIX/drive_c/Games/OFP"
mkdir -p "$game/AddOns" "$game/@a" "$WINEPREFIX/dosdevices" "$HOME"
ln -s ../drive_c "$WINEPREFIX/dosdevices/c:"
ln -s / "$WINEPREFIX/dosdevices/z:"
echo exe > "$game/FLASHPOINTRESISTANCE.EXE"

"$cli" servers --add --local --name "On my own" --startup "-name=X" --game-folder "$game" --always-no-map on \
  > /dev/null
out=$("$cli" launch --dry-run)
status_is "local dry run" $? 0
same "local command line" "$(head -n 1 <<< "$out")" '"C:\Games\OFP\FLASHPOINTRESISTANCE.EXE" -name=X -nosplash -nomap'
contains "native executable" "$out" "executable      $game/FLASHPOINTRESISTANCE.EXE"
contains "runner first" "$out" "argv[0]         wine"
contains "one argument a word" "$out" "argv[2]         -name=X"
contains "working folder" "$out" "working folder  $game/"

"$tools/garrison-gameserver" --bind "$address" --port 2302 --password --mod "RES;@a;@gone" --equal-mod 1 \
  --seconds 60 > server.log &
server_pid=$!
trap 'kill $server_pid 2>/dev/null; wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; rm -rf "$work"' EXIT
wait_listening server.log
"$cli" servers --add --address "$address:2302" --password pw --mods "@b" --always-no-map off > /dev/null
out=$("$cli" launch --dry-run --keep-my-mods)
same "network command line" "$(head -n 1 <<< "$out")" \
  "\"C:\\Games\\OFP\\FLASHPOINTRESISTANCE.EXE\" -nosplash -connect=$address -port=2302 -password=pw -mod=@b"
out=$("$cli" launch --dry-run --accept-server-mods 2> err.txt)
same "server's mods, RES left out" "$(head -n 1 <<< "$out")" \
  "\"C:\\Games\\OFP\\FLASHPOINTRESISTANCE.EXE\" -nosplash -connect=$address -port=2302 -password=pw -mod=@a;@gone"
contains "a missing mod folder is named" "$(cat err.txt)" "@gone does not exist, connection may fail."
"$cli" launch --dry-run --entry 7 2> err.txt
status_is "no such entry" $? 2

# A real start: the stand-in records what it saw.
if command -v wine > /dev/null && command -v x86_64-w64-mingw32-gcc > /dev/null; then
  "$cli" servers --always-no-map on > /dev/null
  x86_64-w64-mingw32-gcc -O2 -o "$game/FLASHPOINTRESISTANCE.EXE" "$standin_source"
  holds "stand-in built" test -s "$game/FLASHPOINTRESISTANCE.EXE"
  "$cli" launch --entry 0 > launch.log 2>&1
  status_is "started" $? 0
  holds "the game ran" bash -c "for i in \$(seq 1200); do [ -e '$game/seen.txt' ] && exit 0; sleep 0.1; done; exit 1"
  tr -d '\r' < "$game/seen.txt" > seen.txt
  same "working folder seen" "$(sed -n 1p seen.txt)" 'C:\Games\OFP'
  same "command line seen" "$(sed -n 2p seen.txt)" '"C:\Games\OFP\FLASHPOINTRESISTANCE.EXE" -name=X -nosplash -nomap'
  same "arguments seen" "$(sed -n '3,$p' seen.txt | tr '\n' ' ')" "-name=X -nosplash -nomap "
else
  echo "wine or the MinGW compiler is missing: the real start is not tried"
fi

finish
