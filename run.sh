#!/usr/bin/env bash
# Installs what is missing, builds the application and opens it on the demo
# results file (written once: 8 channels, one record per second for a day).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
BUILD_DIR=${ZK7_BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZK7_BUILD_BENCH=OFF
cmake --build "$BUILD_DIR" --target zk7 zk7-cli zk7-sim
DEMO="$BUILD_DIR/demo/plant-day.zk"
if [ ! -f "$DEMO" ]; then
  mkdir -p "$(dirname "$DEMO")"
  "$BUILD_DIR/src/tools/cli/zk7-cli" make-sample "$DEMO" --channels 8 --records 86400 --period-ms 1000 --style plant
fi
exec "$BUILD_DIR/src/gui/zk7" "$DEMO" "$@"
