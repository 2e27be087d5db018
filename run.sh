#!/usr/bin/env bash
# Installs what building and running the program needs (only what is missing), builds the
# program and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh
refuse_sudo
RUN_BY=run.sh bash scripts/setup-debian.sh
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  die "Veidora is a window program and needs a graphical session (X11 or Wayland):" \
    "DISPLAY and WAYLAND_DISPLAY are empty. Run ./run.sh from a terminal on your desktop." \
    "The program is built: build/app/veidora"
fi
phase "Starting Veidora…"
exec ./build/app/veidora
