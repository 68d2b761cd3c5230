#!/usr/bin/env bash
# garrison-cli servers on a garrison.sav in a fresh working directory.
set -u
cli=$1
. "$(dirname "$0")/checks.sh"
enter_work_folder

out=$("$cli" servers --json)
contains "no file: defaults" "$out" '"selected_index": -1'

"$cli" servers --apply-command-line -- -connect=10.0.0.1 -port=2302 -password=pw -nosplash -name=Bob > /dev/null
out=$("$cli" servers --json)
contains "entry made" "$out" '"address": "10.0.0.1:2302"'
contains "name quoted" "$out" '"startup_parameters": "\"-name=Bob\""'
contains "selected" "$out" '"selected_index": 0'

"$cli" servers --apply-command-line -- -CONNECT=10.0.0.1 -PORT=2302 -mod=@a > /dev/null
out=$("$cli" servers --json)
same "one entry per address" "$(grep -c '"address"' <<< "$out")" 1
contains "mods replaced" "$out" '"manual_mods": "@a"'
holds "no temporary left behind" test ! -e garrison.sav.new

"$cli" servers --apply-command-line -- -nomap 2> err.txt
status_is "no host refused" $? 2

# Every usage error ends with 2, and nothing typed is dropped without a word.
while IFS='|' read -r what args; do
  eval "set -- $args"
  "$cli" "$@" > /dev/null 2>&1
  status_is "$what" $? 2
done << 'EOF'
unknown command|bogus
query without an address|query
seconds not a number|query 127.0.0.1 --seconds abc
seconds nan|query 127.0.0.1 --seconds nan
seconds zero|query 127.0.0.1 --seconds 0
seconds negative|news 127.0.0.1 --seconds -5
seconds forever|offered 127.0.0.1 --seconds inf
entry not a number|servers --entry abc
negative entry|servers --entry -1 --name XX
fields without an entry|servers --name YY
switches without --apply-command-line|servers -- -connect=10.0.0.9
password without its value|servers --add --password
launch entry negative|launch --dry-run --entry -3
EOF
cp garrison.sav before.sav
holds "no usage error changed the list" cmp -s garrison.sav before.sav

# Texts go in and come out in the game's code page.
echo "code_page = Windows-1251" > garrison-linux.conf
"$cli" servers --add --name "Сервер Иван" --password "пароль" --address 10.0.0.7:2302 > /dev/null
status_is "a Cyrillic entry" $? 0
out=$("$cli" servers --json)
contains "its name" "$out" '"name": "Сервер Иван"'
contains "its password" "$out" '"password": "пароль"'
holds "stored as Windows-1251" grep -q "$(printf '\xef\xe0\xf0\xee\xeb\xfc')" garrison.sav
"$cli" servers --apply-command-line -- -connect=10.0.0.8 -password=Жук > /dev/null
contains "switches in the code page too" "$("$cli" servers --json)" '"password": "Жук"'
echo "code_page = Windows-1252" > garrison-linux.conf
cp garrison.sav before.sav
"$cli" servers --entry 0 --password "Ωmega" 2> err.txt
status_is "a character the code page lacks" $? 2
contains "names it" "$(cat err.txt)" "\"Ω\" cannot be written in the game's code page (Windows-1252"
holds "the list as it was" cmp -s garrison.sav before.sav
rm garrison-linux.conf

# A list this program cannot read is the player's all the same: told, never saved over.
for bytes in '\001\011\000\000\000' '\000\014\000\000\000\001\000\000\000later' ; do
  printf "$bytes" > garrison.sav
  cp garrison.sav kept.sav
  "$cli" servers > out.txt 2> err.txt
  status_is "unreadable list refused" $? 1
  contains "says why" "$(cat err.txt)" 'garrison.sav cannot be read ('
  "$cli" servers --add --name X --address 10.0.0.1:2302 2> err.txt
  status_is "unreadable list not edited" $? 1
  holds "the file as it was" cmp -s garrison.sav kept.sav
done
contains "a newer format named" "$(cat err.txt)" 'written by a newer Garrison (format 12; this one reads 1 to 9)'

# --json never ends the program on bytes that are no UTF-8, and a failure is one JSON object too.
rm -f garrison.sav
mkdir -p "$(printf 'g\xff')" && echo exe > "$(printf 'g\xff')/OperationFlashpoint.exe"
out=$("$cli" discover --game-folder "$(printf 'g\xff')" --json)
status_is "a path that is no UTF-8" $? 0
holds "still JSON" python3 -c 'import json, sys; json.loads(sys.argv[1])' "$out"
out=$("$cli" servers --entry abc --json 2> /dev/null)
status_is "a usage error with --json" $? 2
holds "one JSON object" python3 -c 'import json, sys; assert json.loads(sys.argv[1])["exit_status"] == 2' "$out"
contains "saying why" "$out" '"error": "--entry: Value abc not in range'

finish
