#!/usr/bin/env bash
# Builds the fuzz targets with clang++, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer and runs each over a bounded number of inputs:
# the data-file reader from one valid file of each type, the loader-reply and
# text-reply checks of the serial link from the worked frames. Any finding
# fails the script; the input that caused it is kept in build-fuzz/artifacts/.
#   KVL_FUZZ_RUNS        inputs of the data-file reader (default 20000)
#   KVL_FUZZ_REPLY_RUNS  inputs of each reply target (default 4000000)
#   KVL_FUZZ_SEED        random seed (default 1, so that runs repeat)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-fuzz"
jobs=${KVL_JOBS:-$(nproc)}
runs=${KVL_FUZZ_RUNS:-20000}
replyRuns=${KVL_FUZZ_REPLY_RUNS:-4000000}
seed=${KVL_FUZZ_SEED:-1}

echo "== fuzzing the data file reader and the link's reply checks (clang, libFuzzer, ASan + UBSan) =="
cmake -S "$top" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DKVL_FUZZ=ON -DKVL_GUI=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$jobs" --target LoadFileFuzz FuzzSeedWriter LoaderReplyFuzz TextReplyFuzz

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
"$build/tests/fuzz/FuzzSeedWriter" "$corpus"
mkdir -p "$build/artifacts"

ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$build/tests/fuzz/LoadFileFuzz" -runs="$runs" -seed="$seed" -max_len=100000 \
  -artifact_prefix="$build/artifacts/" -print_final_stats=1 "$corpus"

# Loader replies: a kind byte (0 one word, 1 words, 2 program data, 3 write
# or delete), a count byte, the reply. Text replies: a flag byte (bit 0 the
# checksum, bits 4-7 the sub-address), the station, the line.
loader="$corpus/loader" text="$corpus/text"
mkdir -p "$loader" "$text"
printf '\x00\x01\x02\x80\x00\x00\x10\x06\x00\x99' >"$loader/word-1552"
printf '\x01\x03\x02\x80\x00\x00\x28\x00\x29\x00\x2A\x00\x00\xFE' >"$loader/three-words"
printf '\x02\x03\x02\x80\x00\x00\x28\x00\x29\x00\x2A\x00\x00\xFE' >"$loader/program-items"
printf '\x03\x00\x02\x80\x00\x00\x00\x00\x00\x83' >"$loader/write"
printf '\x00\x01\x02\x47\x00\x00\x10\x06\x00\x60' >"$loader/refusal-G"
printf '\x00\x01\x02\x00\x0D\x27\x00\x00\x00\x37' >"$loader/refusal-0-echo"
printf '\x01\x01\x020100XOK\x0348\r\n' >"$text/ok-with-sum"
printf '\x00\x01\x020100XOK\x03\r\n' >"$text/ok-plain"
printf '\x01\x01\x020100XABC\x031C\r\n' >"$text/abc-with-sum"

for target in LoaderReplyFuzz:"$loader":300 TextReplyFuzz:"$text":4200; do
  IFS=: read -r name dir maxLen <<<"$target"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/tests/fuzz/$name" -runs="$replyRuns" -seed="$seed" -max_len="$maxLen" \
    -artifact_prefix="$build/artifacts/$name-" -print_final_stats=1 "$dir"
done
