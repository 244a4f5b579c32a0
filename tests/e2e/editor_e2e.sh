#!/usr/bin/env bash
# A teacher makes a board from nothing in the editor, with the keyboard and the mouse: a 3 x 2 board,
# captions, a spoken text, a link to a second new board, a command, a picture dropped on a cell from
# another program. The saved board is then used in the real player: the cells are heard (a long
# spoken text lasts longer than a one-word caption), the picture is on screen, and the link opens the
# new board. Run inside tests/e2e/session.sh.
# Usage: editor_e2e.sh EDITOR PLAYER DRAG_SOURCE TOOL
set -u
editor=$1
player=$2
drag_source=$3
tool=$4
work=$(mktemp -d /tmp/nq-e2e-editor.XXXXXX)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; [ -n "${NQ_E2E_KEEP:-}" ] || rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; [ -f "$work/editor.log" ] && tail -n 20 "$work/editor.log"; exit 1; }
. "$(dirname "$0")/lib.sh"

export HOME="$work/home" XDG_CONFIG_HOME="$work/xdg" XDG_CACHE_HOME="$work/cache"
mkdir -p "$HOME" "$XDG_CONFIG_HOME/NexoQuadrix" "$work/config" "$work/source"
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n' > "$work/config/nexoquadrix.ini"
# The editor speaks Spanish here; the keys are the same in every language.
printf '[General]\nlanguage=1\n' > "$XDG_CONFIG_HOME/NexoQuadrix/editor.conf"
convert -size 200x200 xc:'#FF0000' "$work/source/perro marrón.png"

# --- the editor ------------------------------------------------------------------------------------
launch_editor

# A new board of 3 columns and 2 rows (the dialog's size), named "inici", in the home folder.
keys ctrl+n
sleep 0.8
text "inici"
keys Return
sleep 1
board="$HOME/inici.qdx"
[ -f "$board" ] || fail "the new board was not made"

# Cell 1 says its caption; cell 2 says a longer text than its caption; cell 3 links to a new board.
keys F2; text "Hola"; keys Return
keys Right F2; text "Bon dia"; keys Return
keys F3; text "bon dia a tothom, com esteu avui tots plegats"; keys Return
keys Right F2; text "Menjar"; keys Return
keys ctrl+shift+n
sleep 0.8
keys Return
sleep 0.8
[ -f "$HOME/menjar.qdx" ] || fail "the linked board was not made"
# Cell 4 reads the message aloud, a command chosen from the list by typing its beginning.
keys Down Home F2; text "Llegir"; keys Return
keys ctrl+k; text "<LLEGIR"; sleep 0.6; keys Down F6
# Cell 5 gets a caption, then a picture dragged from another program.
keys Right F2; text "Gos"; keys Return
sleep 0.5
# The chosen cell is outlined in the selection blue: that is where the picture goes.
import -window root "$work/editor.png" 2>/dev/null
box=$(convert "$work/editor.png" -fuzz 12% -fill black +opaque '#1E6EE6' -fill white -opaque '#1E6EE6' -trim \
  -format '%w %h %X %Y' info:)
