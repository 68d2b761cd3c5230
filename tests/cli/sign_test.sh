#!/usr/bin/env bash
# scripts/sign-upgrade.sh signs only with the key built into Garrison. A copy
# of the script sits in a tree whose UpgradeSignature.cpp holds a key made here.
set -u
repo=$1
. "$(dirname "$0")/checks.sh"
enter_work_folder

mkdir -p tree/scripts tree/src/app
cp "$repo/scripts/sign-upgrade.sh" tree/scripts/
openssl genpkey -algorithm ed25519 -out release.pem 2> /dev/null
openssl genpkey -algorithm ed25519 -out stranger.pem 2> /dev/null
bytes=$(openssl pkey -in release.pem -pubout -outform DER | tail -c 32 | od -An -v -tx1 | tr -s ' \n' ' ' |
  sed 's/^ //; s/ $//; s/\([0-9a-f][0-9a-f]\)/0x\1,/g; s/,$//')
printf 'const UpgradeKey kUpgradePublicKey = {%s};\n' "$bytes" > tree/src/app/UpgradeSignature.cpp
python3 -c "
import zipfile
with zipfile.ZipFile('garrison124.ozp', 'w') as z:
    z.writestr('garrison-release.txt', 'version = 1.24\\n')
    z.writestr('garrison', 'the new program')
with zipfile.ZipFile('unnamed.ozp', 'w') as z:
    z.writestr('garrison', 'the new program')
"

sh tree/scripts/sign-upgrade.sh stranger.pem garrison124.ozp 2> err.txt
status_is "another key is refused" $? 1
contains "says why" "$(cat err.txt)" "is not the release key built into Garrison"
holds "no signature written" test ! -e garrison124.ozp.sig

out=$(sh tree/scripts/sign-upgrade.sh release.pem garrison124.ozp)
status_is "the release key signs" $? 0
contains "says so" "$out" "wrote garrison124.ozp.sig"
openssl pkey -in release.pem -pubout -out release.pub
openssl pkeyutl -verify -rawin -pubin -inkey release.pub -in garrison124.ozp -sigfile garrison124.ozp.sig > /dev/null
status_is "the signature verifies" $? 0

sh tree/scripts/sign-upgrade.sh release.pem unnamed.ozp 2> err.txt
status_is "an archive without its release is refused" $? 1
contains "says why" "$(cat err.txt)" "holds no garrison-release.txt"
holds "no signature for it" test ! -e unnamed.ozp.sig

# The real script reads the real key: a key made here is no release key.
sh "$repo/scripts/sign-upgrade.sh" release.pem garrison124.ozp 2> /dev/null
status_is "the repository's key is not this one" $? 1
finish
