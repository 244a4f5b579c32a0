#!/usr/bin/env bash
# Runs every libFuzzer target of tests/fuzz for SECONDS each, one after the other, and prints for
# each its executions, coverage and crashes. Builds the targets first in build-fuzz (clang with
# AddressSanitizer and UndefinedBehaviorSanitizer) when they are missing or out of date. New inputs
# go to build-fuzz/tests/fuzz/corpus-NAME; crashes to build-fuzz/fuzz-crashes/NAME-* (add each to
# tests/fuzz/corpus/NAME as a seed, and a test). Exit status 1 when any target crashed.
# Usage: scripts/fuzz.sh SECONDS [TARGET...]     (targets by name: png, board, calc, ...)
set -u
seconds=${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}
shift
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NQ_FUZZ_BUILD:-$root/build-fuzz}
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for src in "$root"/tests/fuzz/*_fuzz.cpp; do
    name=$(basename "$src" _fuzz.cpp)
    names+=("$name")
  done
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
  launcher=()
  command -v ccache > /dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DNQ_FUZZ=ON -DNQ_SANITIZE=ON -DNQ_BENCH=OFF \
    -DNQ_BUILD_UI=OFF > "$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
fi
targets=()
for name in "${names[@]}"; do targets+=("fuzz_$name"); done
cmake --build "$build" -j "${NQ_FUZZ_JOBS:-2}" --target "${targets[@]}" > "$build/fuzz-build.log" 2>&1 ||
  { tail -n 30 "$build/fuzz-build.log"; exit 1; }

crashes_dir="$build/fuzz-crashes"
mkdir -p "$crashes_dir"
failed=0
printf '%-12s %12s %8s %8s %8s\n' target executions cov ft crashes
for name in "${names[@]}"; do
  corpus="$build/tests/fuzz/corpus-$name"
  mkdir -p "$corpus"
  log="$build/fuzz-$name.log"
  before=$(find "$crashes_dir" -name "$name-*" | wc -l)
  ASAN_OPTIONS=detect_leaks=1 "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$crashes_dir/$name-" \
    "$corpus" "$root/tests/fuzz/corpus/$name" > "$log" 2>&1
  status=$?
  found=$(($(find "$crashes_dir" -name "$name-*" | wc -l) - before))
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  printf '%-12s %12s %8s %8s %8s\n' "$name" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$found"
  if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
    failed=1
    grep -m 3 -E 'ERROR|SUMMARY' "$log"
  fi
done
[ "$failed" -eq 0 ] || { echo "crashes are in $crashes_dir"; exit 1; }
