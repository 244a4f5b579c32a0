#!/usr/bin/env bash
# Processor time of the player's window thread while the pointer rests on a cell of a 5 x 4 picture
# board with the dwell click on (1 s ticks, so a click every 2 s), with the dwell progress bar on and
# off: the difference is what the bar costs. Medians of RUNS starts (default 3), each dwelling for
# SECONDS (default 15). Usage: bench/dwell_idle_bench.sh BUILD_DIR [RUNS] [SECONDS]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
runs=${2:-3}
seconds=${3:-15}
if [ -z "${NQ_IN_SESSION:-}" ]; then
  cmake --build "$build" --target nexoquadrix > /dev/null || exit 1
  exec env NQ_IN_SESSION=1 bash "$root/tests/e2e/session.sh" bash "$0" "$build" "$runs" "$seconds"
fi
player="$build/bin/nexoquadrix"
board="$root/data/boards/es/comida.qdx"
work=$(mktemp -d /tmp/nq-dwell-idle.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/cache"
export NEXOQUADRIX_CONFIG_DIR="$work/config" XDG_CACHE_HOME="$work/cache"
hz=$(getconf CLK_TCK)
median() { sort -n | awk '{a[NR]=$1} END {if (NR) print a[int((NR+1)/2)]; else print "none"}'; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/task/$1/stat"; }

# One run: the player dwelling on a cell with the bar on ($1 = 1) or off ($1 = 0); prints % of a core.
run() {
  printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n[Menu Options]\r\nMenuSpeak.Checked=NO\r\n' > "$work/config/nexoquadrix.ini"
  printf '[Menu Control]\r\nMenuClicAutomaticALEstarEnUnacasella.Checked=1\r\n' >> "$work/config/nexoquadrix.ini"
  printf '[Visual Access]\r\nDwell Progress=%s\r\n' "$1" >> "$work/config/nexoquadrix.ini"
  printf '[quadrix]\r\nMilisegons Clic Automatic=1000\r\n' > "$work/config/Quadrix.ini"
  "$player" "$board" > "$work/run.log" 2>&1 &
  pid=$!
  sleep 4 # the splash goes, the pictures are shown
  window=$(xdotool search --onlyvisible --name 'NexoQuadrix - ' 2> /dev/null | head -n 1)
  X=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left X: *//p')
  Y=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left Y: *//p')
  W=$(xwininfo -id "$window" | sed -n 's/.*Width: *//p')
  H=$(xwininfo -id "$window" | sed -n 's/.*Height: *//p')
  # A cell in the middle of the grid, away from the bars.
  xdotool mousemove $((X + W / 2)) $((Y + H / 2))
  sleep 1
  t0=$(cpu_ticks "$pid")
  sleep "$seconds"
  t1=$(cpu_ticks "$pid")
  awk -v d=$((t1 - t0)) -v hz="$hz" -v s="$seconds" 'BEGIN {printf "%.2f\n", d * 100 / hz / s}'
  kill "$pid"
  wait "$pid" 2> /dev/null
}

echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at start"
for i in $(seq 1 "$runs"); do
  run 1 >> "$work/on.txt"
  run 0 >> "$work/off.txt"
done
echo "dwelling with the progress bar (window thread): median $(median < "$work/on.txt") % of one core ($(sort -n "$work/on.txt" | tr '\n' ' '))"
echo "dwelling without it (window thread): median $(median < "$work/off.txt") % of one core ($(sort -n "$work/off.txt" | tr '\n' ' '))"
echo "machine load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
