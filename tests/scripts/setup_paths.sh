#!/usr/bin/env bash
# The set-up's answers to a user who may not install packages, to sudo, and apt's output as the
# user sees it. Runs the real scripts with stand-ins for id, sudo, apt-get, dpkg-query and locale.
# Usage: setup_paths.sh SOURCE_DIR
set -uo pipefail
src=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bin=$work/bin
mkdir -p "$bin"
# Only these real tools are on the PATH, so the machine's own sudo cannot be found.
for tool in bash env grep awk tail tee rm mktemp dirname basename cat sed true; do
  ln -s "$(type -P "$tool")" "$bin/$tool"
done
cat >"$bin/id" <<'EOF'
#!/bin/bash
case "$1" in -u) echo "$FAKE_UID" ;; -un) echo alice ;; esac
EOF
cat >"$bin/dpkg-query" <<'EOF'
#!/bin/bash
exit 1
EOF
cat >"$bin/locale" <<'EOF'
#!/bin/bash
echo C.utf8; echo lt_LT.utf8
EOF
cat >"$bin/apt-get" <<'EOF'
#!/bin/bash
[ "$1" = update ] && { echo "Hit:1 http://deb.debian.org/debian bookworm InRelease"; exit 0; }
cat <<'OUT'
Reading package lists...
The following NEW packages will be installed:
  cmake ninja-build
0 upgraded, 2 newly installed, 0 to remove and 0 not upgraded.
Need to get 9,000 kB of archives.
After this operation, 40.0 MB of additional disk space will be used.
Get:1 http://deb.debian.org/debian bookworm/main amd64 cmake amd64 3.25.1-1 [8,000 kB]
Get:2 http://deb.debian.org/debian bookworm/main amd64 ninja-build amd64 1.11.1-1 [1,000 kB]
debconf: delaying package configuration, since apt-utils is not installed
Fetched 9,000 kB in 1s (9,000 kB/s)
Selecting previously unselected package cmake.
(Reading database ... 6000 files and directories currently installed.)
Preparing to unpack .../cmake_3.25.1-1_amd64.deb ...
Unpacking cmake (3.25.1-1) ...
Selecting previously unselected package ninja-build.
Preparing to unpack .../ninja-build_1.11.1-1_amd64.deb ...
Unpacking ninja-build (1.11.1-1) ...
Setting up cmake (3.25.1-1) ...
Setting up ninja-build (1.11.1-1) ...
update-alternatives: using /usr/bin/ninja to provide /usr/bin/ninja-build (ninja-build) in auto mode
Processing triggers for man-db (2.11.2-2) ...
OUT
exit "${FAKE_APT_RC:-0}"
EOF
chmod +x "$bin"/*

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# run NAME EXPECTED_RC SCRIPT [ARGS...]: the script's stderr lands in $out.
run() {
  local name=$1 rc=$2
  shift 2
  out=$(env -u CI PATH="$bin" HOME="$work" TMPDIR="$work" "$@" 2>&1 >/dev/null)
  local got=$?
  [ $got -eq "$rc" ] || fail "$name: exit $got, expected $rc; said: $out"
}
has() { grep -qF -- "$2" <<<"$out" || fail "$1: no \"$2\" in: $out"; }
lacks() { ! grep -qF -- "$2" <<<"$out" || fail "$1: unwanted \"$2\" in: $out"; }

# A user without sudo gets the packages and one command to run as root.
export FAKE_UID=1000
run "no sudo" 1 bash "$src/scripts/setup-debian.sh"
has "no sudo" "sudo is not installed"
has "no sudo" "libdlib-data"
has "no sudo" "qt6-base-dev"
lacks "no sudo" "libgtest-dev"
has "no sudo" "bash $src/scripts/setup-debian.sh"$'\n'
run "no sudo, tests" 1 bash "$src/scripts/setup-debian.sh" --tests
has "no sudo, tests" "libgtest-dev"
has "no sudo, tests" "desktop-file-utils"
has "no sudo, tests" "bash $src/scripts/setup-debian.sh --tests"

# A user whom sudo turns away gets the same.
printf '#!/bin/bash\necho "alice is not in the sudoers file." >&2\nexit 1\n' >"$bin/sudo"
chmod +x "$bin/sudo"
run "sudo refuses" 1 bash "$src/scripts/setup-debian.sh"
has "sudo refuses" "sudo did not let alice in"
has "sudo refuses" "Missing packages ("
has "sudo refuses" "bash $src/scripts/setup-debian.sh"

# A user with sudo: apt's summary stays, its per-package lines become counters.
printf '#!/bin/bash\n[ "$1" = -n ] && shift\n[ "$1" = -v ] && exit 0\nexec "$@"\n' >"$bin/sudo"
run "sudo" 0 bash "$src/scripts/setup-debian.sh"
has "sudo" "Installing packages"
has "sudo" "2 newly installed"
has "sudo" "After this operation, 40.0 MB"
has "sudo" "unpacking…"
has "sudo" "setting up…"
lacks "sudo" "Selecting previously"
lacks "sudo" "Preparing to unpack"
lacks "sudo" "update-alternatives"
# A failing install shows the end of apt's log and fails.
FAKE_APT_RC=100 run "apt fails" 1 bash "$src/scripts/setup-debian.sh"
has "apt fails" "Failed; the last lines of the log"
has "apt fails" "Processing triggers"

# Run through sudo by a user: refused before anything is installed or built.
export FAKE_UID=0
for script in run.sh test.sh; do
  SUDO_USER=alice run "sudo $script" 1 bash "$src/$script"
  has "sudo $script" "Run this as yourself, without sudo: ./$script"
done

[ $failures -eq 0 ] && echo "all set-up paths behave"
exit $((failures > 0))
