#!/bin/sh
# Signs an upgrade archive with the release key: writes ARCHIVE.sig, the raw
# Ed25519 signature Garrison checks before it stages anything.
# usage: scripts/sign-upgrade.sh PRIVATE-KEY.pem garrison124.ozp
set -eu
[ $# -eq 2 ] || { echo "usage: $0 PRIVATE-KEY.pem ARCHIVE" >&2; exit 2; }
openssl pkeyutl -sign -rawin -inkey "$1" -in "$2" -out "$2.sig"
echo "wrote $2.sig"
