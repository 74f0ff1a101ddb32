#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (address and undefined-behaviour checks, core
# only, no Qt) in build-fuzz and runs each for a bounded time from a copy of its corpus, so the
# repository is never written. Memory over 512 MB or 5 s for one input count as findings, like
# crashes; reproducers go to $FUZZ_FINDINGS/<target>/.
#
#   scripts/fuzz.sh [TARGET...]     (FUZZ_SECONDS per target, default 45; all targets by default)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=${FUZZ_BUILD:-build-fuzz}  # inside the repository
SECONDS_EACH=${FUZZ_SECONDS:-45}
FINDINGS=${FUZZ_FINDINGS:-$ROOT/$BUILD/findings}
JOBS=$(nproc 2>/dev/null || echo 2)

SAN="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
LAUNCHER=()
if command -v ccache >/dev/null; then
  LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 "${LAUNCHER[@]}" \
  -DCMAKE_C_FLAGS="$SAN -fsanitize=fuzzer-no-link" -DCMAKE_CXX_FLAGS="$SAN -fsanitize=fuzzer-no-link" \
  -DCMAKE_EXE_LINKER_FLAGS="$SAN" -DCMAKE_SHARED_LINKER_FLAGS="$SAN" \
  -DJW_LIBFUZZER=ON -DJW_BUILD_VIEWER=OFF -DJW_BUILD_TOOLS=OFF -DJW_BUILD_BENCH=OFF >/dev/null

if [ $# -gt 0 ]; then
  TARGETS=("$@")
else
  TARGETS=()
  for f in fuzz/fuzz_*.cpp; do TARGETS+=("$(basename "$f" .cpp)"); done
fi
cmake --build "$BUILD" -j "$JOBS" --target "${TARGETS[@]}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS="suppressions=$ROOT/tests/support/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failed=()
summary=()
for t in "${TARGETS[@]}"; do
  echo "== $t: ${SECONDS_EACH}s"
  mkdir -p "$WORK/$t" "$FINDINGS/$t"
  if [ -d "fuzz/corpus/$t" ]; then cp -r "fuzz/corpus/$t/." "$WORK/$t/"; fi
  log="$WORK/$t.log"
  status=0
  # From the work folder: the library writes its log file into the current directory.
  (cd "$WORK" && "$ROOT/$BUILD/fuzz/$t" -rss_limit_mb=512 -timeout=5 -max_len=65536 \
    -max_total_time="$SECONDS_EACH" -print_final_stats=1 -artifact_prefix="$FINDINGS/$t/" \
    "$WORK/$t") >"$log" 2>&1 || status=$?
  runs=$(awk '/stat::number_of_executed_units/ {print $NF}' "$log" | tail -1)
  if [ "$status" -ne 0 ]; then
    failed+=("$t")
    summary+=("$t: FINDING after ${runs:-?} runs: $(grep -m1 -E 'ERROR:|==ERROR|out-of-memory|timeout|deadly signal' "$log" || echo "exit $status")")
    grep -E "^artifact_prefix|Test unit written to" "$log" || true
    tail -n 40 "$log"
  else
    summary+=("$t: ${runs:-?} runs, no finding")
  fi
done
echo "== Fuzzing summary"
printf '  %s\n' "${summary[@]}"
[ "${#failed[@]}" -eq 0 ]
