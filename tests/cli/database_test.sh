#!/usr/bin/env bash
# garrison-cli discover, scan, packages and files on a game folder made here.
set -u
cli=$1
. "$(dirname "$0")/checks.sh"
enter_work_folder
export HOME="$work/home" WINEPREFIX="$work/prefix"

mkdir -p game/AddOns game/MyMod/addons game/Missions home prefix/drive_c prefix/dosdevices
ln -s ../drive_c prefix/dosdevices/c:
echo exe > game/OperationFlashpoint.exe
echo x > game/AddOns/x.pbo
echo core > game/AddOns/6g30.pbo
echo y > game/MyMod/addons/y.pbx
echo m > game/Missions/m.pbo

"$cli" discover 2> err.txt
status_is "nothing to discover" $? 1
contains "says so" "$(cat err.txt)" 'game folder not found'

mkdir -p prefix/drive_c/Games
mv game prefix/drive_c/Games/OFP
printf 'WINE REGISTRY Version 2\n[Software\\\\Codemasters\\\\Operation Flashpoint] 1\n"MAIN"="C:\\\\games\\\\ofp"\n' \
  > prefix/system.reg
out=$("$cli" discover)
status_is "discovered from the registry" $? 0
contains "the folder" "$out" "prefix/dosdevices/c:/Games/OFP/"
contains "kept" "$("$cli" servers --json)" "Games/OFP/"

out=$("$cli" scan --json 2> progress.txt)
status_is "scan" $? 0
holds "database written" test -s garrison.dat
golden "scan summed up" "$out" database_scan.json

out=$("$cli" files --package '<Unknown addons>')
status_is "files of a package" $? 0
golden "files of a package" "$out" database_files_unknown_addons.txt
out=$("$cli" files --json)
status_is "every file" $? 0
golden "every file with its status and packages" "$out" database_files.json
"$cli" files --package 'nope' 2> err.txt
status_is "unknown package" $? 1

out=$("$cli" packages)
status_is "packages" $? 0
golden "packages" "$out" database_packages.txt
out=$("$cli" packages --json)
golden "packages as JSON" "$out" database_packages.json

mkdir -p pack && echo "new add-on" > pack/new.pbo && (cd pack && zip -q ../New_Pack.zip new.pbo)
out=$("$cli" install New_Pack.zip --install-folder MyMod)
status_is "install" $? 0
contains "installed" "$out" 'installed New_Pack'
same "into the mod folder" "$(cat prefix/drive_c/Games/OFP/MyMod/addons/new.pbo)" "new add-on"
out=$("$cli" files --package New_Pack)
status_is "files of the new package" $? 0
golden "the new package's files" "$out" database_files_new_pack.txt
echo "not a zip" > bad.zip
"$cli" install bad.zip 2> err.txt
status_is "not a zip" $? 1
contains "says why" "$(cat err.txt)" 'no zip archive'
echo garbage > garrison.dat
"$cli" packages 2> err.txt
status_is "unreadable database" $? 1
contains "says so" "$(cat err.txt)" 'scan first'
"$cli" scan 2> err.txt > /dev/null
status_is "a scan over a damaged database" $? 0
contains "keeps it aside" "$(cat err.txt)" 'garrison.dat could not be read; it is kept as garrison.dat.unreadable-'
same "with its bytes" "$(cat garrison.dat.unreadable-*)" "garbage"

# The prefix of garrison-linux.conf is where discovery looks, as the launch does; a folder given to scan is kept.
mkdir -p other && mv prefix other/prefix && rm garrison.sav
echo "wine_prefix = $work/other/prefix # moved" > garrison-linux.conf
out=$(WINEPREFIX= "$cli" discover)
status_is "discovered through the configured prefix" $? 0
contains "the folder" "$out" "other/prefix/dosdevices/c:/Games/OFP/"
mkdir -p game2 && echo exe > game2/OperationFlashpoint.exe
"$cli" scan --game-folder game2 > /dev/null
status_is "scan of a folder given" $? 0
contains "kept" "$("$cli" servers --json)" "game2/"

# A link up to "/", a pipe and a device named like add-ons: the scan ends and records none of them.
ln -s / game2/root && mkfifo game2/pipe.pbo && ln -s /dev/zero game2/zero.pbo
out=$(timeout 60 "$cli" scan --json)
status_is "scan past links and pipes" $? 0
contains "only the game's own file" "$out" '"nodes": 1'

finish
