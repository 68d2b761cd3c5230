#!/bin/sh
# Signs an upgrade archive with the release key: writes ARCHIVE.sig, the raw
# Ed25519 signature Garrison checks before it stages anything. Refuses a key
# whose public half is not the one built into Garrison, which would sign an
# archive no installed copy accepts, and an archive that names no release.
# usage: scripts/sign-upgrade.sh PRIVATE-KEY.pem garrison124.ozp
set -eu
[ $# -eq 2 ] || { echo "usage: $0 PRIVATE-KEY.pem ARCHIVE" >&2; exit 2; }
source_file="$(cd "$(dirname "$0")/.." && pwd)/src/app/UpgradeSignature.cpp"
# The 32 bytes of kUpgradePublicKey, as hex.
built_in=$(sed -n '/kUpgradePublicKey = {/,/};/p' "$source_file" | grep -o '0x[0-9a-fA-F][0-9a-fA-F]' |
  sed 's/0x//' | tr -d '\n' | tr 'A-F' 'a-f')
# The public half of the given key: the last 32 bytes of its DER form.
given=$(openssl pkey -in "$1" -pubout -outform DER | tail -c 32 | od -An -v -tx1 | tr -d ' \n')
if [ "${#built_in}" -ne 64 ] || [ "$given" != "$built_in" ]; then
  echo "$0: $1 is not the release key built into Garrison ($source_file); nothing was signed" >&2
  exit 1
fi
# Garrison stages only a release newer than itself, named inside the signed bytes.
if ! unzip -p "$2" garrison-release.txt 2> /dev/null | grep -Eq '^[[:space:]]*version[[:space:]]*=[[:space:]]*[0-9]'; then
  echo "$0: $2 holds no garrison-release.txt with a line \"version = ...\"; nothing was signed" >&2
  exit 1
fi
openssl pkeyutl -sign -rawin -inkey "$1" -in "$2" -out "$2.sig"
echo "wrote $2.sig"
