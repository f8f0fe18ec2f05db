#!/usr/bin/env bash
# Builds the data-file fuzz target with clang++, libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer and runs it over a bounded number of inputs,
# starting from one valid file of each type. Any finding fails the script; the
# input that caused it is kept in build-fuzz/artifacts/.
#   KVL_FUZZ_RUNS  number of inputs (default 20000)
#   KVL_FUZZ_SEED  random seed (default 1, so that runs repeat)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-fuzz"
jobs=${KVL_JOBS:-$(nproc)}
runs=${KVL_FUZZ_RUNS:-20000}
seed=${KVL_FUZZ_SEED:-1}

echo "== fuzzing the data file reader (clang, libFuzzer, ASan + UBSan) =="
cmake -S "$top" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DKVL_FUZZ=ON -DKVL_GUI=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$jobs" --target LoadFileFuzz FuzzSeedWriter

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
"$build/tests/fuzz/FuzzSeedWriter" "$corpus"
mkdir -p "$build/artifacts"

ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$build/tests/fuzz/LoadFileFuzz" -runs="$runs" -seed="$seed" -max_len=100000 \
  -artifact_prefix="$build/artifacts/" -print_final_stats=1 "$corpus"
