#!/usr/bin/env bash
# Sound switch latency and listening cost under a private sound server: runs bench_sound_latency
# inside tests/e2e/session.sh, whose pipe source "mic" the benchmark writes into.
# Usage: bench/sound_latency_bench.sh BUILD_DIR [benchmark options...]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
shift || true
exec bash "$root/tests/e2e/session.sh" "$build/bench/bench_sound_latency" "$@"
