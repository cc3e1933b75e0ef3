#!/usr/bin/env bash
# Fuzzes the records file reader, the play reader and the ranking server's
# request reader with libFuzzer, each
# for RUNS runs.
#
#   scripts/fuzz.sh            20000 runs (what the test suite does)
#   scripts/fuzz.sh 5000000    a longer hunt, a few minutes
#   scripts/fuzz.sh 0          until stopped (Ctrl-C)
#
# Builds fuzz/ with clang++ into build/fuzz. Every seed of fuzz/corpus is
# first read whole (some hold lines of 64 KiB); the mutations then stay
# within 8 KiB, which keeps a thousand runs a second. New interesting inputs
# are kept in build/fuzz/corpus; the seeds are only read. A finding
# stops the run with a non-zero exit and leaves the input that caused it in
# build/fuzz/ (crash-*, timeout-*, oom-*): feed it back with
#   build/fuzz/records-fuzzer build/fuzz/crash-...
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-20000}
case "$runs" in
  ''|*[!0-9]*) echo "usage: scripts/fuzz.sh [RUNS]" >&2; exit 2 ;;
esac
[ "$runs" -eq 0 ] && runs=-1

build=build/fuzz
cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE= >/dev/null
cmake --build "$build" -j2 >/dev/null

mkdir -p "$build/corpus" "$build/play-corpus" "$build/server-corpus"
cd "$build"
# ASan and UBSan findings end the run; an input of the seeds' size must
# never take more than a second.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

# fuzz FUZZER CORPUS SEEDS: every seed read whole, then RUNS mutations.
fuzz() {
  local fuzzer=$1 corpus=$2 seeds=$3
  if ! "./$fuzzer" -timeout=10 "$seeds"/* >"$fuzzer-seeds.log" 2>&1; then
    cat "$fuzzer-seeds.log" >&2
    exit 1
  fi
  echo "fuzz: $fuzzer read all $(ls "$seeds" | wc -l) seeds whole"
  "./$fuzzer" -runs="$runs" -max_len=8192 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "$corpus" "$seeds"
}
fuzz records-fuzzer corpus ../../fuzz/corpus
fuzz play-fuzzer play-corpus ../../fuzz/play-corpus
fuzz server-fuzzer server-corpus ../../fuzz/server-corpus
