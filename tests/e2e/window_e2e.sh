#!/usr/bin/env bash
# The real player under a real X server and window manager: hover a cell with XTest and see the red
# frame on a screenshot; drag the window and find its new place in the board file; close it and find
# the home board in the settings file. Run inside tests/e2e/session.sh. Usage: window_e2e.sh PLAYER
set -u
player=$1
work=$(mktemp -d /tmp/nq-e2e-window.XXXXXX)
trap 'kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/lib.sh"

mkdir -p "$work/config" "$work/boards/imatges"
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n' > "$work/config/nexoquadrix.ini"
convert -size 80x80 xc:blue "$work/boards/imatges/blau.png"
# A 2 x 2 board without bars at the top-left corner of the screen, 600 x 400.
cat > "$work/boards/prova.qdx" <<'BOARD'
[Quadrix]
Name=Quadrix
autor=Vellumor
[Position]
Left=0
Top=0
Width=600
Height=400
[Grid]
Columns=2
Rows=2
[Menu Options 2]
Show Button Bar=0
Show Message Bar=0
MenuQdxPosition=5
[Cell 1]
Caption=Hola
Picture=imatges\BLAU.png
Frame cell color=0
[Cell 2]
Caption=Adeu
Frame cell color=0
[Cell 3]
Caption=Si
Frame cell color=0
[Cell 4]
Caption=No
Frame cell color=0
BOARD
sed -i 's/$/\r/' "$work/boards/prova.qdx"

NEXOQUADRIX_CONFIG_DIR="$work/config" "$player" "$work/boards/prova.qdx" > "$work/player.log" 2>&1 &
pid=$!
window=$(wait_for_player_window)
[ -n "$window" ] || { cat "$work/player.log"; fail "the player's window did not appear"; }
sleep 2.5 # the splash hides itself after 2 s

red_pixels() {
  import -window root "$work/shot.png" 2>/dev/null
  convert "$work/shot.png" -fill black +opaque '#FF0000' -fill white -opaque '#FF0000' -format '%[fx:mean*w*h]' info: |
    cut -d. -f1
}

client_geometry "$window"
xdotool mousemove 1270 790 # outside the window: nothing is hovered
sleep 0.5
before=$(red_pixels)
xdotool mousemove $((X + WIDTH / 4 + 10)) $((Y + HEIGHT / 4 + 20))
sleep 0.5
after=$(red_pixels)
echo "red pixels: $before with the pointer outside, $after over cell 1"
[ "$before" -lt 50 ] || fail "a cell is red while the pointer is outside the window"
[ "$after" -gt 200 ] || fail "no red frame around the hovered cell"
blue=$(convert "$work/shot.png" -fill black +opaque '#0000FF' -format '%[fx:mean*w*h]' info: | cut -d. -f1)
echo "blue picture pixels: $blue"
[ "$blue" -gt 0 ] || fail "the cell picture named with a backslash and another letter case is not shown"

# Drag the window by its title bar with the left button held: the board keeps the new rectangle.
# On a loaded machine the window manager may miss a quick drag, so the drag is tried up to three times.
board_left() { tr -d '\r' < "$work/boards/prova.qdx" | sed -n 's/^Left=//p'; }
left=0
for attempt in 1 2 3; do
  client_geometry "$window"
  xdotool mousemove $((X + 150)) $((Y - 8))
  sleep 0.3
  xdotool mousedown 1
  for step in 1 2 3 4 5; do
    xdotool mousemove $((X + 150 + step * 20)) $((Y - 8 + step * 20))
    sleep 0.2
  done
  sleep 0.3
  xdotool mouseup 1
  for _ in $(seq 1 30); do
    left=$(board_left)
    [ -n "$left" ] && [ "$left" != "0" ] && break 2
    sleep 0.1
  done
  echo "drag $attempt was not seen; trying again"
done
echo "board Left after the drag: $left"
[ "$left" != "0" ] && [ -n "$left" ] || fail "the dragged window's place was not written into the board"
grep -q $'\r$' "$work/boards/prova.qdx" || fail "the board lost its CR LF line endings"

# "Ayuda > About..." (the last menu, reached by going left from the first) shows its box above the
# main window, which stays on top of other programs; Escape closes it.
client_geometry "$window"
xdotool mousemove $((X + 20)) $((Y + 9)) click 1 # "Archivo", the first menu of the bar
sleep 0.5
xdotool key Left Down Down Return
about=""
for _ in $(seq 1 50); do
  about=$(xdotool search --onlyvisible --name '^NexoQuadrix$' 2>/dev/null | head -n 1)
  [ -n "$about" ] && break
  sleep 0.1
done
[ -n "$about" ] || fail "\"About...\" showed no box"
stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',' | tr ' ' '\n')
main_at=$(grep -n -i "^$(printf '0x%x' "$window")\$" <<< "$stacking" | cut -d: -f1)
about_at=$(grep -n -i "^$(printf '0x%x' "$about")\$" <<< "$stacking" | cut -d: -f1)
echo "stacking places: main window $main_at, about box $about_at"
[ -n "$about_at" ] && [ -n "$main_at" ] && [ "$about_at" -gt "$main_at" ] ||
  fail "the about box is not above the main window"
xdotool key Escape
sleep 0.5
[ -z "$(xdotool search --onlyvisible --name '^NexoQuadrix$' 2>/dev/null)" ] || fail "Escape did not close the about box"

# Closing saves the home board.
wmctrl -c 'NexoQuadrix - ' || fail "could not ask the window to close"
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the player did not close"
grep -q "NomFitxerInicial=$work/boards/prova.qdx" "$work/config/nexoquadrix.ini" ||
  { cat "$work/config/nexoquadrix.ini"; fail "the home board was not saved at close"; }
echo "PASS"
