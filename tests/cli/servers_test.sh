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

finish
