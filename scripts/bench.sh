#!/usr/bin/env bash
# Builds and runs the benchmarks (not part of the tests).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh --tests
bash scripts/build.sh --all
export QT_QPA_PLATFORM=offscreen
./build/bench/analysis_bench "$@"
./build/bench/photo_bench "$@"
./build/bench/loupe_bench "$@"
./build/bench/face_finder_bench "$@"
./build/bench/auto_placement_bench "$@"

# Start-up with and without automatic placement built in (and so without dlib linked).
cmake -S . -B build-noauto -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEIDORA_AUTO_PLACE=OFF \
  -DVEIDORA_BUILD_TESTS=OFF >/dev/null
cmake --build build-noauto --target startup_probe
if ! command -v hyperfine >/dev/null; then
  if [ "$(id -u)" -eq 0 ]; then apt-get install -y -qq hyperfine; else sudo apt-get install -y -qq hyperfine; fi
fi
hyperfine -N --warmup 3 --runs 30 build/bench/startup_probe build-noauto/bench/startup_probe
