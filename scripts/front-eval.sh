#!/usr/bin/env bash
# The front search on every photo of a set with hand-placed templates, against them:
#   scripts/front-eval.sh [set folder] [--overlay DIR] [--faces]
# The set defaults to ../shared/londonset beside the repository. Not part of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
cmake --build "$build" --target front_eval >/dev/null
exec "$build/bench/front_eval" "$@"
