#!/usr/bin/env bash
# Configures and builds into build/ (Release with debug info): only the program, or with --all
# also the tests and benchmarks, with warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

all=OFF
[ "${1:-}" = --all ] && all=ON
check_build_folder build
phase "Configuring…"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVEIDORA_BUILD_TESTS=$all -DVEIDORA_BUILD_BENCH=$all -DVEIDORA_WERROR=$all
if [ $all = ON ]; then
  phase "Building the program, the tests and the benchmarks…"
  cmake --build build --parallel "$(nproc)"
else
  phase "Building the program…"
  cmake --build build --parallel "$(nproc)" --target veidora
fi
