#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a normal build with GCC, and a
# clang build with AddressSanitizer, UndefinedBehaviorSanitizer and the libFuzzer targets.
# Each test starts what it needs itself (X server, window manager, sound server).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh" || exit 1
jobs=$(nproc 2>/dev/null || echo 2)
status=0

echo "== normal build"
if bash "$root/scripts/build.sh" build -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++; then
  (cd "$root/build" && ctest --output-on-failure -j "$jobs") || status=1
else
  status=1
fi

echo "== sanitizer and fuzzing build (clang, ASan + UBSan)"
if bash "$root/scripts/build.sh" build-asan -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DNQ_SANITIZE=ON -DNQ_FUZZ=ON -DNQ_BENCH=OFF; then
  (cd "$root/build-asan" &&
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      ctest --output-on-failure -j "$jobs") || status=1
else
  status=1
fi

if [ "$status" -eq 0 ]; then echo "all test runs passed"; else echo "some tests failed" >&2; fi
exit "$status"
