#!/usr/bin/env bash
# Voice latency under a private sound server: runs bench_voice_latency inside tests/e2e/session.sh,
# which provides PulseAudio with the null sink "spk" that Ona and espeak-ng speak to.
# Usage: bench/voice_latency_bench.sh BUILD_DIR [benchmark options...]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
shift || true
exec bash "$root/tests/e2e/session.sh" "$build/bench/bench_voice_latency" "$@"
