# Helpers shared by run.sh, test.sh and the set-up scripts. Sourced, not run.

phase() {
  printf '\n\033[1m==> %s\033[0m\n' "$*" >&2
}

die() {
  printf '%s\n' "$@" >&2
  exit 1
}

# A root build folder left behind by `sudo` would break every later build by the user, so the
# scripts run as the user, who is asked for sudo only when packages are missing. CI machines
# are throw-away and may run everything through sudo.
refuse_sudo() {
  if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "${SUDO_USER}" != root ] && [ -z "${CI:-}" ]; then
    die "Run this as yourself, without sudo: ./$(basename "$0")" \
      "It asks for sudo by itself, only to install missing packages."
  fi
}

# Files in the build folder that the user cannot write (from an earlier run as root).
check_build_folder() {
  local dir=$1
  [ -d "$dir" ] || return 0
  if [ -n "$(find "$dir" -maxdepth 1 ! -writable -print -quit 2>/dev/null)" ]; then
    die "The build folder $dir belongs to another user (an earlier run through sudo?)." \
      "Remove it, then run again:  sudo rm -rf $dir"
  fi
}
