#!/usr/bin/env bash
# The main job: installs what is missing, builds, builds the sample data directory and shows a
# sample entry.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)"
# Until the demo host takes over: pack the sample entries and show one of them.
build/tools/jwpack build sample/branchenbuch.json build/sample/data
build/tools/jwpack dump build/sample/data 2001
