#!/usr/bin/env bash
# Installs on Debian 12 what building and running the program needs, and with --tests also what
# the tests, benchmarks and screenshots need; only what is missing. Needs root or sudo only
# when something is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/packages.sh"
source "$here/common.sh"

with_tests=0
[ "${1:-}" = --tests ] && with_tests=1

wanted=("${runtime_packages[@]}" "${build_packages[@]}")
[ $with_tests -eq 1 ] && wanted+=("${test_packages[@]}")

missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
locale_missing=0
locale -a 2>/dev/null | grep -qi '^lt_LT\.utf-\?8$' || locale_missing=1

[ ${#missing[@]} -eq 0 ] && [ $locale_missing -eq 0 ] && exit 0

# Not root: sudo, if this user may use it; otherwise say exactly what to run as root.
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  refuse() {
    echo "$1" >&2
    [ ${#missing[@]} -gt 0 ] && echo "Missing packages (${#missing[@]}): ${missing[*]}" >&2
    [ $locale_missing -eq 1 ] && echo "Missing locale: lt_LT.UTF-8" >&2
    local args=""
    [ $with_tests -eq 1 ] && args=" --tests"
    echo "Run this once as root (su -), then run ./$(basename "${RUN_BY:-$0}") again:" >&2
    echo "  bash $here/setup-debian.sh$args" >&2
    exit 1
  }
  if ! command -v sudo >/dev/null 2>&1; then
    refuse "Installing packages needs root, and sudo is not installed."
  fi
  if ! sudo -n true 2>/dev/null; then
    echo "Installing packages needs root: sudo asks for your password." >&2
    sudo -v || refuse "sudo did not let $(id -un) in (not in the sudoers file, or a wrong password)."
  fi
  sudo_cmd=(sudo)
fi

as_root() { "${sudo_cmd[@]}" "$@"; }

log=$(mktemp "${TMPDIR:-/tmp}/veidora-setup.XXXXXX.log")
failed() {
  echo "Failed; the last lines of the log ($log):" >&2
  tail -n 25 "$log" >&2
  exit 1
}

if [ ${#missing[@]} -gt 0 ]; then
  phase "Installing packages (${#missing[@]}): ${missing[*]}"
  echo "Updating the package lists…" >&2
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q >>"$log" 2>&1 || failed
  # apt's summary and errors are shown; the per-package lines become one counter per stage.
  tty=0
  [ -t 2 ] && tty=1
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    -o Dpkg::Use-Pty=0 -o APT::Color=0 "${missing[@]}" 2>&1 |
    tee -a "$log" | awk -v tty=$tty '
      function show(stage, n) {
        if (tty) printf "\r\033[K  %s %d/%d", stage, n, total > "/dev/stderr"
        else if (!(stage in seen)) print "  " stage "…" > "/dev/stderr"
        seen[stage] = 1
        last = stage
      }
      /newly installed/ { total = $1 + $3; print > "/dev/stderr"; next }
      /^(Need to get|After this operation|Fetched)/ { if (tty && last) printf "\n" > "/dev/stderr"; last = ""; print > "/dev/stderr"; next }
      /^Get:/ { show("downloading", ++got); next }
      /^Unpacking / { show("unpacking", ++unpacked); next }
      /^Setting up / { show("setting up", ++set); next }
      /^(E:|W:|dpkg: error|Errors were)/ { print > "/dev/stderr" }
      END { if (tty && last) printf "\n" > "/dev/stderr" }
    ' || failed
fi

# The Lithuanian locale, for running the program and the tests with a decimal comma.
if [ $locale_missing -eq 1 ]; then
  phase "Generating the lt_LT.UTF-8 locale"
  as_root sed -i 's/^# *\(lt_LT.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^lt_LT.UTF-8 UTF-8' /etc/locale.gen || echo 'lt_LT.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >>"$log" 2>&1 || failed
fi
rm -f "$log"
