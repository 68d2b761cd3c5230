#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine and runs Garrison's loopback demo.
set -euo pipefail
cd "$(dirname "$0")"
scripts/build.sh
exec scripts/demo.sh
