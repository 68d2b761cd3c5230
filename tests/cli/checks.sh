# Shared checks of the garrison-cli scripts; each ends with `finish`.
failures=0
checks=0
fail() { # message...
  echo "FAIL: $*"
  failures=$((failures + 1))
}
status_is() { # description, command status, expected status
  checks=$((checks + 1))
  [ "$2" -eq "$3" ] || fail "$1 (exit $2, expected $3)"
}
contains() { # description, text, wanted
  checks=$((checks + 1))
  grep -qF -- "$3" <<< "$2" || fail "$1: no '$3' in:"$'\n'"$2"
}
same() { # description, got, wanted
  checks=$((checks + 1))
  [ "$2" = "$3" ] || fail "$1: got [$2], wanted [$3]"
}
holds() { # description, command...
  checks=$((checks + 1))
  local description=$1
  shift
  "$@" || fail "$description"
}
finish() {
  echo "$((checks - failures)) passed, $failures failed"
  [ "$failures" -eq 0 ]
}
# Runs the script in a fresh working directory, removed at the end.
enter_work_folder() {
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cd "$work" || exit 1
}
# Waits until a peer's output file says it listens (10 seconds at most).
wait_listening() { # file
  checks=$((checks + 1))
  local i
  for i in $(seq 200); do
    grep -q listening "$1" 2>/dev/null && return 0
    sleep 0.05
  done
  fail "$1: the peer never said it listens"
}
golden_folder="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/golden"
# Compares output with a golden file in golden/, once what changes from run
# to run is masked: the work folder, durations, install dates, pings. With
# GOLDEN_UPDATE=1 it writes the golden file instead (review it by eye).
golden() { # description, output, golden file name
  checks=$((checks + 1))
  local file masked
  file="$golden_folder/$3"
  masked=$(printf '%s\n' "$2" | sed -e "s|$work|<work>|g" -e 's/"seconds": [0-9.e+-]*/"seconds": "<masked>"/' \
    -e 's/"install_date": "[^"]*"/"install_date": "<masked>"/' -e 's/"ping": [0-9]*/"ping": "<masked>"/' \
    -e 's/^Ping\( *\)[0-9]* ms$/Ping\1<masked>/')
  if [ "${GOLDEN_UPDATE:-}" = 1 ]; then
    printf '%s\n' "$masked" > "$file"
    return
  fi
  diff -u "$file" <(printf '%s\n' "$masked") > golden.diff || fail "$1: differs from golden/$3:"$'\n'"$(cat golden.diff)"
}
