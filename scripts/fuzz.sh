#!/usr/bin/env bash
# Builds one libFuzzer target (the clang `fuzz` preset, ASan + UBSan) and runs it for a given
# number of seconds, seeded with the RTF sample files.
# Usage: scripts/fuzz.sh <target> <seconds>     e.g. scripts/fuzz.sh fuzz_rtf_reader 1800
# Exit status: 0 clean run, 77 clang missing (skipped), anything else a finding or build error.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:?usage: scripts/fuzz.sh <target> <seconds>}
seconds=${2:-60}
[[ $target == fuzz_* ]] || target=fuzz_$target

if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz.sh: clang++ is not installed (Debian packages clang libclang-rt-14-dev); skipped" >&2
  exit 77
fi

build=$root/build-fuzz
mkdir -p "$build"
# One configure and build at a time: a short run from the tests may meet a long one.
(
  flock 9
  cd "$root"
  cmake --preset fuzz >/dev/null
  cmake --build "$build" --target "$target" -- -j2
) 9>"$build/.fuzz-build.lock"

corpus=$build/corpus/$target
artifacts=$build/artifacts/$target/
mkdir -p "$corpus" "$artifacts"
export QT_QPA_PLATFORM=offscreen
# Qt keeps caches for the life of the process; leak reports from them are noise.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
echo "fuzz.sh: running $target for $seconds s; corpus $corpus, findings in $artifacts"
exec "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
  -print_final_stats=1 -artifact_prefix="$artifacts" "$corpus" "$root/tests/rtf/samples"
