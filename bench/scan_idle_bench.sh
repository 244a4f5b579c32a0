#!/usr/bin/env bash
# The player at rest on the 441-pictogram board of instant_boards_bench.sh: peak resident memory once
# the board and every picture are shown (empty and warm picture cache), and processor
# time of the window thread during automatic scanning at 100 ms steps. Medians of RUNS starts (default 5), each scanning for
# SECONDS (default 20). The picture sets are made once into $NQ_BENCH_PICTURES (default
# ~/.cache/nexoquadrix-bench). Usage: bench/scan_idle_bench.sh BUILD_DIR [RUNS] [SECONDS]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
runs=${2:-5}
seconds=${3:-20}
if [ -z "${NQ_IN_SESSION:-}" ]; then
  cmake --build "$build" --target make_bench_pictures nexoquadrix > /dev/null || exit 1
  pictures=${NQ_BENCH_PICTURES:-${XDG_CACHE_HOME:-$HOME/.cache}/nexoquadrix-bench}
  "$build/bench/make_bench_pictures" "$pictures" > /dev/null || exit 1
  exec env NQ_IN_SESSION=1 NQ_BENCH_PICTURES="$pictures" bash "$root/tests/e2e/session.sh" bash "$0" "$build" "$runs" "$seconds"
fi
player="$build/bin/nexoquadrix"
board="$NQ_BENCH_PICTURES/pictograms.qdx"
work=$(mktemp -d /tmp/nq-scan-idle.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/cache"
export NEXOQUADRIX_CONFIG_DIR="$work/config" XDG_CACHE_HOME="$work/cache" NEXOQUADRIX_TIMING=1
hz=$(getconf CLK_TCK)
median() { sort -n | awk '{a[NR]=$1} END {if (NR) print a[int((NR+1)/2)]; else print "none"}'; }
# The window thread's processor time: scanning runs there, while the speech service's voices may
# still be listed on a thread of their own for many seconds after the start.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/task/$1/stat"; }

# Starts the player on the board (scan step 1 tenth of a second) and waits for every picture.
start() {
  printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n' > "$work/config/nexoquadrix.ini"
  printf '[quadrix]\r\nD\xe8cimes de segon que dura el pas d'"'"'escaneig=1\r\n' > "$work/config/Quadrix.ini"
  "$player" "$board" > "$work/run.log" 2>&1 &
  pid=$!
  for _ in $(seq 1 200); do
    grep -q pictures-paint-ms "$work/run.log" 2> /dev/null && break
    sleep 0.05
  done
}

start # fills the picture cache
kill "$pid"
wait "$pid" 2> /dev/null
echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at start"
for i in $(seq 1 "$runs"); do
  rm -rf "$work/cold" && mkdir "$work/cold"
  XDG_CACHE_HOME="$work/cold" start
  awk '$1 == "VmHWM:" {print $2}' "/proc/$pid/status" >> "$work/peak-cold.txt"
  kill "$pid"
  wait "$pid" 2> /dev/null
  start
  sleep 2.5 # the splash goes
  awk '$1 == "VmHWM:" {print $2}' "/proc/$pid/status" >> "$work/peak.txt"
  # "Barrido automático", the first item of the "Control" menu, as a person starts it.
  window=$(xdotool search --onlyvisible --name 'NexoQuadrix - ' 2> /dev/null | head -n 1)
  X=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left X: *//p')
  Y=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left Y: *//p')
  xdotool mousemove $((X + 150)) $((Y + 10)) click 1
  sleep 0.5
  xdotool key Down Return
  sleep 2
  grep -q 'MenuEscaneigAutomatic.Checked=1' "$work/config/nexoquadrix.ini" || echo "(run $i: automatic scanning did not start)"
  t0=$(cpu_ticks "$pid")
  sleep "$seconds"
  t1=$(cpu_ticks "$pid")
  awk -v d=$((t1 - t0)) -v hz="$hz" -v s="$seconds" 'BEGIN {printf "%.2f\n", d * 100 / hz / s}' >> "$work/scan.txt"
  kill "$pid"
  wait "$pid" 2> /dev/null
done
echo "peak RSS on the pictogram board, empty cache: median $(($(median < "$work/peak-cold.txt") / 1024)) MB ($(sort -n "$work/peak-cold.txt" | tr '\n' ' ')kB)"
echo "peak RSS on the pictogram board, warm cache: median $(($(median < "$work/peak.txt") / 1024)) MB ($(sort -n "$work/peak.txt" | tr '\n' ' ')kB)"
echo "automatic scanning at 100 ms steps (window thread): median $(median < "$work/scan.txt") % of one core ($(sort -n "$work/scan.txt" | tr '\n' ' '))"
echo "machine load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
