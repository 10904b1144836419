#!/usr/bin/env bash
# Installs the program as a technician would, into throw-away folders: once
# with `cmake --install --prefix`, once by unpacking the Debian package that
# cpack makes. Each installed program must then work from a folder that has
# nothing of the room: version, help, and the check of its installed demo room.
#
#   bash tests/check_install.sh BUILD_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; exit 1; }

desktop-file-validate "$root/resources/pellavio.desktop" || fail "the desktop entry does not validate"
if command -v appstreamcli > /dev/null; then
  appstreamcli validate --no-net "$root/resources/org.pellavio.Pellavio.metainfo.xml" > "$work/appstream.log" \
    || { cat "$work/appstream.log"; fail "the AppStream file does not validate"; }
fi

cmake --install "$build" --prefix "$work/prefix" > /dev/null
(cd "$build" && cpack -G DEB -B "$work/deb" > "$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/deb/pellavio_*_amd64.deb)
dpkg-deb -f "$deb" Depends | grep -q libqt5widgets5 || fail "the package's Depends line lacks Qt: $(dpkg-deb -f "$deb" Depends)"
dpkg -x "$deb" "$work/unpacked"

for program in "$work/prefix/bin/pellavio" "$work/unpacked/usr/bin/pellavio"; do
  share=$(dirname "$program")/../share
  for file in pellavio/data/Stanza.xml pellavio/shaders/map.vertex.glsl applications/pellavio.desktop \
      icons/hicolor/256x256/apps/pellavio.png metainfo/org.pellavio.Pellavio.metainfo.xml man/man1/pellavio.1.gz; do
    [ -f "$share/$file" ] || fail "$program: share/$file is not installed"
  done
  mkdir -p "$work/elsewhere"
  cd "$work/elsewhere"
  "$program" --version | grep -qE '^pellavio [0-9]+\.[0-9]+\.[0-9]+' || fail "$program --version"
  "$program" --help | grep -q -- '--data' || fail "$program --help does not list --data"
  "$program" --check > "$work/check.log" 2>&1 || { cat "$work/check.log"; fail "$program --check on the installed room"; }
  grep -qE '^0 errors, [0-9]+ warnings' "$work/check.log" || { cat "$work/check.log"; fail "$program --check summary"; }
done

# The packaged program shows its demo room, shaders included, started from elsewhere.
if [ -n "${DISPLAY:-}" ]; then
  "$work/unpacked/usr/bin/pellavio" > "$work/run.log" 2>&1 &
  pid=$!
  for _ in $(seq 120); do
    grep -q 'PROGRESS 200%' "$work/run.log" && break
    sleep 0.5
  done
  sleep 1
  kill "$pid" 2> /dev/null || true
  wait "$pid" 2> /dev/null || true
  grep -q 'PROGRESS 200%' "$work/run.log" || { cat "$work/run.log"; fail "the packaged program did not load its room"; }
  ! grep -q 'Shader program' "$work/run.log" || { grep 'Shader program' "$work/run.log"; fail "shaders"; }
fi
echo "Installed with cmake --install and from $(basename "$deb"): version, help and check work."
