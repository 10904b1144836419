#!/usr/bin/env bash
# Builds the fuzz targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# into build-fuzz/ (BUILD_DIR) and runs each one for SECONDS seconds (default 60)
# on its committed corpus in fuzz/corpus/, with its dictionary. The committed
# corpus is read, never written: new inputs go to a scratch folder (CORPUS_OUT,
# default build-fuzz/corpus/). Fails on the first crash, leak-free or not; the
# crashing input is left in build-fuzz/ as crash-*; an input on which a reader
# ended the process itself is left in the scratch room folder the log names.
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]    TARGET: database obj scene detailmap
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(database obj scene detailmap)
build=${BUILD_DIR:-build-fuzz}
out=$(realpath -m "${CORPUS_OUT:-$build/corpus}")
root=$(pwd)

bash scripts/install-deps.sh >/dev/null || exit 1
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DPELLAVIO_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null || exit 1
cmake --build "$build" -j2 --target fuzz_targets >/dev/null || exit 1

# Some objects live until the process ends by design, so leaks are not reported.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
for target in "${targets[@]}"; do
  mkdir -p "$out/$target"
  log="$build/fuzz_$target.log"
  (cd "$build" && "./fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
     -dict="$root/fuzz/dict/$target.dict" "$out/$target" "$root/fuzz/corpus/$target") \
     >"$log" 2>&1
  result=$?
  runs=$(grep -oE '^#[0-9]+' "$log" | tail -n 1)
  cover=$(grep -oE 'cov: [0-9]+' "$log" | tail -n 1)
  echo "fuzz_$target: ${runs#\#} runs in ${seconds} s, ${cover:-cov: ?}, status $result"
  if [ $result -ne 0 ]; then
    grep -m 1 '^Scratch room folder' "$log"
    tail -n 40 "$log"
    status=1
  fi
done
exit $status
