#!/usr/bin/env bash
# Renders the program icon's PNG sizes from its SVG.
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
if ! command -v rsvg-convert >/dev/null; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get install -y librsvg2-bin
fi
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" garrison.svg -o "garrison-$size.png"
done
