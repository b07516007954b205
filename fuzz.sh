#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, the core only) in their own build folder, replays
# the regression corpus (fuzz/corpus/<target>/), then fuzzes each target for
# SECONDS, seeded by the sample writer. One line per target:
#   fuzz NAME: N runs, F findings (R runs/s)
# A finding (crash, leak, sanitizer report, timeout, memory beyond the limit)
# leaves its reproducer, named on the line, and makes the exit status non-zero.
#   ./fuzz.sh [SECONDS] [TARGET...]
# A reproducer replays with build-fuzz/fuzz_NAME FILE; once its fault is mended
# it goes into fuzz/corpus/NAME/ under a name that says what it was.
set -uo pipefail
cd "$(dirname "$0")"
SECONDS_EACH=${1:-20}
shift || true
./scripts/deps.sh || exit 1

BUILD=${ZK7_FUZZ_BUILD_DIR:-build-fuzz}
RSS_LIMIT_MB=${ZK7_FUZZ_RSS_LIMIT_MB:-512}
TIMEOUT_S=${ZK7_FUZZ_TIMEOUT:-10}
LAUNCHER=()
if command -v ccache >/dev/null; then LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
mkdir -p "$BUILD"
cmake -S fuzz -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  "${LAUNCHER[@]}" >"$BUILD/configure.log" 2>&1 || { cat "$BUILD/configure.log"; exit 1; }
cmake --build "$BUILD" -j "${ZK7_FUZZ_JOBS:-2}" || exit 1

TARGETS=("$@")
if [ ${#TARGETS[@]} -eq 0 ]; then
  TARGETS=()
  for exe in "$BUILD"/fuzz_*; do
    name=${exe##*/fuzz_}
    [ "$name" = seeds ] || TARGETS+=("$name")
  done
fi

# Seeds are made afresh by the sample writer at every run.
rm -rf "$BUILD/seeds" && "$BUILD/fuzz_seeds" "$BUILD/seeds" || exit 1

max_len() {
  case $1 in
    results|xml) echo 65536 ;;
    log|response|listing) echo 16384 ;;
    *) echo 4096 ;;
  esac
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
COMMON=(-rss_limit_mb="$RSS_LIMIT_MB" -malloc_limit_mb="$RSS_LIMIT_MB" -timeout="$TIMEOUT_S" -print_final_stats=1)

status=0
for name in "${TARGETS[@]}"; do
  exe="$BUILD/fuzz_$name"
  findings="$BUILD/findings/$name"
  work="$BUILD/corpus/$name"
  log="$BUILD/logs/$name.log"
  mkdir -p "$findings" "$work" "$BUILD/logs" "$BUILD/seeds/$name"
  if [ ! -x "$exe" ]; then echo "fuzz $name: no such target"; status=1; continue; fi

  # The regression corpus first: each file once, under the same limits.
  regressions=()
  if [ -d "fuzz/corpus/$name" ]; then
    while IFS= read -r -d '' f; do regressions+=("$f"); done < <(find "fuzz/corpus/$name" -type f -print0 | sort -z)
  fi
  if [ ${#regressions[@]} -gt 0 ]; then
    if ! "$exe" "${COMMON[@]}" -artifact_prefix="$findings/" "${regressions[@]}" >"$log.replay" 2>&1; then
      failed=$(grep '^Running: ' "$log.replay" | tail -1 | sed 's/^Running: //')
      echo "fuzz $name: 0 runs, 1 findings: regression $failed fails (log $log.replay)"
      status=1
      continue
    fi
  fi

  before=$(find "$findings" -type f | wc -l)
  "$exe" "${COMMON[@]}" -max_len="$(max_len "$name")" -max_total_time="$SECONDS_EACH" \
    -artifact_prefix="$findings/" "$work" "$BUILD/seeds/$name" ${regressions:+"fuzz/corpus/$name"} >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  newest=$(find "$findings" -type f -newer "$exe" -printf '%T@ %p\n' | sort -n | tail -1 | cut -d' ' -f2-)
  after=$(find "$findings" -type f | wc -l)
  count=$((after - before))
  if [ "$rc" -ne 0 ] && [ "$count" -eq 0 ]; then count=1; fi
  line="fuzz $name: ${runs:-0} runs, $count findings (${rate:-0} runs/s)"
  if [ "$count" -gt 0 ]; then
    reason=$(grep -m1 -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error:|ZK7 fuzz check failed)' "$log" | cut -c1-160)
    line+=": ${newest:-no reproducer} -- $reason (log $log)"
    status=1
  fi
  echo "$line"
done
exit $status
