#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
BUILD_DIR=${ZK7_BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${ZK7_BUILD_TYPE:-RelWithDebInfo} -DZK7_BUILD_BENCH=OFF ${ZK7_CMAKE_ARGS:-}
cmake --build "$BUILD_DIR"
export QT_QPA_PLATFORM=offscreen
# A clean home for the tests' settings and data, every run.
rm -rf "$BUILD_DIR/test-home" && mkdir -p "$BUILD_DIR/test-home/tmp"
cd "$BUILD_DIR"
ctest --output-on-failure -j2
