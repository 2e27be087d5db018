#!/usr/bin/env bash
# Builds everything (installing what is missing) and runs all tests. Needs no display.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup-debian.sh
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure --timeout 300 "$@"
