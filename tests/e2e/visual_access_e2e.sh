#!/usr/bin/env bash
# The visual access options in the real player: with the dwell click, the dwell progress bar and a
# wide yellow highlight stored in the settings, the pointer resting on a cell lights it in yellow and
# a bar fills it (more yellow on each look) until the cell is chosen (it reaches the message bar) and
# the bar starts again; the pointer leaving the window takes all the yellow away by the next dwell tick. Run inside
# tests/e2e/session.sh. Usage: visual_access_e2e.sh PLAYER
set -u
player=$1
work=$(mktemp -d /tmp/nq-e2e-visual.XXXXXX)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/lib.sh"

mkdir -p "$work/config" "$work/boards"
{
  printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n[Menu Options]\r\nMenuSpeak.Checked=NO\r\n'
  printf '[Menu Control]\r\nMenuClicAutomaticALEstarEnUnacasella.Checked=1\r\n'
  printf '[Visual Access]\r\nDwell Progress=1\r\nHighlight Width=12\r\nHighlight Colour=65535\r\n'
} > "$work/config/nexoquadrix.ini"
# Dwell ticks of 1.5 s: a cell is chosen 3 s after the pointer reached it, at most.
printf '[quadrix]\r\nMilisegons Clic Automatic=1500\r\n' > "$work/config/Quadrix.ini"
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
Read=hola
Frame cell color=0
Font Size=20
[Cell 2]
Caption=Aigua
Frame cell color=0
[Cell 3]
Caption=Menjar
Frame cell color=0
[Cell 4]
Caption=Dormir
Frame cell color=0
BOARD
sed -i 's/$/\r/' "$work/boards/prova.qdx"

NEXOQUADRIX_CONFIG_DIR="$work/config" launch_player "$work/boards/prova.qdx"
client_geometry "$window"
W=$WIDTH
H=$HEIGHT
grid_top=$((Y + 22))
grid_height=$((H - 22 - 135))

# Yellow pixels in cell 1 (the top left quarter of the grid) on a screenshot.
yellow() {
  import -window root "$work/shot.png" 2> /dev/null
  convert "$work/shot.png" -crop "$((W / 2))x$((grid_height / 2))+$X+$grid_top" -fill black +opaque '#FFFF00' \
    -fill white -opaque '#FFFF00' -colorspace Gray -format '%[fx:mean*w*h]' info: | cut -d. -f1
}
# Dark pixels in the message bar: captions of message cells.
message_ink() {
  import -window root "$work/shot.png" 2> /dev/null
  convert "$work/shot.png" -crop "$((W - 10))x120+$((X + 5))+$((Y + H - 128))" -colorspace Gray -threshold 50% \
    -negate -format '%[fx:mean*w*h]' info: | cut -d. -f1
}

ink0=$(message_ink)
[ "$(yellow)" -eq 0 ] || fail "yellow on the board before the pointer came"
xdotool mousemove $((X + W / 4)) $((grid_top + grid_height / 4))
samples=()
for _ in $(seq 1 16); do
  sleep 0.3
  samples+=("$(yellow)")
done
ink1=$(message_ink)
echo "yellow in cell 1 while dwelling: ${samples[*]}; message ink $ink0 -> $ink1"
grows=0
falls=0
for i in $(seq 1 $((${#samples[@]} - 1))); do
  [ "${samples[$i]}" -gt "${samples[$((i - 1))]}" ] && grows=$((grows + 1))
  [ "${samples[$i]}" -lt "${samples[$((i - 1))]}" ] && falls=$((falls + 1))
done
most=$(printf '%s\n' "${samples[@]}" | sort -n | tail -n 1)
[ "$most" -gt 5000 ] || fail "the resting pointer did not light the cell with the wide yellow ring"
[ "$grows" -ge 3 ] || fail "the dwell progress bar did not fill"
[ "$falls" -ge 1 ] || fail "the dwell progress bar did not start again after the cell was chosen"
[ "$ink1" -gt $((ink0 + 30)) ] || fail "the dwelt-on cell was not chosen"
grep -q 'Dwell Progress=1' "$work/config/nexoquadrix.ini" || fail "the option is no longer stored"

xdotool mousemove $((X + W + 50)) $((Y + H + 50))
sleep 2 # the next dwell tick finds the pointer gone and takes the highlight away
left=$(yellow)
echo "yellow after the pointer left: $left"
[ "$left" -eq 0 ] || fail "the highlight or the bar stayed after the pointer left"
echo "PASS"
