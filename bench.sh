#!/usr/bin/env bash
# Builds in Release and prints one line per figure: "name: value unit".
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
BUILD_DIR=${ZK7_BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZK7_BUILD_BENCH=ON -DZK7_BUILD_TESTS=OFF -DZK7_BUILD_GUI=ON >/dev/null
cmake --build "$BUILD_DIR" >/dev/null
DATA="$BUILD_DIR/bench-data"
mkdir -p "$DATA"
for tool in "$BUILD_DIR"/bench/bench_*; do
  [ -x "$tool" ] || continue
  "$tool" "$DATA"
done
# The Python module's figure, with the system's python3 it is built for.
if [ -d "$BUILD_DIR/python" ]; then
  PYTHONPATH="$BUILD_DIR/python" /usr/bin/python3 bench/bench_python.py "$DATA" "$BUILD_DIR/src/tools/cli/zk7-cli"
fi