read -r cw ch cx cy <<< "$box"
[ -n "${cw:-}" ] && [ "$cw" -gt 20 ] || fail "the chosen cell is not outlined ($box)"
cx=${cx#+}
cy=${cy#+}
"$drag_source" "$work/source/perro marrón.png" > "$work/drag.log" 2>&1 &
pids+=($!)
sleep 1.5
xdotool mousemove 80 640 mousedown 1
for step in 1 2 3 4 5 6 7 8; do
  xdotool mousemove $((80 + (cx + cw / 2 - 80) * step / 8)) $((640 + (cy + ch / 2 - 640) * step / 8))
  sleep 0.15
done
sleep 0.5
xdotool mouseup 1
sleep 1
grep -q "drop accepted" "$work/drag.log" || fail "the editor did not take the dropped picture"
# Cell 6, chosen with the mouse: one cell width to the right of cell 5.
xdotool windowactivate --sync "$window" 2>/dev/null
xdotool mousemove $((cx + cw * 3 / 2)) $((cy + ch / 2)) click 1
sleep 0.5
keys F2; text "Aigua"; keys Return
keys ctrl+s
sleep 1

get() { "$tool" get "$board" "$1" "$2"; }
[ "$(get 'Cell 1' Caption)" = "Hola" ] || fail "cell 1: $(get 'Cell 1' Caption)"
[ "$(get 'Cell 2' Read)" = "bon dia a tothom, com esteu avui tots plegats" ] || fail "cell 2 spoken text"
[ "$(get 'Cell 3' Link)" = "menjar.qdx" ] || fail "cell 3 link: $(get 'Cell 3' Link)"
[ "$(get 'Cell 4' 'Special Function')" = "<LLEGIR MISSATGE>" ] || fail "cell 4 command: $(get 'Cell 4' 'Special Function')"
picture=$(get 'Cell 5' Picture)
[ "$picture" = 'pictures\gos.png' ] || fail "cell 5 picture: $picture"
[ -f "$HOME/pictures/gos.png" ] || fail "the picture was not copied beside the board"
[ "$(get 'Cell 6' Caption)" = "Aigua" ] || fail "cell 6 (chosen with the mouse): $(get 'Cell 6' Caption)"
[ "$(LC_ALL=C grep -c $'[^\r]$' "$board")" = 0 ] || fail "a line of the board does not end in CR LF"
"$tool" check "$HOME" > "$work/check.log" || { cat "$work/check.log"; fail "the made boards have problems"; }
[ -z "$(ls "$HOME"/*.autosave 2>/dev/null)" ] || fail "an autosave copy was left after saving"
keys ctrl+q
for _ in $(seq 1 50); do kill -0 "$editor_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$editor_pid" 2>/dev/null && fail "the editor asked something on closing a saved board"

# --- the player ------------------------------------------------------------------------------------
heard() {
  parec -d spk.monitor --format=s16le --rate=16000 --channels=1 --raw > "$work/heard.raw" 2>/dev/null &
  local rec=$!
  sleep 0.3
  "$@"
  sleep 5
  kill "$rec" 2>/dev/null
  wait "$rec" 2>/dev/null
  # Seconds of sound between the first and the last moment above the noise floor.
  sox -t raw -r 16000 -e signed -b 16 -c 1 "$work/heard.raw" "$work/heard.wav" \
    silence 1 0.02 0.5% reverse silence 1 0.02 0.5% reverse 2>/dev/null
  soxi -D "$work/heard.wav" 2>/dev/null || echo 0
}
red_pixels() {
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$work/shot.png" 2>/dev/null
  convert "$work/shot.png" -fuzz 10% -fill black +opaque '#FF0000' -fill white -opaque '#FF0000' \
    -format '%[fx:mean*w*h]' info: | cut -d. -f1
}
NEXOQUADRIX_CONFIG_DIR="$work/config" "$player" "$board" > "$work/player.log" 2>&1 &
pids+=($!)
window=$(wait_for_player_window)
[ -n "$window" ] || { cat "$work/player.log"; fail "the player's window did not appear"; }
sleep 2.5
client_geometry "$window"
grid_top=$((Y + 22 + 65))
grid_height=$((HEIGHT - 22 - 65 - 135))
cell() { echo $((X + WIDTH * (2 * $1 - 1) / 6)) $((grid_top + grid_height * (2 * $2 - 1) / 4)); }
click_cell() { xdotool mousemove $(cell "$1" "$2") click 1; }

red=$(red_pixels)
# The first click after the window appears also wakes the voice; it is not measured.
click_cell 1 1
sleep 3
one=$(heard click_cell 1 1)
two=$(heard click_cell 2 1)
message=$(heard click_cell 1 2)
echo "in the player: picture $red red pixels; heard ${one}s for \"Hola\", ${two}s for the long text, ${message}s for the message"
[ "$red" -gt 300 ] || fail "the dropped picture is not shown in the player"
awk -v a="$one" -v b="$two" 'BEGIN {exit !(a > 0.2 && b > a + 1.0)}' || fail "the cells were not heard as written"
awk -v a="$one" -v m="$message" 'BEGIN {exit !(m > a)}' || fail "the command cell did not read the message"
# A click while the message is still read is kept and carried out when the reading ends.
click_cell 3 1
for _ in $(seq 1 20); do
  sleep 0.5
  red_after=$(red_pixels)
  [ "$red_after" -lt 50 ] && break
done
echo "link followed: $red -> $red_after red pixels"
[ "$red_after" -lt 50 ] || fail "the link to the new board was not followed"
echo "PASS"
