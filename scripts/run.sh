#!/usr/bin/env bash
# Starts Pellavio on the demo room from a fresh checkout: installs the Debian
# packages that are missing, builds the program into build/ and runs it from
# there, where the build has placed data/ and the shader files it reads.
#
#   bash scripts/run.sh            # any Qt option is passed on, e.g. -style fusion
set -euo pipefail

if [ -z "${DISPLAY:-}" ]; then
  echo "No display: DISPLAY is empty, so the window has nowhere to open; run this from a desktop session." >&2
  exit 1
fi

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-build}
case "$build_dir" in /*) ;; *) build_dir="$root/$build_dir" ;; esac

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target pellavio pellavio_runtime

cd "$build_dir"
exec ./pellavio "$@"
