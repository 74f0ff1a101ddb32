#!/usr/bin/env bash
# Builds and runs every test: a normal build (then its Debian packages, unpacked and used by two
# consumer programs), a build of the core without the Qt viewer, a build with AddressSanitizer and
# UndefinedBehaviorSanitizer, the Windows build under Wine, the fuzz targets with libFuzzer for a
# bounded time, and the library's tests under ThreadSanitizer. Any failing test, sanitizer report or
# fuzz finding fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

JOBS=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen

run_build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j "$JOBS"
  ctest --test-dir "$dir" --output-on-failure -j "$JOBS"
}

# The folder scripts/run.sh builds its few targets in: tests and benchmarks are switched on there.
echo "== Normal build"
run_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DJW_BUILD_TESTS=ON -DJW_BUILD_BENCH=ON

echo "== Packages of the normal build"
scripts/test-packages.sh build

# The core (store, pages, library) must keep building and working without Qt.
echo "== Core build without the viewer"
run_build build-core -DCMAKE_BUILD_TYPE=Debug -DJW_BUILD_VIEWER=OFF -DJW_BUILD_TOOLS=OFF \
  -DJW_BUILD_BENCH=OFF

echo "== Sanitizer build (address, undefined)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_build build-asan -DCMAKE_BUILD_TYPE=Debug -DJW_SANITIZE=ON -DJW_BUILD_BENCH=OFF

echo "== Windows build (MinGW-w64, under Wine)"
scripts/test-windows.sh

# Fuzz targets with libFuzzer (clang) for a bounded time each, from copies of their corpora.
echo "== Fuzzing"
scripts/fuzz.sh

# The library's tests, the thread tests among them, under ThreadSanitizer (core only).
echo "== Thread sanitizer"
scripts/tsan.sh
