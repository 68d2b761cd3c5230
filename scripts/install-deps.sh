#!/usr/bin/env bash
# Installs the Debian packages of scripts/packages.txt that are missing.
# Asks apt only when something is missing, so a second run costs nothing.
set -euo pipefail
cd "$(dirname "$0")"
missing=()
while read -r package; do
  [[ -z "$package" || "$package" == \#* ]] && continue
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done < packages.txt
[ "${#missing[@]}" -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
