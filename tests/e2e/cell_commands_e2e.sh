#!/usr/bin/env bash
# Cells whose special functions open boards, switch an option from the bundled menu board and come
# back, start a program of the test with hostile-looking arguments, and open a document: the real
# player under a real X server and window manager, clicked with XTest. Run inside tests/e2e/session.sh.
# Usage: cell_commands_e2e.sh PLAYER
set -u
player=$1
work=$(mktemp -d /tmp/nq-e2e-special.XXXXXX)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/lib.sh"

mkdir -p "$work/config" "$work/boards" "$work/bin" "$work/run"
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n' > "$work/config/nexoquadrix.ini"
: > "$work/config/Quadrix.ini"
trust_folders "$work/config" "$work/boards"

# The program the board starts: it writes its arguments, one a line, beside itself.
cat > "$work/boards/escriu" <<'PROGRAM'
#!/bin/sh
for a in "$@"; do printf '%s\n' "$a"; done > "$(dirname "$0")/argv.txt"
PROGRAM
chmod 755 "$work/boards/escriu"
# The desktop's opener, replaced for the test: it records what it was asked to open.
cat > "$work/bin/xdg-open" <<PROGRAM
#!/bin/sh
printf '%s\n' "\$@" > "$work/opened.txt"
PROGRAM
chmod 755 "$work/bin/xdg-open"
echo nota > "$work/boards/nota.txt"

board() { # FILE LEFT TOP WIDTH HEIGHT COLUMNS ROWS, then the cells' lines on stdin
  { printf '[Quadrix]\nName=Quadrix\nautor=Vellumor\n[Position]\nLeft=%s\nTop=%s\nWidth=%s\nHeight=%s\n' "$2" "$3" "$4" "$5"
    printf '[Grid]\nColumns=%s\nRows=%s\n[Menu Options 2]\nShow Button Bar=0\nShow Message Bar=0\nMenuQdxPosition=0\n' "$6" "$7"
    cat; } | sed 's/$/\r/' | iconv -f UTF-8 -t CP1252 > "$1"
}
board "$work/boards/inici.qdx" 0 0 640 520 2 2 <<'CELLS'
[Cell 1]
Caption=Programa
Special Function=<EXECUTAR escriu.exe uno "dos tres" $(touch pwned) ; | `touch pwned2` Música! ..\..\x>
[Cell 2]
Caption=Menú
Special Function=<OBRIR FORM MENU>
[Cell 3]
Caption=Segon
Link=SEGON.QDX
[Cell 4]
Caption=Nota
Special Function=<EXECUTAR nota.txt>
CELLS
board "$work/boards/segon.qdx" 300 200 820 360 2 1 <<'CELLS'
[Cell 1]
Caption=Casa
Special Function=<CASA>
[Cell 2]
Caption=Res
CELLS

size() { client_geometry "$window"; echo "${WIDTH}x${HEIGHT}"; }
# The size once it is WANTED, or what it still is after 10 s (a loaded machine resizes late).
size_when() { # WANTED
  local now
  for _ in $(seq 1 50); do
    now=$(size)
    [ "$now" = "$1" ] && break
    sleep 0.2
  done
  echo "$now"
}
# Client coordinates of cell (column, row), counted from 0, of a grid without bars under the menu bar.
click_cell() { # COLUMN ROW COLUMNS ROWS
  client_geometry "$window"
  xdotool mousemove $((X + WIDTH * (2 * $1 + 1) / (2 * $3))) $((Y + 22 + (HEIGHT - 22) * (2 * $2 + 1) / (2 * $4))) click 1
  sleep 1.5
}

cd "$work/run"
PATH="$work/bin:$PATH" NEXOQUADRIX_CONFIG_DIR="$work/config" "$player" "$work/boards/inici.qdx" > "$work/player.log" 2>&1 &
pids+=($!)
window=$(wait_for_player_window)
[ -n "$window" ] || { cat "$work/player.log"; fail "the player's window did not appear"; }
sleep 2.5
home=$(size)

click_cell 0 0 2 2
for _ in $(seq 1 30); do [ -s "$work/boards/argv.txt" ] && break; sleep 0.1; done
[ -s "$work/boards/argv.txt" ] || { cat "$work/player.log"; fail "the board's program did not start"; }
printf '%s\n' uno 'dos tres' '$(touch' 'pwned)' ';' '|' '`touch' 'pwned2`' 'Música!' '..\..\x' > "$work/expected.txt"
diff "$work/expected.txt" "$work/boards/argv.txt" || fail "the program did not get its arguments as written"
found=$( { find "$work" -name "pwned*"; find / -maxdepth 1 -name "pwned*"; } 2>/dev/null)
[ -z "$found" ] || fail "a board's argument ran as a command: $found"
echo "program started with: $(tr '\n' '|' < "$work/boards/argv.txt")"

click_cell 1 1 2 2
for _ in $(seq 1 30); do [ -s "$work/opened.txt" ] && break; sleep 0.1; done
grep -q "nota.txt" "$work/opened.txt" 2>/dev/null || fail "the document was not handed to the desktop's opener"
echo "document opened: $(cat "$work/opened.txt")"

click_cell 0 1 2 2
second=$(size)
[ "$second" != "$home" ] || fail "the link did not open the second board"
click_cell 0 0 2 1
back=$(size_when "$home")
[ "$back" = "$home" ] || fail "<CASA> did not bring back the home board ($back, home $home)"
echo "link and <CASA>: $home -> $second -> $(size)"

click_cell 1 0 2 2
menu=$(size)
[ "$menu" != "$home" ] || fail "<OBRIR FORM MENU> did not open the menu board"
click_cell 2 0 7 5 # "Hablar"
[ "$(size_when "$home")" = "$home" ] || fail "the menu board's option did not go back to the board it was chosen from"
grep -q 'MenuSpeak.Checked=NO' "$work/config/nexoquadrix.ini" || fail "the menu board's option was not applied"
echo "menu board: $home -> $menu -> $(size), speech switched off"
echo "PASS"
