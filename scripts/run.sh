#!/usr/bin/env bash
# The main job: installs what serving needs and is missing, builds only the library, the demo host
# and the bundled sample directory (no tests, benchmarks or fuzz targets), then serves the sample
# directory in the browser on http://127.0.0.1:8080/ (Ctrl+C stops it). Arguments go to
# "jwhost serve", e.g. scripts/run.sh --port 9000.
#
# It shares the folder "build" with the normal build of scripts/test.sh: a folder configured
# here builds the rest of the targets there, and one configured there is only reused here.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh serve
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DJW_BUILD_TESTS=OFF \
    -DJW_BUILD_BENCH=OFF >/dev/null
fi
cmake --build build --target jwhost jwsample -j "$(nproc 2>/dev/null || echo 2)"
exec build/tools/jwhost serve "$@"
