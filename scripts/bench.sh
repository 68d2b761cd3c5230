#!/usr/bin/env bash
# The scanner benchmark: builds, then runs it on a generated 2 GB game folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
build/tools/bench/garrison-bench-scan "$@"
build/tools/bench/garrison-bench-recommend
build/tools/bench/garrison-bench-install
