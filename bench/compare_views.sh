#!/usr/bin/env bash
# What a visitor sees, from two builds of the program side by side: each is
# started on its build folder's demo room under a virtual X display and
# photographed in the start view and after a flight to the butterfly on the
# north wall; prints the largest difference of any channel of any pixel, in
# levels of 255, and how many pixels differ by more than one level.
#   bash bench/compare_views.sh BUILD_A BUILD_B
# SHOTS=FOLDER keeps the photographs and the difference images there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" != "--inside" ]; then
  [ $# -eq 2 ] || { echo "usage: $0 BUILD_A BUILD_B" >&2; exit 2; }
  exec xvfb-run -a -s "-screen 0 1280x800x24 -noreset" bash "$0" --inside "$(realpath "$1")" "$(realpath "$2")"
fi
if [ -n "${SHOTS:-}" ]; then
  shots=$SHOTS
  mkdir -p "$shots"
else
  shots=$(mktemp -d)
  trap 'rm -rf "$shots"' EXIT
fi

photograph() {
  local build=$1 name=$2
  (
    cd "$build"
    . "$root/scripts/kiosk.sh"
    start_kiosk 1280 800
    # The pointer rests on the panel, away from every painted animal.
    xdotool mousemove --window "$main_window" 1200 400
    sleep 2
    import -window root "$shots/$name-start.png"
    # The butterfly on the second north panel, clicked, then left alone: the
    # flight ends and the pointer goes back to the panel.
    xdotool mousemove --window "$main_window" 361 88 sleep 0.3 mousemove --window "$main_window" 366 88 sleep 1 click 1
    sleep 5
    xdotool mousemove --window "$main_window" 1200 400
    sleep 2
    import -window root "$shots/$name-flight.png"
    kill "$program"
    wait "$program" 2>/dev/null || true
  )
}

photograph "$2" a
photograph "$3" b
for view in start flight; do
  # The largest of the three channel differences, pixel by pixel.
  convert "$shots/a-$view.png" "$shots/b-$view.png" -compose difference -composite \
          -channel RGB -separate -evaluate-sequence max "$shots/$view-difference.png"
  largest=$(convert "$shots/$view-difference.png" -format '%[fx:round(255 * maxima)]' info:)
  # A threshold half way between one and two levels.
  over=$(convert "$shots/$view-difference.png" -threshold 0.59% -format '%[fx:round(mean * w * h)]' info:)
  echo "$view: largest difference $largest levels; pixels more than one level apart: $over"
done
