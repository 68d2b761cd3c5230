#!/usr/bin/env bash
# The download benchmark: nginx on loopback serves the generated files, and
# garrison-bench-download measures the engine against curl (and unzip).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=${1:-${TMPDIR:-/tmp}/garrison-bench-download}
mkdir -p "$root/served"
chmod o+rx "$root" "$root/served" # nginx's workers read as nobody when this runs as root
address="127.0.0.1:$((20000 + RANDOM % 20000))"
tools/nginx/serve-folder.sh "$root/served" "$address" "$root/nginx" > /dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  curl -s -o /dev/null "http://$address/" && break
  sleep 0.05
done
build/tools/bench/garrison-bench-download "$root/served" "http://$address/"
