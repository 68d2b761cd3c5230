#!/usr/bin/env bash
# Every benchmark in one run, each against what a user would run instead,
# with the goal beside each ratio. Arguments go to the scan benchmark.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
build/tools/bench/garrison-bench-scan "$@"
build/tools/bench/garrison-bench-recommend
build/tools/bench/garrison-bench-install
tools/bench/download-bench.sh
