#!/usr/bin/env bash
# The side search on the development profiles, against the hand marks in tools/:
#   scripts/profile-eval.sh [londonset folder] [overlay folder]
# Not part of the tests: the photos are not in the repository.
set -euo pipefail
cd "$(dirname "$0")/.."
set_dir=${1:-../shared/londonset}
build=${BUILD_DIR:-build}
[ -d "$build" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target profile_eval
[ $# -ge 2 ] && mkdir -p "$2"
QT_QPA_PLATFORM=offscreen "$build/bench/profile_eval" "$set_dir" tools/profile-hand-marks.json \
  ${2:+"$2"}
