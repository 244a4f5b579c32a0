#!/usr/bin/env bash
# A person using the real player with the mouse and by scanning, under a real X server, window
# manager and sound server: clicks with XTest, what the message bar shows on a screenshot, what the
# speaker plays recorded from the null sink's monitor. Run inside tests/e2e/session.sh.
# Usage: interaction_e2e.sh PLAYER
set -u
player=$1
work=$(mktemp -d /tmp/nq-e2e-interaction.XXXXXX)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/lib.sh"

mkdir -p "$work/config" "$work/boards"
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n' > "$work/config/nexoquadrix.ini"
# One scan step a second, so the test can follow the scan.
printf '[quadrix]\r\nD\xe8cimes de segon que dura el pas d'"'"'escaneig=10\r\n' > "$work/config/Quadrix.ini"
sox -n -r 22050 -c 1 -b 16 "$work/boards/campana.wav" synth 1.0 sine 440 vol 0.8
cat > "$work/boards/prova.qdx" <<'BOARD'
[Quadrix]
Name=Quadrix
autor=Vellumor
[Position]
Left=0
Top=0
Width=640
Height=520
[Grid]
Columns=2
Rows=2
[Menu Options 2]
Show Button Bar=0
Show Message Bar=1
MenuQdxPosition=5
[Cell 1]
Caption=Hola
Read=hola, bon dia
Frame cell color=0
Font Size=20
[Cell 2]
Caption=So
Read=CAMPANA.WAV
Frame cell color=0
Font Size=20
[Cell 3]
Caption=Aigua
Read=aigua
Frame cell color=0
[Cell 4]
Caption=Menjar
Read=menjar
Frame cell color=0
BOARD
sed -i 's/$/\r/' "$work/boards/prova.qdx"

# Dark pixels in the message bar (the bottom 135 pixels of the window): captions of message cells.
message_ink() {
  import -window root "$work/shot.png" 2>/dev/null
  convert "$work/shot.png" -crop "$((W - 10))x120+$((X + 5))+$((Y + H - 128))" -colorspace Gray -threshold 50% \
    -negate -format '%[fx:mean*w*h]' info: | cut -d. -f1
}
# Loudness of what the speaker played while a command ran: RMS of the null sink's monitor.
heard_rms() {
  parec -d spk.monitor --format=s16le --rate=16000 --channels=1 --raw > "$work/heard.raw" 2>/dev/null &
  local rec=$!
  sleep 0.3
  "$@"
  sleep 3
  kill "$rec" 2>/dev/null
  wait "$rec" 2>/dev/null
  sox -t raw -r 16000 -e signed -b 16 -c 1 "$work/heard.raw" -n stat 2>&1 | sed -n 's/^RMS *amplitude: *//p'
}
click_at() { xdotool mousemove "$1" "$2" click 1; }

# First the bundled Catalan home board, as a person meets it: two cells clicked, both heard and
# both added to the message bar.
demo_data="$(cd "$(dirname "$0")/../.." && pwd)/data"
cp -r "$demo_data" "$work/demo"
NEXOQUADRIX_CONFIG_DIR="$work/config" "$player" "$work/demo/boards/ca/inici.qdx" > "$work/demo.log" 2>&1 &
demo_pid=$!
pids+=($demo_pid)
window=$(wait_for_player_window)
[ -n "$window" ] || { cat "$work/demo.log"; fail "the player's window did not appear on the demo board"; }
sleep 2.5
client_geometry "$window"
W=$WIDTH
H=$HEIGHT
grid_top=$((Y + 22 + 65))
grid_height=$((H - 22 - 65 - 135))
ink0=$(message_ink)
rms=$(heard_rms click_at $((X + W / 12)) $((grid_top + grid_height / 10)))
rms2=$(heard_rms click_at $((X + W / 12)) $((grid_top + grid_height / 2)))
ink1=$(message_ink)
echo "demo board: two cells clicked, message ink $ink0 -> $ink1, speech RMS $rms and $rms2"
[ "$ink1" -gt $((ink0 + 60)) ] || fail "the demo board's cells did not reach the message bar"
awk -v r="${rms:-0}" -v s="${rms2:-0}" 'BEGIN {exit !(r > 0.005 && s > 0.005)}' || fail "the demo board's cells were not heard"
wmctrl -c 'NexoQuadrix - '
for _ in $(seq 1 50); do kill -0 "$demo_pid" 2>/dev/null || break; sleep 0.1; done

NEXOQUADRIX_CONFIG_DIR="$work/config" "$player" "$work/boards/prova.qdx" > "$work/player.log" 2>&1 &
pids+=($!)
window=$(wait_for_player_window)
[ -n "$window" ] || { cat "$work/player.log"; fail "the player's window did not appear"; }
sleep 2.5
client_geometry "$window"
W=$WIDTH
H=$HEIGHT


ink0=$(message_ink)
rms=$(heard_rms click_at $((X + W / 4)) $((Y + 40 + 60)))
ink1=$(message_ink)
echo "cell 1 clicked: message ink $ink0 -> $ink1, speech RMS $rms"
[ "$ink1" -gt $((ink0 + 30)) ] || fail "the clicked cell did not reach the message bar"
awk -v r="${rms:-0}" 'BEGIN {exit !(r > 0.005)}' || fail "nothing was heard when the cell was spoken"

rms=$(heard_rms click_at $((X + W * 3 / 4)) $((Y + 40 + 60)))
echo "sound cell clicked: RMS $rms"
awk -v r="${rms:-0}" 'BEGIN {exit !(r > 0.05)}' || fail "the cell's sound file was not heard"

# Automatic scanning from the Control menu, then two selections: the row, then its first cell.
ink2=$(message_ink)
xdotool mousemove $((X + 150)) $((Y + 10)) click 1
sleep 0.5
xdotool key Down Return
sleep 1.4
xdotool click 1
sleep 1.5 # the middle of the first item's one-second step
xdotool click 1
sleep 1.5
ink3=$(message_ink)
echo "scanning selection: message ink $ink2 -> $ink3"
[ "$ink3" -gt $((ink2 + 30)) ] || fail "selecting by automatic scanning did not activate a cell"
grep -q 'MenuEscaneigAutomatic.Checked=1' "$work/config/nexoquadrix.ini" || fail "automatic scanning was not stored"

# Auditory scanning: the scan goes on in silence without it; with it, every step is heard.
sleep 2
quiet=$(heard_rms sleep 1)
wmctrl -c 'NexoQuadrix - '
for _ in $(seq 1 50); do kill -0 "${pids[-1]}" 2>/dev/null || break; sleep 0.1; done
settings="$work/config/nexoquadrix.ini"
if grep -q '^\[Menu Options\]' "$settings"; then
  sed -i 's/^\[Menu Options\]\r\?$/&\nMenuEscaneigAuditiu.Checked=1\r/' "$settings"
else
  printf '[Menu Options]\r\nMenuEscaneigAuditiu.Checked=1\r\n' >> "$settings"
fi
NEXOQUADRIX_CONFIG_DIR="$work/config" launch_player "$work/boards/prova.qdx"
client_geometry "$window"
xdotool mousemove $((X + 150)) $((Y + 10)) click 1
sleep 0.5
xdotool key Down Return
prompts=$(heard_rms sleep 1)
echo "scanning without prompts: RMS $quiet; with prompts: RMS $prompts"
awk -v q="${quiet:-1}" 'BEGIN {exit !(q < 0.002)}' || fail "scanning without prompts was not silent"
awk -v p="${prompts:-0}" 'BEGIN {exit !(p > 0.003)}' || fail "the scan prompts were not heard"
echo "PASS"
