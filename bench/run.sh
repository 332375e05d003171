#!/usr/bin/env bash
# Configures a release build with the benchmark, builds it and runs it.
#   bench/run.sh [benchmark flags] [file.xml ...]
#   bench/run.sh --growth        n-versus-10n ratios and heap per input byte
# Defaults: 5 repetitions of every measurement (the summary uses medians).
# Excluding inputs, e.g.: bench/run.sh --benchmark_filter=-siblings
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BENCH_BUILD_DIR:-build-bench}
# -O2 for our library too: the peers come from distribution packages built so.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCORVANE_BENCH=ON -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_TOOLS=OFF -DCORVANE_BUILD_EXAMPLES=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target corvane_bench >/dev/null
if [ "${1:-}" = "--growth" ]; then exec "$build/bench/corvane_bench" --growth; fi
exec "$build/bench/corvane_bench" --benchmark_repetitions=5 --benchmark_min_time=0.2 "$@"
