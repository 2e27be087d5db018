#!/usr/bin/env bash
# Starts the program under a virtual display and saves a screenshot of its window.
# Usage: scripts/screenshot.sh OUT.png ['xdotool action' ...]   (build first)
# SHOT_SCREEN sets the virtual screen (default 1000x1000x24), e.g. for QT_SCALE_FACTOR=2.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/window.png}")
shift || true
export LANG=${SHOT_LANG:-lt_LT.UTF-8}
xvfb-run -a -s "-screen 0 ${SHOT_SCREEN:-1000x1000x24}" bash -c '
  out=$1; shift
  ./build/app/veidora & pid=$!
  win=""
  for i in $(seq 50); do
    win=$(xdotool search --name "Programa" 2>/dev/null | head -1 || true)
    [ -n "$win" ] && break
    sleep 0.2
  done
  sleep 1
  xdotool windowmove "$win" 0 0
  for action in "$@"; do eval "$action"; sleep 0.6; done
  sleep 0.8
  if [ -n "${SHOT_ROOT:-}" ]; then import -window root "$out"; else import -window "$win" "$out"; fi
  kill $pid
' _ "$out" "$@"
echo "saved $out"
