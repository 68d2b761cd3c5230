#!/usr/bin/env bash
# garrison-cli servers on a garrison.sav in a fresh working directory.
set -u
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
checks=0
expect() { # description, text, wanted
  checks=$((checks + 1))
  if ! grep -qF -- "$3" <<< "$2"; then echo "FAIL: $1: no '$3' in:"; echo "$2"; failures=$((failures + 1)); fi
}

out=$("$cli" servers --json)
expect "no file: defaults" "$out" '"selected_index": -1'

"$cli" servers --apply-command-line -- -connect=10.0.0.1 -port=2302 -password=pw -nosplash -name=Bob > /dev/null
out=$("$cli" servers --json)
expect "entry made" "$out" '"address": "10.0.0.1:2302"'
expect "name quoted" "$out" '"startup_parameters": "\"-name=Bob\""'
expect "selected" "$out" '"selected_index": 0'

"$cli" servers --apply-command-line -- -CONNECT=10.0.0.1 -PORT=2302 -mod=@a > /dev/null
out=$("$cli" servers --json)
checks=$((checks + 1))
[ "$(grep -c '"address"' <<< "$out")" -eq 1 ] || { echo "FAIL: a second entry for the same address"; failures=$((failures + 1)); }
expect "mods replaced" "$out" '"manual_mods": "@a"'
[ -e garrison.sav.new ] && { echo "FAIL: temporary left behind"; failures=$((failures + 1)); }

"$cli" servers --apply-command-line -- -nomap 2> err.txt
status=$?
checks=$((checks + 1))
[ "$status" -eq 2 ] || { echo "FAIL: no host accepted"; failures=$((failures + 1)); }

printf '\001\011\000\000\000' > garrison.sav
out=$("$cli" servers)
expect "unreadable file: defaults" "$out" 'servers: []'

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
