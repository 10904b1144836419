#!/usr/bin/env bash
# Runs every function of every test program alone, one process each, to show
# that no test depends on what another left behind. Run from the build folder
# (the tests' working directory), under a display for the GL and window tests:
#
#   cd build && xvfb-run -a -s "-screen 0 1280x1024x24" bash ../scripts/each-test-function.sh
set -uo pipefail

failed=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT
for program in tests/tst_*; do
  [ -x "$program" ] || continue
  for function in $("$program" -functions 2>/dev/null | sed -n 's/()$//p'); do
    if ! "$program" "$function" > "$log" 2>&1; then
      echo "FAIL: $program $function"
      tail -n 20 "$log"
      failed=1
    fi
  done
done
[ "$failed" -eq 0 ] && echo "Every test function passes alone."
exit "$failed"
