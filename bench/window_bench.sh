#!/usr/bin/env bash
# Whole-program figures of the window, under a private Xvfb session:
#   start-up to the first complete paint of the demo home board (median of 7 starts),
#   pointer move over a new cell to the repainted frame on a 21 x 21 board with pictures (median),
#   processor time of the idle player over 10 s (no scanning),
#   start-up to the first paint again with a speech-dispatcher service running and with none (its
#   voices are listed on a worker thread, so neither should differ from the first figure),
#   processor time over 10 s while automatic scanning steps every 100 ms on the 21 x 21 board.
# Usage: bench/window_bench.sh BUILD_DIR     (e.g. build)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
if [ -z "${DISPLAY:-}" ] || [ -z "${NQ_IN_SESSION:-}" ]; then
  exec env NQ_IN_SESSION=1 bash "$root/tests/e2e/session.sh" bash "$0" "$build"
fi
player="$build/bin/nexoquadrix"
work=$(mktemp -d /tmp/nq-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config"
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n' > "$work/config/nexoquadrix.ini"
cp -r "$root/data" "$work/data"
# The figures are the player's own, not its supervisor's.
export NEXOQUADRIX_CONFIG_DIR="$work/config" NEXOQUADRIX_TIMING=1 NEXOQUADRIX_NO_SUPERVISOR=1

median() { sort -n | awk '{a[NR]=$1} END {if (NR) print a[int((NR+1)/2)]; else print "none"}'; }

first_paint() { # $1: file collecting the figures
  for _ in 1 2 3 4 5 6 7; do
    "$player" "$work/data/boards/ca/inici.qdx" > "$work/start.log" 2>/dev/null &
    pid=$!
    for _ in $(seq 1 50); do grep -q first-paint-ms "$work/start.log" && break; sleep 0.1; done
    kill "$pid"; wait "$pid" 2>/dev/null
    sed -n 's/^first-paint-ms //p' "$work/start.log" >> "$1"
  done
}
first_paint "$work/start.txt"
echo "start-up to first paint of the home board: median $(median < "$work/start.txt") ms"

# A 21 x 21 board, every cell with a caption and a picture from the demo set.
python3 - "$work" <<'PY'
import os, sys
work = sys.argv[1]
pictures = sorted(p for p in os.listdir(os.path.join(work, "data", "pictures")) if p.endswith(".png"))
lines = ["[Quadrix]", "Name=Quadrix", "autor=Vellumor", "[Position]", "Left=0", "Top=0", "Width=1280",
         "Height=800", "[Grid]", "Columns=21", "Rows=21", "[Menu Options 2]", "MenuQdxPosition=1"]
for n in range(1, 442):
    lines += [f"[Cell {n}]", f"Caption=C{n}", f"Picture=..\\pictures\\{pictures[n % len(pictures)]}",
              "Frame cell color=0", "Font Size=8"]
open(os.path.join(work, "data", "boards", "gran.qdx"), "w", newline="\r\n").write("\n".join(lines) + "\n")
PY
"$player" "$work/data/boards/gran.qdx" > "$work/hover.log" 2>/dev/null &
pid=$!
sleep 4
for i in $(seq 0 199); do
  xdotool mousemove $((30 + (i % 20) * 60)) $((120 + (i / 20 % 10) * 60))
  sleep 0.05
done
sleep 0.5
sed -n 's/^hover-paint-us //p' "$work/hover.log" > "$work/hover.txt"
echo "pointer move to repainted frame on 21 x 21 with pictures: median $(median < "$work/hover.txt") us over $(wc -l < "$work/hover.txt") moves"

ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
xdotool mousemove 5 795
sleep 2
t0=$(ticks)
sleep 10
t1=$(ticks)
hz=$(getconf CLK_TCK)
echo "idle processor time over 10 s: $(( (t1 - t0) * 1000 / hz )) ms ($(awk -v d=$((t1 - t0)) -v hz="$hz" 'BEGIN {printf "%.2f", d * 100 / hz / 10}') % of one core)"
kill "$pid"; wait "$pid" 2>/dev/null

# Start-up against the desktop speech service: running and answering, then absent. The player's
# speech library starts the service itself when it can (so the first figure above mixes both); an
# address where nothing listens keeps it from doing so.
spd_pidfile="$XDG_RUNTIME_DIR/speech-dispatcher/pid/speech-dispatcher.pid"
speech-dispatcher -d > /dev/null 2>&1
sleep 1
if [ -s "$spd_pidfile" ] && kill -0 "$(cat "$spd_pidfile")" 2>/dev/null; then
  first_paint "$work/start-spd.txt"
  echo "start-up to first paint with speech-dispatcher running: median $(median < "$work/start-spd.txt") ms"
  kill "$(cat "$spd_pidfile")" 2>/dev/null
  sleep 0.5
else
  echo "start-up to first paint with speech-dispatcher running: not measured (the service did not start)"
fi
SPEECHD_ADDRESS="unix_socket:$work/no-speechd.sock" first_paint "$work/start-nospd.txt"
echo "start-up to first paint without speech-dispatcher: median $(median < "$work/start-nospd.txt") ms"

# Automatic scanning on the 21 x 21 board, one step every 100 ms (scan step 1, in tenths of a second).
printf '[quadrix]\r\nD\xe8cimes de segon que dura el pas d'"'"'escaneig=1\r\n' > "$work/config/Quadrix.ini"
"$player" "$work/data/boards/gran.qdx" > "$work/scan.log" 2>/dev/null &
pid=$!
window=""
for _ in $(seq 1 100); do
  window=$(xdotool search --onlyvisible --name 'NexoQuadrix - ' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.1
done
sleep 3
X=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left X: *//p')
Y=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left Y: *//p')
xdotool mousemove $((X + 150)) $((Y + 10)) click 1
sleep 0.5
xdotool key Down Return
sleep 2
t0=$(ticks)
sleep 10
t1=$(ticks)
scanning=no
grep -q 'MenuEscaneigAutomatic.Checked=1' "$work/config/nexoquadrix.ini" && scanning=yes
echo "scanning processor time over 10 s (100 ms steps, 21 x 21 with pictures): $(( (t1 - t0) * 1000 / hz )) ms \
($(awk -v d=$((t1 - t0)) -v hz="$hz" 'BEGIN {printf "%.2f", d * 100 / hz / 10}') % of one core; automatic scanning stored: $scanning)"
kill "$pid"; wait "$pid" 2>/dev/null
# The player's speech library may have started the service; stop it with the session.
[ -s "$spd_pidfile" ] && kill "$(cat "$spd_pidfile")" 2>/dev/null
