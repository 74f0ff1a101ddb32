#!/usr/bin/env bash
# Builds the core (no Qt) with ThreadSanitizer in build-tsan and runs the library's tests, the
# thread tests among them, under it. Any data race or lock-order report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${TSAN_BUILD:-build-tsan}
JOBS=$(nproc 2>/dev/null || echo 2)
LAUNCHER=()
if command -v ccache >/dev/null; then
  LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
TSAN="-fsanitize=thread -fno-omit-frame-pointer"
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${LAUNCHER[@]}" \
  -DCMAKE_C_FLAGS="$TSAN" -DCMAKE_CXX_FLAGS="$TSAN" -DCMAKE_EXE_LINKER_FLAGS="$TSAN" \
  -DCMAKE_SHARED_LINKER_FLAGS="$TSAN" \
  -DJW_BUILD_VIEWER=OFF -DJW_BUILD_TOOLS=OFF -DJW_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j "$JOBS" --target test_lib
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
ctest --test-dir "$BUILD" -L '^lib$' --output-on-failure -j "$JOBS"
