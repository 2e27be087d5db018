#!/usr/bin/env bash
# Builds in Release and prints one table: each figure against its baseline, measured in the same
# run, with its goal. Not part of the tests. "--all" also runs every Google Benchmark program.
# Other arguments: the number of runs per figure (default 21).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh --tests

# Tools only the benchmarks use: djpeg (the decoder's own floor) and valgrind (instruction
# counts, which do not depend on the machine's load).
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
missing=()
command -v djpeg >/dev/null || missing+=(libjpeg-turbo-progs)
command -v valgrind >/dev/null || missing+=(valgrind)
if [ ${#missing[@]} -gt 0 ]; then
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
fi

all=0
runs=21
for a in "$@"; do
  if [ "$a" = "--all" ]; then all=1; else runs="$a"; fi
done

cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEIDORA_BUILD_TESTS=OFF >/dev/null
targets=(startup_probe empty_window figures verdict_figure)
grep -q '^VEIDORA_AUTO_PLACE:BOOL=ON' build-rel/CMakeCache.txt && targets+=(auto_placement_bench)
grep -q '^VEIDORA_AUTO_PLACE_SIDE:BOOL=ON' build-rel/CMakeCache.txt && targets+=(profile_finder_bench)
if [ "$all" -eq 1 ]; then cmake --build build-rel; else cmake --build build-rel --target "${targets[@]}"; fi

export QT_QPA_PLATFORM=offscreen
if [ "$all" -eq 1 ]; then
  for b in analysis_bench photo_bench loupe_bench face_finder_bench auto_placement_bench \
    profile_finder_bench; do
    [ -x "build-rel/bench/$b" ] && "build-rel/bench/$b"
  done
fi
python3 bench/report.py build-rel "$runs"
