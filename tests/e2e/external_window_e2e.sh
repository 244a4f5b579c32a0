#!/usr/bin/env bash
# The player as an on-screen keyboard: a text editor has the focus, the player in the external-window
# mode is clicked with XTest on the Spanish layout, the editor keeps the focus and receives a latched
# capital, a pasted word with an accent, named keys, characters that need AltGr and Shift, one the
# layout lacks (typed through a spare key), and a cell's picture. A kill with Control latched leaves
# no key down. Then the negative control: without the mode, a click takes the focus away; and
# "<CALCULAR>" turns the editor's line into the calculator's line.
# Run inside tests/e2e/session.sh. Usage: external_window_e2e.sh PLAYER RECEIVER
set -u
player=$1
receiver=$2
work=$(mktemp -d /tmp/nq-e2e-external.XXXXXX)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; [ -n "${NQ_KEEP:-}" ] || rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/lib.sh"

setxkbmap es || fail "setxkbmap es"
mkdir -p "$work/config" "$work/boards"
settings() {
  printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n[Menu Options]\r\nMenuSpeak.Checked=NO\r\nNonFocusable=%s\r\n' "$1" \
    > "$work/config/nexoquadrix.ini"
  trust_folders "$work/config" "$work/boards"
}
convert -size 64x64 xc:red "$work/boards/vermell.png"
COLUMNS=6
BUTTONS=0
board() { # FILE LETTERS CELLS...
  local file=$1 letters=$2 n=0
  shift 2
  {
    printf '[Quadrix]\nName=Quadrix\nautor=Vellumor\n[Position]\nLeft=100\nTop=400\nWidth=800\nHeight=300\n'
    printf '[Grid]\nColumns=%d\nRows=2\n' "$COLUMNS"
    printf '[Menu Options 2]\nShow Button Bar=%d\nShow Message Bar=0\n' "$BUTTONS"
    printf 'Write only letters or words=%s\n' "$letters"
    for cell in "$@"; do
      n=$((n + 1))
      IFS='|' read -r caption sf link picture <<< "$cell"
      printf '[Cell %d]\nCaption=%s\nRead=%s\nSpecial Function=%s\nLink=%s\nPicture=%s\nFont Size=20\n' \
        "$n" "$caption" "$caption" "$sf" "$link" "$picture"
    done
  } | sed 's/$/\r/' > "$work/boards/$file"
}
board teclat.qdx 1 'Maj|<NEXO_KEY_SHIFT>' 'a' "cami$(printf '\xf3')" 'Esborrar|<BACKSPACE>' '@' \
  "$(printf '\xb7')" 'Retorn|<RETURN>' 'Imatges||imatges.qdx' 'Control|<NEXO_KEY_CONTROL>' \
  "$(printf '\xe0')"
# The pictures board shows the button bar above the grid: a copy not moved by it would show the bar.
BUTTONS=1 board imatges.qdx 0 'Vermell|||vermell.png'

"$receiver" "$work/received.txt" > "$work/receiver.log" 2>&1 &
pids+=($!)
editor=""
for _ in $(seq 1 100); do
  editor=$(xdotool search --onlyvisible --name '^Receptor$' 2>/dev/null | head -n 1)
  [ -n "$editor" ] && break
  sleep 0.1
done
[ -n "$editor" ] || fail "the receiving editor did not appear"
xdotool windowactivate --sync "$editor"

start_player() { # NonFocusable [BOARD]
  settings "$1"
  NEXOQUADRIX_CONFIG_DIR="$work/config" launch_player "$work/boards/${2:-teclat.qdx}"
  client_geometry "$window"
}
# Clicks cell N of the COLUMNS x 2 grid.
cell() {
  local n=$(($1 - 1))
  xdotool mousemove $((X + WIDTH * (2 * (n % COLUMNS) + 1) / (2 * COLUMNS))) $((Y + HEIGHT * (2 * (n / COLUMNS) + 1) / 4)) \
    click 1
  sleep 0.4
}
active() { xdotool getactivewindow 2>/dev/null; }
received() { cat "$work/received.txt" 2>/dev/null; }

