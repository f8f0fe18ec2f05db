#!/usr/bin/env bash
# The install-step check against small CMake caches that name config folders
# of packages installed here, with package lists given to the check.
#   check-deps-test.sh PATH/TO/check-deps.sh
set -uo pipefail
check=${1:?usage: check-deps-test.sh CHECK_SCRIPT}
cmake_dir=/usr/lib/x86_64-linux-gnu/cmake
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

# case NAME PACKAGES EXPECTED_RC EXPECTED_TEXT CACHE_LINE...
case_() {
  local name=$1 packages=$2 want_rc=$3 want_text=$4
  shift 4
  local dir="$work/$name"
  mkdir -p "$dir"
  printf '%s\n' "# This is the CMakeCache file." "$@" >"$dir/CMakeCache.txt"
  local out rc
  out=$("$check" --packages "$packages" "$dir" 2>&1)
  rc=$?
  if [ "$rc" -eq "$want_rc" ] && grep -qF -- "$want_text" <<<"$out"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $name: exit $rc (want $want_rc), want text '$want_text' in:"
    echo "$out"
  fi
}

# A Qt module's config that the named Qt package does not depend on.
case_ qt_module_not_named "qt6-base-dev qt6-charts-dev" 1 \
  "missing from scripts/install-deps.sh: libqt6opengl6-dev" \
  "Qt6Charts_DIR:PATH=$cmake_dir/Qt6Charts" "Qt6OpenGL_DIR:PATH=$cmake_dir/Qt6OpenGL"
case_ qt_module_named "qt6-base-dev qt6-charts-dev libqt6opengl6-dev" 0 \
  "the 2 CMake packages" \
  "Qt6Charts_DIR:PATH=$cmake_dir/Qt6Charts" "Qt6OpenGL_DIR:PATH=$cmake_dir/Qt6OpenGL"
# libgmock-dev depends on libgtest-dev, which owns GTestConfig.cmake.
case_ reached_through_depends "libgmock-dev" 0 "the 1 CMake packages" \
  "GTest_DIR:PATH=$cmake_dir/GTest"
case_ not_reached "cmake" 1 "GTest_DIR: $cmake_dir/GTest/GTestConfig.cmake comes from libgtest-dev" \
  "GTest_DIR:PATH=$cmake_dir/GTest"
# Entries that are no package's config folder are left out.
case_ other_entries_ignored "cmake" 0 "no CMake packages under /usr" \
  "OPENGL_INCLUDE_DIR:PATH=/usr/include" "Foo_DIR:PATH=Foo_DIR-NOTFOUND" \
  "kvlq70_BINARY_DIR:STATIC=$work" "Bar_DIR:PATH=$work" "CMAKE_CACHEFILE_DIR:INTERNAL=$work"
# The <name>-config.cmake form, where this machine has one.
expat=$(ls -d "$cmake_dir"/expat-*/ 2>/dev/null | head -n1)
if [ -n "$expat" ] && [ -f "$expat/expat-config.cmake" ]; then
  case_ lower_case_config "cmake" 1 "comes from libexpat1-dev" "Expat_DIR:PATH=${expat%/}"
else
  echo "lower_case_config: skipped, no expat config on this machine"
fi

out=$("$check" --packages cmake "$work/none" 2>&1)
if [ $? -eq 2 ] && grep -qF "configure the build first" <<<"$out"; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
  echo "FAILED: no_cache: $out"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
