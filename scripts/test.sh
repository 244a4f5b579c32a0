#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a normal build with GCC, and a
# clang build with AddressSanitizer, UndefinedBehaviorSanitizer and the libFuzzer targets.
# Each test starts what it needs itself (X server, window manager, sound server).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh" || exit 1
jobs=$(nproc 2>/dev/null || echo 2)
status=0
summaries=()
all_passed=0
all_failed=0

# Runs ctest in a build folder and keeps its closing summary line.
run_suite() {
  local dir=$1 label=$2 log
  log=$(mktemp)
  (cd "$root/$dir" && ctest --output-on-failure -j "$jobs" --timeout 600) 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  local line
  line=$(grep -E 'tests passed|tests failed' "$log" | tail -n 1)
  summaries+=("$label: $line")
  # The names of failed tests go into the closing summary too, where a truncated log still shows them.
  local failed_names
  failed_names=$(sed -n '/The following tests FAILED:/,$p' "$log" | grep -E '^[[:space:]]+[0-9]+ - ' || true)
  [ -n "$failed_names" ] && summaries+=("$failed_names")
  # "N% tests passed, F tests failed out of T": keep the counts for the closing line.
  local failed total
  failed=$(sed -n 's/.* \([0-9]*\) tests failed out of \([0-9]*\).*/\1/p' <<< "$line")
  total=$(sed -n 's/.* tests failed out of \([0-9]*\).*/\1/p' <<< "$line")
  if [ -n "$total" ]; then
    all_failed=$((all_failed + failed))
    all_passed=$((all_passed + total - failed))
  fi
  rm -f "$log"
}

echo "== normal build (GCC)"
if bash "$root/scripts/build.sh" build -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++; then
  run_suite build "normal build"
else
  status=1
  summaries+=("normal build: did not build")
fi

echo "== sanitizer and fuzzing build (clang, ASan + UBSan)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_odr_violation=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
if bash "$root/scripts/build.sh" build-asan -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DNQ_SANITIZE=ON -DNQ_FUZZ=ON -DNQ_BENCH=OFF; then
  run_suite build-asan "sanitizer build"
else
  status=1
  summaries+=("sanitizer build: did not build")
fi

echo "== summary"
printf '%s\n' "${summaries[@]}"
# A build that failed counts as a failure even when no test could run.
[ "$status" -ne 0 ] && [ "$all_failed" -eq 0 ] && all_failed=1
echo "tests: $all_passed passed, $all_failed failed"
exit "$status"