start_player SI
xdotool windowactivate --sync "$editor"
[ "$(active)" = "$editor" ] || fail "the editor does not have the focus before the clicks"
for n in 1 2 3 4 5 6 10 7; do cell "$n"; done
[ "$(active)" = "$editor" ] || fail "a click on the board took the focus from the editor"
expected=$(printf 'Acami@\xc2\xb7\xc3\xa0\n')
[ "$(received)" = "$expected" ] || fail "the editor received '$(received)' instead of '$expected'"
echo "typed into the editor with the focus kept: $(received | tr '\n' '|')"

cell 8 # opens the pictures board
sleep 1
bar=65 # the button bar's height
xdotool mousemove $((X + WIDTH / (2 * COLUMNS))) $((Y + bar + (HEIGHT - bar) / 4)) click 1
sleep 1
last=$(received | tail -n 1)
read -r pw ph red < <(sed -n 's/^\[picture \([0-9]*\)x\([0-9]*\) red \([0-9]*\)%\]$/\1 \2 \3/p' <<< "$last")
[ -n "${red:-}" ] || fail "no picture was pasted: '$(received)'"
# The picture is the cell: a sixth of the board's width and half the height below the bar, and the
# cell's red picture fills much of it.
client_geometry "$window"
near() { [ $(($1 - $2)) -le 8 ] && [ $(($2 - $1)) -le 8 ]; }
near $((pw * COLUMNS)) "$WIDTH" && near $((ph * 2)) $((HEIGHT - bar)) ||
  fail "the pasted picture ${pw}x${ph} is not one cell of the ${WIDTH}x$((HEIGHT - bar)) grid"
[ "$red" -ge 20 ] || fail "the pasted picture is ${red}% red: another part of the window was copied"
[ "$(active)" = "$editor" ] || fail "pasting the picture took the focus"
echo "picture of the cell pasted: ${pw}x${ph}, ${red}% red"

# A latched Control holds no key: killing the player outright leaves every key of the session up.
kill "$player_pid"
wait "$player_pid" 2>/dev/null
start_player SI
xdotool windowactivate --sync "$editor"
cell 9
kill -KILL "$player_pid"
wait "$player_pid" 2>/dev/null
down=$(python3 -c '
import ctypes
x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
d = ctypes.c_void_p(x11.XOpenDisplay(None))
keys = (ctypes.c_char * 32)()
x11.XQueryKeymap(d, keys)
print(sum(bin(b).count("1") for b in keys.raw))')
[ "$down" = 0 ] || fail "$down keys stayed down after the player was killed with Control latched"
echo "killed with Control latched: no key held"

# Negative control: an ordinary window takes the focus when clicked.
start_player NO
xdotool windowactivate --sync "$editor"
cell 2
[ "$(active)" != "$editor" ] || fail "negative control: the ordinary window did not take the focus"
echo "negative control: without the mode the click took the focus"

# The mode switched on at run time from the menu (Opciones, third item), as a person would.
xdotool mousemove $((X + 210)) $((Y + 10)) click 1
sleep 0.5
xdotool key Down Down Down Return
sleep 1
xdotool windowactivate --sync "$editor"
before=$(received)
client_geometry "$window"
cell 2
[ "$(active)" = "$editor" ] || fail "after switching the mode on from the menu, a click took the focus"
[ "$(received)" = "${before}a" ] || fail "after switching the mode on from the menu the editor received '$(received)'"
grep -q 'NonFocusable=SI' "$work/config/nexoquadrix.ini" || fail "the mode switched on from the menu was not stored"
echo "mode switched on from the menu: the focus stays in the editor"

# "<CALCULAR>" on a line typed from the board: the editor's line becomes the calculator's line for it.
kill "$player_pid"
wait "$player_pid" 2>/dev/null
board calcul.qdx 1 'Retorn|<RETURN>' '2' '+' '3' 'Calcula|<CALCULAR>'
start_player SI calcul.qdx
xdotool windowactivate --sync "$editor"
for n in 1 2 3 4 5; do cell "$n"; done
sleep 2 # the command's own waits
expected=$("$(dirname "$player")/nexoquadrix-tool" calc '2+3')
[ "$(received | tail -n 1)" = "$expected" ] || fail "after <CALCULAR> the line is '$(received | tail -n 1)', not '$expected'"
[ "$(active)" = "$editor" ] || fail "<CALCULAR> took the focus"
echo "calculated in the editor: $expected"
echo PASS
