#!/usr/bin/env bash
# Builds the way a packager does (plain Release, default options, so warnings do not stop the
# build) into build-release/ and runs its tests. Needs no display.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "== Building a plain Release (build-release/)"
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEIDORA_BUILD_BENCH=OFF >/dev/null
cmake --build build-release --parallel "$(nproc)"
echo "== Running the tests of the Release build"
export QT_QPA_PLATFORM=offscreen
cd build-release
ctest --output-on-failure --timeout 300 "$@"
