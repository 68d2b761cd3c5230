#!/usr/bin/env bash
# Installs what is missing, then configures and builds into build/.
# Warnings are errors when CI=true.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
werror=OFF
[ "${CI:-}" = true ] && werror=ON
log=$(mktemp)
cmake -S . -B build -G Ninja -DGARRISON_WERROR="$werror" "$@" > "$log" 2>&1 || { cat "$log"; exit 1; }
rm -f "$log"
cmake --build build
