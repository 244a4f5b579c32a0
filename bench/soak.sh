#!/usr/bin/env bash
# Soak of the real player under a private Xvfb session: automatic scanning every 100 ms on two
# boards that link to each other, a switch press every second or so (selections that speak and
# change boards), for MINUTES minutes. Samples the player's resident memory, open file handles and
# threads once a minute and prints them with the first and last figures.
# Usage: bench/soak.sh BUILD_DIR MINUTES     (e.g. bench/soak.sh build 30)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
minutes=${2:-30}
if [ -z "${DISPLAY:-}" ] || [ -z "${NQ_IN_SESSION:-}" ]; then
  exec env NQ_IN_SESSION=1 bash "$root/tests/e2e/session.sh" bash "$0" "$build" "$minutes"
fi
player="$build/bin/nexoquadrix"
work=$(mktemp -d /tmp/nq-soak.XXXXXX)
sup=""
trap '[ -n "$sup" ] && kill "$sup" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/boards"
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n' > "$work/config/nexoquadrix.ini"
# One scan step every tenth of a second.
printf '[quadrix]\r\nD\xe8cimes de segon que dura el pas d'"'"'escaneig=1\r\n' > "$work/config/Quadrix.ini"
for colour in red green blue yellow; do convert -size 120x120 "xc:$colour" "$work/boards/$colour.png"; done
words=(hola adeu si no aigua menjar casa escola mare pare avui dema gana son fred calor)
board() { # OTHER BOARD
  printf '[Quadrix]\nName=Quadrix\nautor=Vellumor\n[Position]\nLeft=0\nTop=0\nWidth=700\nHeight=500\n'
  printf '[Grid]\nColumns=4\nRows=4\n[Menu Options 2]\nShow Button Bar=1\nShow Message Bar=1\n'
  local pictures=(red green blue yellow)
  for n in $(seq 1 16); do
    printf '[Cell %d]\nCaption=%s\nRead=%s\nPicture=%s.png\n' "$n" "${words[n - 1]}" "${words[n - 1]}" \
      "${pictures[n % 4]}"
    [ $((n % 3)) -eq 0 ] && printf 'Link=%s\n' "$1"
  done
}
board b.qdx | sed 's/$/\r/' > "$work/boards/a.qdx"
board a.qdx | sed 's/$/\r/' > "$work/boards/b.qdx"

NEXOQUADRIX_CONFIG_DIR="$work/config" "$player" "$work/boards/a.qdx" > "$work/player.log" 2>&1 &
sup=$!
window=""
for _ in $(seq 1 100); do
  window=$(xdotool search --onlyvisible --name 'NexoQuadrix - ' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the player did not start"; cat "$work/player.log"; exit 1; }
pid=$(xdotool getwindowpid "$window")
sleep 3
X=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left X: *//p')
Y=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left Y: *//p')
xdotool mousemove $((X + 150)) $((Y + 10)) click 1 # the Control menu, then its first item
sleep 0.5
xdotool key Down Return
sleep 2
grep -q 'MenuEscaneigAutomatic.Checked=1' "$work/config/nexoquadrix.ini" || echo "warning: automatic scanning not stored"
sample() {
  local rss fds threads
  rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
  fds=$(ls "/proc/$pid/fd" | wc -l)
  threads=$(awk '/Threads/ {print $2}' "/proc/$pid/status")
  echo "$rss $fds $threads"
}
read -r rss0 fds0 threads0 <<< "$(sample)"
echo "minute 0: RSS $rss0 kB, $fds0 file handles, $threads0 threads"
end=$(($(date +%s) + minutes * 60))
next=$(($(date +%s) + 60))
minute=0
presses=0
while [ "$(date +%s)" -lt "$end" ]; do
  kill -0 "$pid" 2>/dev/null || { echo "the player died during the soak"; tail "$work/player.log"; exit 1; }
  xdotool mousemove $((X + 350)) $((Y + 250)) click 1
  presses=$((presses + 1))
  sleep "0.$((RANDOM % 9 + 6))"
  if [ "$(date +%s)" -ge "$next" ]; then
    minute=$((minute + 1))
    next=$((next + 60))
    read -r rss fds threads <<< "$(sample)"
    echo "minute $minute: RSS $rss kB, $fds file handles, $threads threads, $presses switch presses"
  fi
done
read -r rss1 fds1 threads1 <<< "$(sample)"
echo "soak of $minutes min, $presses switch presses: RSS $rss0 -> $rss1 kB, file handles $fds0 -> $fds1, threads $threads0 -> $threads1"
grep -q "es torna a obrir" "$work/player.log" && echo "the player was restarted during the soak" && exit 1
exit 0
