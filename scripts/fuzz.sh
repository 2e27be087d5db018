#!/usr/bin/env bash
# Fuzzes the photo reader with libFuzzer for the given number of seconds (default 600).
#   scripts/fuzz.sh [seconds]
# The corpus grows in build-fuzz/corpus (seeded from fuzz/seeds and the kept corpus fuzz/corpus);
# crashing, leaking or slow inputs land in build-fuzz/findings. Once fixed, copy a finding to
# tests/data/fuzz-regressions/ so that the suite replays it. To keep a grown corpus, small:
#   build-fuzz/fuzz_photo_reader -merge=1 fuzz/corpus build-fuzz/corpus
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
bash scripts/setup-debian.sh
echo "== Building the fuzz target with clang (build-fuzz/)"
cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz
mkdir -p build-fuzz/corpus build-fuzz/findings
echo "== Fuzzing for ${seconds} s"
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1"
export QT_QPA_PLATFORM=offscreen
status=0
./build-fuzz/fuzz_photo_reader build-fuzz/corpus fuzz/seeds fuzz/corpus \
  -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=512 -timeout=10 \
  -max_len=65536 -print_final_stats=1 -artifact_prefix=build-fuzz/findings/ || status=$?
echo "== Findings:"
ls -la build-fuzz/findings
exit "$status"
