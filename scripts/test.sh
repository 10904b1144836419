#!/usr/bin/env bash
# The whole test suite from a fresh checkout: installs what is missing, configures,
# builds and runs every test under a virtual X display.
#
#   bash scripts/test.sh                      # normal build in ./build
#   PELLAVIO_SANITIZE=ON BUILD_DIR=build-asan bash scripts/test.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-build}
case "$build_dir" in /*) ;; *) build_dir="$root/$build_dir" ;; esac
sanitize=${PELLAVIO_SANITIZE:-OFF}
build_type=${BUILD_TYPE:-RelWithDebInfo}

bash "$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE="$build_type" -DPELLAVIO_SANITIZE="$sanitize"
cmake --build "$build_dir" -j "$(nproc)"

cd "$build_dir"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure ${CTEST_ARGS:-}
