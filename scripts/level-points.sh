#!/usr/bin/env bash
# The profile's levelling points (ear's opening, lowest point of the lower lid) found by image
# analysis on the development profiles: how often and how exactly against
# tools/profile-level-marks.json, whether turned photos give the turned line, and then
# levelling_check with the tilts they would set, for how the side codes hold:
#   scripts/level-points.sh [--oracle] [londonset folder]
# --oracle: the tilts from the hand marks turned along with the photo (a perfect finder's).
# Not part of the tests: the photos are not in the repository.
set -euo pipefail
cd "$(dirname "$0")/.."
oracle=()
if [[ ${1:-} == --oracle ]]; then
  oracle=(--oracle)
  shift
fi
set_dir=${1:-../shared/londonset}
build=${BUILD_DIR:-build}
cmake --build "$build" --target level_points_eval levelling_check
tilts=$(mktemp)
trap 'rm -f "$tilts"' EXIT
"$build/bench/level_points_eval" "$set_dir" tools/profile-level-marks.json --tilts "$tilts" \
  ${oracle[@]+"${oracle[@]}"}
QT_QPA_PLATFORM=offscreen "$build/bench/levelling_check" side --tilts "$tilts" \
  "$set_dir"/profile_left/*.jpg "$set_dir"/profile_right/*.jpg
