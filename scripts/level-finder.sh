#!/usr/bin/env bash
# The profile's levelling line (ear's opening to the lower lid) on the development profiles:
# trains the detectors by folds against tools/profile-level-marks.json, prints how often and
# how exactly they find the two points and whether turned photos give the turned tilt, then
# runs levelling_check with the tilts found, for how the side codes hold:
#   scripts/level-finder.sh [londonset folder] [model folder]
# Not part of the tests: the photos are not in the repository.
set -euo pipefail
cd "$(dirname "$0")/.."
set_dir=${1:-../shared/londonset}
build=${BUILD_DIR:-build}
cmake --build "$build" --target level_finder_train levelling_check
tilts=$(mktemp)
trap 'rm -f "$tilts"' EXIT
"$build/bench/level_finder_train" "$set_dir" tools/profile-level-marks.json --tilts "$tilts" \
  ${2:+--models "$2"}
QT_QPA_PLATFORM=offscreen "$build/bench/levelling_check" side --tilts "$tilts" \
  "$set_dir"/profile_left/*.jpg "$set_dir"/profile_right/*.jpg
