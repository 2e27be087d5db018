#!/usr/bin/env bash
# The side search on the development profiles, against the hand marks in tools/:
#   scripts/profile-eval.sh [--backdrops] [londonset folder] [overlay folder]
# --backdrops: the heads cut out and laid onto generated backdrops, a table per backdrop.
# Not part of the tests: the photos are not in the repository.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=()
if [ "${1:-}" = --backdrops ]; then
  mode=(--backdrops)
  shift
fi
set_dir=${1:-../shared/londonset}
build=${BUILD_DIR:-build}
[ -d "$build" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target profile_eval
[ $# -ge 2 ] && mkdir -p "$2"
QT_QPA_PLATFORM=offscreen "$build/bench/profile_eval" "${mode[@]}" "$set_dir" tools/profile-hand-marks.json \
  ${2:+"$2"}
