#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the plain
# build, bounded fuzz runs of the data-file loader and the link's reply
# checks, then the build under AddressSanitizer and UndefinedBehaviorSanitizer.
# After each configure, scripts/check-deps.sh checks that the install step
# names every package the build found.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
"$top/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen

run_suite() {
  local dir=$1; shift
  cmake -S "$top" -B "$dir" "$@" >/dev/null
  "$top/scripts/check-deps.sh" "$dir"
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" -j"$jobs" --output-on-failure
}

echo "== plain build =="
run_suite "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== fuzz runs of the data-file loader and the reply checks =="
"$top/scripts/fuzz.sh"
"$top/scripts/check-deps.sh" "$top/build-fuzz"
echo "== sanitized build (ASan + UBSan) =="
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite "$top/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DKVL_SANITIZE=ON
