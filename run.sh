#!/usr/bin/env bash
# Builds the program (installing what is missing) and starts it.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup-debian.sh
bash scripts/build.sh
exec ./build/app/veidora "$@"
