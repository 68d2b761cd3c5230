#!/usr/bin/env bash
# The loopback demo: what a new user sees of garrison-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=build/src/cli/garrison-cli
echo "\$ garrison-cli --version"
"$cli" --version
echo
echo "\$ garrison-cli --help"
"$cli" --help
