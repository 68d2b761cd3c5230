#!/usr/bin/env bash
# Builds the two Debian packages, garrison and garrison-server, into packages/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Hardened as Debian builds its own packages.
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DGARRISON_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="-D_FORTIFY_SOURCE=2 -fstack-protector-strong" \
  -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro -Wl,-z,now"
cmake --build build-package
cpack --config build-package/CPackConfig.cmake -B packages
ls -l packages/*.deb
