#!/usr/bin/env bash
# Counts the instructions one call of a function takes inside a benchmark, under callgrind.
# On a shared machine the timings of two builds spread wider than a difference of a few per
# cent; the count of instructions does not move with the machine's load.
#
# Usage: scripts/instructions.sh BENCH FILTER FUNCTION [BUILD_DIR]
#   BENCH      a benchmark program, e.g. bench_mainwindow
#   FILTER     which of its benchmarks to run (--benchmark_filter)
#   FUNCTION   the function to count, as callgrind names it, e.g.
#              'QAction::activate(QAction::ActionEvent)' for a command of the window
#   BUILD_DIR  the benchmark build to run (default build-bench; another worktree's to compare)
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 3 ] || { sed -n '6,11p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
bench=$1 filter=$2 function=$3 build=${4:-build-bench}
scripts/deps.sh bench
if [ "$build" = build-bench ]; then
  cmake --preset bench >/dev/null
  cmake --build --preset bench --target "$bench"
fi
out=$(mktemp)
trap 'rm -f "$out"' EXIT
# A journal in memory: the file system's own time (fsync, new inodes) is not the program's.
TMPDIR=/dev/shm QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind --callgrind-out-file="$out" \
  --toggle-collect="$function" "$build/bench/$bench" --benchmark_filter="$filter" \
  --benchmark_min_time=2 >/dev/null 2>&1
# Instructions are the first event of the file's "summary:" line; the calls of the function are
# the "calls=" lines that follow a call to it (callgrind names a function in full once, then by
# its number alone).
awk -v target="$function" '
  /^summary:/ { total = $2 }
  /^c?fn=\(/ {
    match($0, /\([0-9]+\)/); id = substr($0, RSTART, RLENGTH)
    name = substr($0, RSTART + RLENGTH + 1)
    if (name != "") names[id] = name
    calling = ($0 ~ /^cfn=/) && names[id] == target
    next
  }
  /^calls=/ { if (calling) { split($0, f, /[= ]/); calls += f[2] } calling = 0 }
  END {
    if (calls == 0) { print "the function was not called: check its name" > "/dev/stderr"; exit 1 }
    printf "%s: %d calls, %.0f instructions each\n", target, calls, total / calls
  }' "$out"
