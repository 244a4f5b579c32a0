#!/usr/bin/env bash
# Configures and builds one build folder: build.sh FOLDER [cmake options...]
# NQ_TARGETS="a b" builds only those targets (and what they link); names this build does not have
# are skipped, so a caller may list a program that is only built on some configurations.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
jobs=$(nproc 2>/dev/null || echo 2)
# A compiler cache, when the machine has one, makes rebuilds of several checkouts cheap.
launcher=()
command -v ccache > /dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$root/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" > "$root/$dir.configure.log" 2>&1 ||
  { cat "$root/$dir.configure.log"; exit 1; }
if [ -z "${NQ_TARGETS:-}" ]; then
  cmake --build "$root/$dir" -j "$jobs"
  exit
fi
known=$(cmake --build "$root/$dir" --target help | sed -n 's/^\([^ :]*\): .*/\1/p')
targets=()
for target in $NQ_TARGETS; do
  grep -qxF "$target" <<< "$known" && targets+=("$target")
done
((${#targets[@]})) || { echo "build: none of $NQ_TARGETS is in this build" >&2; exit 1; }
cmake --build "$root/$dir" -j "$jobs" --target "${targets[@]}"
