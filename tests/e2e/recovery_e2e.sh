#!/usr/bin/env bash
# The real player under its supervisor: killed with SIGSEGV and then SIGKILL (as the out-of-memory
# killer does) it comes back by itself on the board it showed; a normal close ends it for good; a
# player that keeps crashing at once is given up with a message; without the supervisor nothing
# comes back; a player whose UI thread hangs is ended and brought back too; started with nohup, it
# outlives the terminal's hang-up. Run inside tests/e2e/session.sh.
# Usage: recovery_e2e.sh PLAYER [BLOCK_UI_LIBRARY]
set -u
player=$1
block_ui=${2:-}
work=$(mktemp -d /tmp/nq-e2e-recovery.XXXXXX)
sup=""
trap '[ -n "$sup" ] && kill "$sup" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/lib.sh"

mkdir -p "$work/config" "$work/boards"
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n' > "$work/config/nexoquadrix.ini"
convert -size 80x80 xc:'#0000FF' "$work/boards/blau.png"
convert -size 80x80 xc:'#00FF00' "$work/boards/verd.png"
# Two one-cell boards at the top-left corner: the blue one links to the green one.
board() { # NAME PICTURE LINK
  printf '[Quadrix]\nName=Quadrix\nautor=Vellumor\n[Position]\nLeft=0\nTop=0\nWidth=600\nHeight=400\n[Grid]\nColumns=1\nRows=1\n'
  printf '[Menu Options 2]\nShow Button Bar=0\nShow Message Bar=0\nMenuQdxPosition=5\n'
  printf '[Cell 1]\nCaption=%s\nPicture=%s\nLink=%s\nFrame cell color=0\n' "$1" "$2" "$3"
}
board Blau blau.png verd.qdx | sed 's/$/\r/' > "$work/boards/blau.qdx"
board Verd verd.png '' | sed 's/$/\r/' > "$work/boards/verd.qdx"

# Pixels of one exact colour in the window's corner of the screen (the splash may cover the rest).
colour_pixels() {
  import -window root -crop 600x400+0+0 "$work/shot.png" 2>/dev/null
  convert "$work/shot.png" -fill black +opaque "$1" -fill white -opaque "$1" -format '%[fx:mean*w*h]' info: |
    cut -d. -f1
}
# The pid that owns the player's visible main window, or nothing.
window_pid() {
  local id
  id=$(xdotool search --onlyvisible --name 'NexoQuadrix - ' 2>/dev/null | head -n 1)
  [ -n "$id" ] && xdotool getwindowpid "$id" 2>/dev/null
}
# Waits up to SECONDS (10) for a player other than OLD_PID showing the board of COLOUR; prints the
# milliseconds.
wait_back_on() {
  local old=$1 colour=$2 start now pid
  start=$(date +%s%N)
  for _ in $(seq 1 $((${3:-10} * 10))); do
    pid=$(window_pid)
    if [ -n "$pid" ] && [ "$pid" != "$old" ] && [ "$(colour_pixels "$colour")" -gt 5000 ]; then
      now=$(date +%s%N)
      echo $(((now - start) / 1000000))
      return 0
    fi
    sleep 0.1
  done
  return 1
}

LD_PRELOAD=$block_ui NEXOQUADRIX_NO_SUPERVISOR= NEXOQUADRIX_CONFIG_DIR="$work/config" "$player" "$work/boards/blau.qdx" \
  > "$work/player.log" 2>&1 &
sup=$!
window=$(wait_for_player_window)
[ -n "$window" ] || { cat "$work/player.log"; fail "the player's window did not appear"; }
sleep 2.5 # the splash hides itself after 2 s
[ "$(colour_pixels '#0000FF')" -gt 5000 ] || fail "the blue start board is not on screen"
client_geometry "$window"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
sleep 1
[ "$(colour_pixels '#00FF00')" -gt 5000 ] || fail "the link did not open the green board"

first=$(window_pid)
[ -n "$first" ] && [ "$first" != "$sup" ] || fail "the player does not run under a supervisor (pid $first)"
# Crashes more than 10 s after a start: each comes back on the board shown.
sleep 7
kill -SEGV "$first"
ms=$(wait_back_on "$first" '#00FF00') || { cat "$work/player.log"; fail "after SIGSEGV the player did not come back on the green board"; }
echo "SIGSEGV: back on the board it showed after $ms ms"
second=$(window_pid)
sleep 11
kill -KILL "$second"
ms=$(wait_back_on "$second" '#00FF00') || { cat "$work/player.log"; fail "after SIGKILL the player did not come back on the green board"; }
echo "SIGKILL: back on the board it showed after $ms ms"
grep -q "es torna a obrir" "$work/player.log" || fail "the supervisor did not say why it restarted"

# A UI thread that stops for good while the rest of the player runs on: after 10 s of silence the
# supervisor ends it and brings it back on the board it showed.
if [ -n "$block_ui" ]; then
  hung=$(window_pid)
  sleep 11 # a long run, so this does not count towards giving up
  kill -USR2 "$hung"
  ms=$(wait_back_on "$hung" '#00FF00' 30) || { cat "$work/player.log"; fail "a hung player did not come back on the green board"; }
  kill -0 "$hung" 2>/dev/null && fail "the hung player was left running"
  grep -q "no responia" "$work/player.log" || fail "the supervisor did not say the player hung"
  echo "UI thread blocked: back on the board it showed after $ms ms"
else
  echo "UI thread blocked: not tested (no library to block it in this build)"
fi

