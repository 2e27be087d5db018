#!/usr/bin/env bash
# Builds and runs the benchmarks (not part of the tests).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh
bash scripts/build.sh
./build/bench/analysis_bench "$@"
./build/bench/photo_bench "$@"
./build/bench/face_finder_bench "$@"
