#!/usr/bin/env bash
# Photographs the kiosk for the README: runs `pellavio --kiosk` on the demo
# room under a virtual X display, points at a painted animal, lets the idle
# countdown appear (docs/kiosk-countdown.png), then touches "Cerca info" and
# photographs the QR code that stands in for the browser (docs/kiosk-qr.png).
#
#   bash scripts/kiosk-screenshots.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-build}
case "$build_dir" in /*) ;; *) build_dir="$root/$build_dir" ;; esac
width=1280
height=800

if [ "${1:-}" != "--inside" ]; then
  cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" >/dev/null
  cmake --build "$build_dir" -j "$(nproc)" --target pellavio pellavio_runtime >/dev/null
  mkdir -p "$root/docs"
  export BUILD_DIR="$build_dir" DOCS="$root/docs"
  exec xvfb-run -a -s "-screen 0 ${width}x${height}x24" bash "$0" --inside
fi

cd "$build_dir"
# 14 s of idle time: the countdown of the last 10 comes 4 s after the last input.
./pellavio --kiosk --idle 14 --tour 0 >/dev/null 2>&1 &
program=$!
trap 'kill "$program" 2>/dev/null || true' EXIT

# The kiosk covers the whole screen once the loading window has gone.
covered=0
for _ in $(seq 1 600); do
  kill -0 "$program" 2>/dev/null || { echo "The program ended before its window opened." >&2; exit 1; }
  windows=$(xdotool search --onlyvisible --name '^Vovo del Pellavio$' 2>/dev/null || true)
  if [ "$(echo "$windows" | grep -c .)" -eq 1 ] \
     && xdotool getwindowgeometry --shell "$windows" | grep -qx "WIDTH=$width"; then
    covered=1
    break
  fi
  sleep 0.2
done
[ "$covered" -eq 1 ] || { echo "The kiosk did not cover the screen." >&2; exit 1; }
sleep 1

# The butterfly on the second panel of the north wall fills the panel.
xdotool mousemove 361 88 sleep 0.3 mousemove 366 88
sleep 6
import -window root "$DOCS/kiosk-countdown.png"
# "Cerca info" at the top of the panel.
xdotool mousemove 1237 300 click 1
sleep 1.5
import -window root "$DOCS/kiosk-qr.png"
xdotool key ctrl+alt+q
wait "$program"
echo "Screenshots written to $DOCS/kiosk-countdown.png and $DOCS/kiosk-qr.png"
