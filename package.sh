#!/usr/bin/env bash
# Builds in Release and writes dist/zk7-desktop_<version>_<arch>.deb.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
BUILD_DIR=${ZK7_PACKAGE_BUILD_DIR:-build-package}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZK7_BUILD_TESTS=OFF -DZK7_BUILD_BENCH=OFF \
  ${ZK7_CMAKE_ARGS:-} >/dev/null
cmake --build "$BUILD_DIR"
DIST="$PWD/dist"
mkdir -p "$DIST"
(cd "$BUILD_DIR" && cpack -G DEB -B "$DIST")
rm -rf "$DIST/_CPack_Packages"
ls -1 dist/*.deb
