#!/usr/bin/env bash
# The main job: installs what is missing, builds the library, the demo host and the bundled sample
# directory, then serves the sample directory in the browser on http://127.0.0.1:8080/ (Ctrl+C
# stops it). Arguments go to "jwhost serve", e.g. scripts/run.sh --port 9000.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)"
exec build/tools/jwhost serve "$@"
