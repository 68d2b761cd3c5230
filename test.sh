#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
# The quick checks first: a slip costs seconds, not a build.
scripts/check-format.sh
scripts/check-layers.sh
scripts/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)"
