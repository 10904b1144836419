#!/usr/bin/env bash
# A scripted visitor in front of the kiosk: the program runs on the demo room
# under a virtual X display while xdotool points at the walls, flies to what it
# finds and back, zooms, and now and then reads the database again (F5) and
# reloads the shaders (S). The program's resident memory is sampled every few
# seconds; after the warm-up it must stay flat.
#
#   bash bench/soak.sh [SECONDS] [--here]
#
# SECONDS defaults to 1200 (20 minutes); the test suite runs 60 with --here, on
# the virtual display it already has to itself, instead of starting another.
#
# Prints the samples and a summary line. Fails when the program ends, or when
# memory grows after the warm-up by more than 5 MB per hour (runs of 10 minutes
# or more) or by more than LIMIT_MB (default 8) in all (shorter runs, where a
# rate would be noise).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-build}
case "$build_dir" in /*) ;; *) build_dir="$root/$build_dir" ;; esac
seconds=${1:-1200}
width=1280
height=800

if [ "${2:-}" != "--inside" ] && [ "${2:-}" != "--here" ]; then
  [ -x "$build_dir/pellavio" ] || { echo "Build the program first: $build_dir/pellavio is missing." >&2; exit 1; }
  exec xvfb-run -a -s "-screen 0 ${width}x${height}x24" bash "$0" "$seconds" --inside
fi

warmup=${WARMUP:-$(( seconds / 4 < 300 ? seconds / 4 : 300 ))}
limit_mb=${LIMIT_MB:-8}
interval=5
cd "$build_dir"
. "$root/scripts/kiosk.sh"
start_kiosk "$width" "$height"
sleep 2

rss_kb() { sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$program/status"; }

# One visit: a look along the walls, a flight to whatever is under the pointer
# and back, some zooming. The view fills the left part of the window.
RANDOM=1
visit() {
  local cycle=$1
  for _ in 1 2 3 4 5 6; do
    xdotool mousemove --window "$main_window" $(( 40 + RANDOM % 560 )) $(( 40 + RANDOM % 700 ))
    sleep 0.25
  done
  xdotool click 1
  sleep 1.2
  xdotool click 3
  sleep 1.2
  xdotool click --repeat 3 4 click --repeat 3 5
  if (( cycle % 5 == 0 )); then xdotool key F5; fi
  if (( cycle % 7 == 0 )); then xdotool key s; fi
}

start=$(date +%s)
next_sample=0
samples=()
cycle=0
echo "seconds rss_mb"
while :; do
  now=$(( $(date +%s) - start ))
  (( now < seconds )) || break
  kill -0 "$program" 2>/dev/null || { echo "The program ended during the soak." >&2; exit 1; }
  if (( now >= next_sample )); then
    rss=$(rss_kb)
    samples+=("$now $rss")
    awk -v t="$now" -v r="$rss" 'BEGIN { printf "%d %.1f\n", t, r / 1024 }'
    next_sample=$(( now + interval ))
  fi
  cycle=$(( cycle + 1 ))
  visit "$cycle"
done

# Growth after the warm-up: the least-squares slope of the samples, and the
# difference between the mean of the last and the first five.
printf '%s\n' "${samples[@]}" | awk -v warmup="$warmup" -v seconds="$seconds" -v limit="$limit_mb" '
  $1 >= warmup { n++; t[n] = $1; r[n] = $2 / 1024; st += $1; sr += r[n]; str += $1 * r[n]; stt += $1 * $1 }
  END {
    if (n < 4) { print "Too few samples after the warm-up."; exit 1 }
    slope = (n * str - st * sr) / (n * stt - st * st) * 3600
    k = n < 10 ? 2 : 5
    for (i = 1; i <= k; i++) { first += r[i] / k; last += r[n - k + i] / k }
    printf "Resident memory after %d s of warm-up: %.1f MB, at the end %.1f MB: %+.1f MB in %d s, %+.1f MB per hour\n",
           warmup, first, last, last - first, t[n] - t[1], slope
    if (seconds >= 600 ? slope > 5 : last - first > limit) { print "Memory grows."; exit 1 }
  }'