# Two crashes in a row at once: the first still comes back on the board shown, the second on the
# home board, in case the board is what brings the player down.
third=$(window_pid)
kill -SEGV "$third"
wait_back_on "$third" '#00FF00' > /dev/null || fail "after a quick crash the player did not come back on the green board"
fourth=$(window_pid)
kill -SEGV "$fourth"
wait_back_on "$fourth" '#0000FF' > /dev/null || fail "after a second quick crash the player did not come back on its home board"
echo "two quick crashes: back on the board shown, then on the home board"
sleep 11 # a long run again, so the close below is not taken for part of a crash loop

wmctrl -c 'NexoQuadrix - '
for _ in $(seq 1 50); do kill -0 "$sup" 2>/dev/null || break; sleep 0.1; done
kill -0 "$sup" 2>/dev/null && { cat "$work/player.log"; pgrep -P "$sup" | while read -r p; do gdb -p "$p" -batch -ex "thread apply all bt" 2>/dev/null | grep -E "^#|^Thread" | head -80; done; fail "the supervisor did not end after a normal close"; }
sleep 2
[ -z "$(window_pid)" ] || fail "the player came back after a normal close"
# The normal close wrote the home board, as it always has.
grep -qa 'blau.qdx' "$work/config/nexoquadrix.ini" || fail "the home board was not saved at the close"
echo "normal close: ended for good"

# A player that crashes at once, again and again, is given up with a message box.
NEXOQUADRIX_NO_SUPERVISOR= NEXOQUADRIX_CONFIG_DIR="$work/config" "$player" "$work/boards/blau.qdx" > "$work/loop.log" 2>&1 &
sup=$!
for round in 1 2 3; do
  pid=""
  for _ in $(seq 1 100); do
    pid=$(window_pid)
    [ -n "$pid" ] && break
    sleep 0.1
  done
  [ -n "$pid" ] || { cat "$work/loop.log"; fail "round $round: no player to crash"; }
  kill -SEGV "$pid"
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
done
notice=""
for _ in $(seq 1 100); do
  notice=$(xdotool search --onlyvisible --name '^NexoQuadrix: aturat$' 2>/dev/null | head -n 1)
  [ -n "$notice" ] && break
  sleep 0.1
done
[ -n "$notice" ] || { cat "$work/loop.log"; fail "no message after the player crashed three times at once"; }
[ -z "$(window_pid)" ] || fail "the player was restarted a fourth time"
xdotool key --window "$notice" Return 2>/dev/null
wmctrl -c 'NexoQuadrix: aturat' 2>/dev/null
for _ in $(seq 1 50); do kill -0 "$sup" 2>/dev/null || break; sleep 0.1; done
kill -0 "$sup" 2>/dev/null && fail "the supervisor did not end after its message"
echo "crash loop: given up with a message"

# Started with nohup in a session of its own, as from a terminal: the hang-up the terminal sends its
# process group when it closes ends neither the supervisor nor the player.
setsid bash -c 'exec nohup "$@"' nohup env NEXOQUADRIX_NO_SUPERVISOR= NEXOQUADRIX_CONFIG_DIR="$work/config" \
  "$player" "$work/boards/blau.qdx" > "$work/nohup.log" 2>&1 &
sup=$!
window=$(wait_for_player_window)
[ -n "$window" ] || { cat "$work/nohup.log"; fail "the player started with nohup did not appear"; }
sleep 2.5
nohup_player=$(window_pid)
[ -n "$nohup_player" ] && [ "$nohup_player" != "$sup" ] || fail "the player started with nohup has no supervisor"
# No pipe the player made is handed to the programs it starts (those it inherited are not its own).
inherited=$(for fd in /proc/"$sup"/fd/*; do readlink "$fd"; done)
for fd in /proc/"$nohup_player"/fd/*; do
  target=$(readlink "$fd")
  [[ $target == pipe:* ]] && ! grep -qxF "$target" <<< "$inherited" || continue
  flags=$(sed -n 's/^flags:[[:space:]]*//p' "/proc/$nohup_player/fdinfo/${fd##*/}")
  (( 8#$flags & 8#2000000 )) || fail "the player's pipe on descriptor ${fd##*/} is not closed on exec"
done
kill -HUP -- "-$sup"
sleep 2
kill -0 "$sup" 2>/dev/null || { cat "$work/nohup.log"; fail "the supervisor started with nohup died of the hang-up"; }
kill -0 "$nohup_player" 2>/dev/null || { cat "$work/nohup.log"; fail "the player started with nohup died of the hang-up"; }
[ "$(window_pid)" = "$nohup_player" ] || fail "the player started with nohup was replaced after the hang-up"
kill -TERM "$sup"
for _ in $(seq 1 50); do kill -0 "$sup" 2>/dev/null || break; sleep 0.1; done
kill -0 "$sup" 2>/dev/null && fail "the supervisor started with nohup did not end when asked to"
echo "nohup: supervisor and player outlived the hang-up, then ended when asked"

# Without the supervisor (tests and debugging) a crash is the end.
NEXOQUADRIX_NO_SUPERVISOR=1 NEXOQUADRIX_CONFIG_DIR="$work/config" "$player" "$work/boards/blau.qdx" \
  > "$work/alone.log" 2>&1 &
sup=$!
window=$(wait_for_player_window)
[ -n "$window" ] || fail "the unsupervised player did not appear"
[ "$(window_pid)" = "$sup" ] || fail "NEXOQUADRIX_NO_SUPERVISOR=1 still started a supervisor"
kill -SEGV "$sup"
sleep 3
[ -z "$(window_pid)" ] || fail "an unsupervised player came back"
sup=""
echo "PASS"
