#!/usr/bin/env bash
# Packs the built program as a .deb, unpacks it as dpkg would, checks what it holds and what it
# depends on, and starts the unpacked program by its menu entry's command line, offscreen.
# Usage: package_deb.sh BUILD_DIR AUTO_PLACE(ON|OFF) AUTO_PLACE_SIDE(ON|OFF)
set -euo pipefail
build=$(cd "$1" && pwd)
auto=$2
side=${3:-OFF}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if ! cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  exit 1
fi
debs=("$work"/out/veidora_*_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: no single veidora_*.deb: ${debs[*]}"; exit 1; }
deb=${debs[0]}
echo "built $(basename "$deb")"

# Depends: the shared libraries found by dpkg-shlibdeps, and what is only loaded at run time.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
wanted=(libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 qt6-translations-l10n
  fonts-liberation fonts-liberation2)
[ "$auto" = ON ] && wanted+=(libdlib-data)
# The profile finder module links OpenCV's core and imgproc.
[ "$side" = ON ] && wanted+=(libopencv-core406 libopencv-imgproc406)
names=$(tr ',|' '\n\n' <<<"$depends" | awk '{print $1}')
for p in "${wanted[@]}"; do
  grep -qFx "$p" <<<"$names" || fail "Depends lacks $p"
done

# Nothing runs on installing or removing it: its modules are off the library path, and a postrm
# would keep the package listed as "rc" after apt-get remove.
scripts=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' |
  grep -xE '(pre|post)(inst|rm)|triggers' || true)
[ -z "$scripts" ] || fail "the package has maintainer scripts: $(echo $scripts)"

root=$work/root
dpkg -x "$deb" "$root"
app=example.veidora.Veidora
for f in usr/bin/veidora \
  usr/share/applications/$app.desktop \
  usr/share/icons/hicolor/scalable/apps/$app.svg \
  usr/share/metainfo/$app.metainfo.xml; do
  [ -f "$root/$f" ] || fail "the package lacks /$f"
done
[ -x "$root/usr/bin/veidora" ] || fail "/usr/bin/veidora is not executable"
module=usr/lib/veidora/libveidora_face_finder_module.so
sideModule=usr/lib/veidora/libveidora_profile_finder_module.so
# The program looks for its modules in ../lib/veidora from its own folder.
for m in "$auto:$module" "$side:$sideModule"; do
  [ "${m%%:*}" = ON ] || continue
  m=${m#*:}
  [ -f "$root/$m" ] || fail "the package lacks /$m"
  ! ldd "$root/$m" | grep -q 'not found' || fail "/$m needs libraries that are missing"
done
# Nothing from the build folder may leak in (tests, benchmarks, run paths).
extra=$(cd "$root" && find . -type f |
  grep -vE "^\./usr/(bin/veidora|lib/veidora/libveidora_(face|profile)_finder_module\.so|share/(applications|icons|metainfo|doc)/)" || true)
[ -z "$extra" ] || fail "unexpected files: $extra"
for f in "$root/usr/bin/veidora" "$root/$module" "$root/$sideModule"; do
  [ -f "$f" ] || continue
  if readelf -d "$f" | grep -qE 'RPATH|RUNPATH'; then
    fail "the installed $(basename "$f") keeps a run path"
  fi
done

desktop-file-validate "$root/usr/share/applications/$app.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app.metainfo.xml" >"$work/as.log" 2>&1 ||
  { cat "$work/as.log"; fail "appstreamcli validate"; }
grep -qx "Icon=$app" "$root/usr/share/applications/$app.desktop" || fail "the menu entry names another icon"

# The menu entry's command, from the unpacked package: it must come up, find the finders'
# modules where the package put them (it looks only beside its own folder, never in a build
# tree), say nothing else, and stay up. Its own diagnostics tell when it is ready.
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/$app.desktop")
mkdir -m 700 "$work/xdg"
(cd "$work" && exec env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen \
  XDG_RUNTIME_DIR="$work/xdg" QT_LOGGING_RULES='veidora.*.debug=true' \
  PATH="$root/usr/bin:$PATH" $exec_line >"$work/stdout" 2>"$work/stderr") &
pid=$!
ready=0
for _ in $(seq 1200); do # up to two minutes on a loaded machine
  if grep -qx 'veidora.startup: ready' "$work/stderr"; then ready=1; break; fi
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
if [ $ready -eq 0 ]; then
  if kill -0 $pid 2>/dev/null; then
    fail "'$exec_line' did not come up within two minutes"
  else
    wait $pid && rc=0 || rc=$?
    fail "'$exec_line' ended by itself with status $rc"
  fi
fi
if kill -0 $pid 2>/dev/null; then
  kill $pid
  wait $pid 2>/dev/null || true
fi
for m in "$auto:face finder:$module" "$side:profile finder:$sideModule"; do
  IFS=: read -r on what path <<<"$m"
  [ "$on" = ON ] || continue
  grep -qx "veidora.modules: $what from $root/$path" "$work/stderr" ||
    fail "the installed program did not load /$path: $(grep '^veidora.modules' "$work/stderr")"
done
others=$(cat "$work/stderr" "$work/stdout" |
  grep -v -e '^veidora.startup: ready$' -e "^veidora.modules: [a-z]* finder from $root/" || true)
[ -z "$others" ] || fail "'$exec_line' printed: $others"

[ $failures -eq 0 ] && echo "the package holds, depends on and starts what it should"
exit $((failures > 0))
