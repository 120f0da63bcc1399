#!/usr/bin/env bash
# Builds the benchmarks with optimisation and runs one (or all): scripts/bench.sh [bench_name]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
cmake --preset bench >/dev/null
targets=${1:-$(cd bench && ls bench_*.cpp | sed 's/\.cpp$//')}
cmake --build --preset bench --target $targets
for t in $targets; do
  QT_QPA_PLATFORM=offscreen "build-bench/bench/$t" "${@:2}"
done
