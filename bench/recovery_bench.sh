#!/usr/bin/env bash
# Time from a crash of the player to the board it showed back on screen, under a private Xvfb
# session: the player is killed with SIGSEGV (then SIGKILL, alternately) while showing a board
# reached through a link, and the clock stops when a new player paints that board again. Each
# crash comes 11 s after the last start, so the supervisor never takes the series for a crash loop.
# The clock stops only once the new player has reported its first complete paint and the board's
# colour is on screen.
# Prints each time and the median of 10. Usage: bench/recovery_bench.sh BUILD_DIR   (e.g. build)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
if [ -z "${DISPLAY:-}" ] || [ -z "${NQ_IN_SESSION:-}" ]; then
  exec env NQ_IN_SESSION=1 bash "$root/tests/e2e/session.sh" bash "$0" "$build"
fi
player="$build/bin/nexoquadrix"
work=$(mktemp -d /tmp/nq-bench-recovery.XXXXXX)
sup=""
trap '[ -n "$sup" ] && kill "$sup" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/boards"
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n' > "$work/config/nexoquadrix.ini"
convert -size 80x80 xc:'#0000FF' "$work/boards/blau.png"
convert -size 80x80 xc:'#00FF00' "$work/boards/verd.png"
board() { # CAPTION PICTURE LINK
  printf '[Quadrix]\nName=Quadrix\nautor=Vellumor\n[Position]\nLeft=0\nTop=0\nWidth=600\nHeight=400\n'
  printf '[Grid]\nColumns=1\nRows=1\n[Menu Options 2]\nShow Button Bar=0\nShow Message Bar=0\nMenuQdxPosition=5\n'
  printf '[Cell 1]\nCaption=%s\nPicture=%s\nLink=%s\nFrame cell color=0\n' "$1" "$2" "$3"
}
board Blau blau.png verd.qdx | sed 's/$/\r/' > "$work/boards/blau.qdx"
board Verd verd.png '' | sed 's/$/\r/' > "$work/boards/verd.qdx"

green_pixels() {
  import -window root -crop 600x400+0+0 "$work/shot.png" 2>/dev/null
  convert "$work/shot.png" -fill black +opaque '#00FF00' -fill white -opaque '#00FF00' -format '%[fx:mean*w*h]' info: |
    cut -d. -f1
}
window_pid() {
  local id
  id=$(xdotool search --onlyvisible --name 'NexoQuadrix - ' 2>/dev/null | head -n 1)
  [ -n "$id" ] && xdotool getwindowpid "$id" 2>/dev/null
}
median() { sort -n | awk '{a[NR]=$1} END {if (NR) print a[int((NR+1)/2)]; else print "none"}'; }

NEXOQUADRIX_TIMING=1 NEXOQUADRIX_CONFIG_DIR="$work/config" "$player" "$work/boards/blau.qdx" > "$work/player.log" 2>&1 &
sup=$!
for _ in $(seq 1 100); do [ -n "$(window_pid)" ] && break; sleep 0.1; done
sleep 2.5
xdotool mousemove 300 200 click 1
sleep 1
[ "$(green_pixels)" -gt 5000 ] || { echo "the green board did not open"; exit 1; }
: > "$work/times"
for round in $(seq 1 10); do
  sleep 11
  old=$(window_pid)
  signal=SEGV
  [ $((round % 2)) -eq 0 ] && signal=KILL
  paints=$(grep -c '^first-paint-ms' "$work/player.log")
  start=$(date +%s%N)
  kill -"$signal" "$old"
  back=""
  for _ in $(seq 1 400); do
    pid=$(window_pid)
    # The new player must have painted itself: the dead one's pixels may linger on the screen.
    if [ -n "$pid" ] && [ "$pid" != "$old" ] && [ "$(grep -c '^first-paint-ms' "$work/player.log")" -gt "$paints" ] &&
      [ "$(green_pixels)" -gt 5000 ]; then
      back=$((($(date +%s%N) - start) / 1000000))
      break
    fi
    sleep 0.02
  done
  [ -n "$back" ] || { echo "round $round: the board did not come back"; cat "$work/player.log"; exit 1; }
  own=$(grep '^first-paint-ms' "$work/player.log" | tail -n 1 | cut -d' ' -f2)
  echo "round $round (SIG$signal): board back after $back ms (the new player's first complete paint $own ms after its start)"
  echo "$back" >> "$work/times"
done
echo "crash to board back on screen: median $(median < "$work/times") ms of 10"
