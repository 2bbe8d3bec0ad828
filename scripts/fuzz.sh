#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang as libFuzzer programs
# (AddressSanitizer and UndefinedBehaviorSanitizer on) into build-fuzz/ and
# runs each for the given number of seconds (default 30), starting from its
# seed corpus. New inputs collect in build-fuzz/corpus/<target>/, crashing
# inputs in build-fuzz/crashes/<target>/. Non-zero exit status when any
# target found a crash.
#   scripts/fuzz.sh [seconds] [target...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-30}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(legacy service_reply pouch reminder cipher cp1252)

# clang and its libFuzzer runtime are needed only here, never by the
# normal build.
"$root/scripts/install-missing.sh" clang libclang-rt-dev

out="$root/build-fuzz"
flags="-O1 -g -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
if [ ! -f "$out/CMakeCache.txt" ]; then
  CXX=clang++ cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=Debug -DVELMORA_FUZZ=ON \
    -DVELMORA_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
fi
cmake --build "$out" -j "$(nproc 2>/dev/null || echo 2)" --target "${targets[@]/#/fuzz_}"

export TZ=Europe/Helsinki
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for t in "${targets[@]}"; do
  mkdir -p "$out/corpus/$t" "$out/crashes/$t"
  echo "== $t: ${seconds}s"
  if ! "$out/bin/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$out/crashes/$t/" "$out/corpus/$t" "$root/tests/fuzz/corpus/$t" \
      >"$out/fuzz_$t.log" 2>&1; then
    failed+=("$t")
  fi
  grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|stat::new_units_added|stat::peak_rss_mb)|^SUMMARY|^==[0-9]+==ERROR|runtime error' \
    "$out/fuzz_$t.log" || true
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "Crashes in: ${failed[*]} (inputs in $out/crashes/, logs $out/fuzz_<target>.log)"
  exit 1
fi
echo "No crashes."
