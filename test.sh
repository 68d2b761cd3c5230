#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/build.sh
scripts/check-format.sh
ctest --test-dir build --output-on-failure -j"$(nproc)"
