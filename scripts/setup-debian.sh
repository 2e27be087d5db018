#!/usr/bin/env bash
# Installs whatever the build, the program and the tests need on Debian 12, and nothing twice.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n qt6-qpa-plugins
  libgl-dev libegl-dev
  libgtest-dev libbenchmark-dev nlohmann-json3-dev
  libdlib-dev libdlib-data
  xvfb xauth xdotool imagemagick
  locales fonts-dejavu-core fonts-liberation2 fonts-liberation
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Lithuanian locale, for running the program and the tests with a decimal comma.
if ! locale -a 2>/dev/null | grep -qi '^lt_LT\.utf-\?8$'; then
  echo "Generating the lt_LT.UTF-8 locale"
  as_root sed -i 's/^# *\(lt_LT.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^lt_LT.UTF-8 UTF-8' /etc/locale.gen || echo 'lt_LT.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi
