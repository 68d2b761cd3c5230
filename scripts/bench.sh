#!/usr/bin/env bash
# Every benchmark in one run, each against what a user would run instead (or
# against its goal where nothing stands in for it), with the goal beside each
# figure. Arguments go to the scan benchmark: FOLDER FILES BYTES.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
build/tools/bench/garrison-bench-scan "$@"
build/tools/bench/garrison-bench-database
build/tools/bench/garrison-bench-recommend
build/tools/bench/garrison-bench-install
tools/bench/download-bench.sh
tools/bench/master-bench.sh build 200 1000
if [ -x build/tools/bench/garrison-bench-windows ]; then
  QT_QPA_PLATFORM=offscreen build/tools/bench/garrison-bench-windows
fi
