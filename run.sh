#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine and runs Garrison's loopback demo:
# the window on a desktop, the command-line tour without a display or with --cli.
set -euo pipefail
cd "$(dirname "$0")"
scripts/build.sh
exec scripts/demo.sh "$@"
