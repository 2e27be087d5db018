#!/usr/bin/env bash
# Installs what building, the tests and the benchmarks need (only what is missing), builds
# everything and runs all tests. Needs no display. Arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh
refuse_sudo
RUN_BY=test.sh bash scripts/setup-debian.sh --tests
bash scripts/build.sh --all
phase "Running tests…"
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure --timeout 300 "$@"
