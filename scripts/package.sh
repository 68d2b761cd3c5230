#!/usr/bin/env bash
# Builds the two Debian packages, garrison and garrison-server, into packages/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DGARRISON_TESTS=OFF
cmake --build build-package
cpack --config build-package/CPackConfig.cmake -B packages
ls -l packages/*.deb
