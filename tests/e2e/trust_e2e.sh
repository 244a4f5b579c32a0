#!/usr/bin/env bash
# Boards from a folder nobody trusted yet: the real player asks before a cell starts a program, and
# each answer holds as long as it should; a program or link planted in a folder others can write is
# refused with a message, and a board planted there is asked about even inside a trusted folder; a
# Windows full path never reaches the board's folder; the working folder and relative PATH entries
# are never searched. Run inside tests/e2e/session.sh.
# Usage: trust_e2e.sh PLAYER
set -u
player=$1
work=$(mktemp -d /tmp/nq-e2e-trust.XXXXXX)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; [ -n "${NQ_KEEP:-}" ] || rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; [ -f "$work/player.log" ] && tail -n 20 "$work/player.log"; exit 1; }
. "$(dirname "$0")/lib.sh"

mkdir -p "$work/config" "$work/fresh" "$work/fresh2" "$work/open" "$work/safe" "$work/bin" "$work/run/rel"
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n[Menu Options]\r\nMenuSpeak.Checked=NO\r\n' > "$work/config/nexoquadrix.ini"
: > "$work/config/Quadrix.ini"
chmod 1777 "$work/open"

# A program that appends its name and arguments to a marker file of the test.
program() { # FILE NAME
  printf '#!/bin/sh\necho "%s $*" >> "%s/marker"\n' "$2" "$work" > "$1"
  chmod 755 "$1"
}
program "$work/fresh/marca" fresh
program "$work/fresh2/marca" stray
program "$work/open/marca" planted
program "$work/safe/firefox" board-folder
program "$work/bin/firefox" path
# What the player's working folder and a relative PATH entry hold must never start.
program "$work/run/otro" working-folder
program "$work/run/rel/otro" relative-path

board() { # FILE CELL-COMMAND...
  local file=$1 n=0
  shift
  {
    printf '[Quadrix]\nName=Quadrix\nautor=Vellumor\n[Position]\nLeft=0\nTop=0\nWidth=600\nHeight=400\n'
    printf '[Grid]\nColumns=%d\nRows=1\n[Menu Options 2]\nShow Button Bar=0\nShow Message Bar=0\n' "$#"
    for command in "$@"; do
      n=$((n + 1))
      printf '[Cell %d]\nCaption=C%d\nSpecial Function=%s\n' "$n" "$n" "$command"
    done
  } | sed 's/$/\r/' > "$file"
}
board "$work/fresh/tauler.qdx" '<EXECUTAR marca.exe uno>' '<EXECUTAR otro.exe>'
board "$work/open/tauler.qdx" '<EXECUTAR marca.exe>'
board "$work/fresh2/tauler.qdx" '<EXECUTAR marca.exe>'
board "$work/safe/tauler.qdx" '<EXECUTAR C:\Program Files\Mozilla Firefox\firefox.exe http://x>'

start_player() { # BOARD
  PATH="rel:.::$work/bin:$PATH" NEXOQUADRIX_CONFIG_DIR="$work/config" player_cwd="$work/run" \
    launch_player "$1"
}
stop_player() {
  kill "$player_pid" 2>/dev/null
  wait "$player_pid" 2>/dev/null
  for _ in $(seq 1 50); do
    [ -z "$(xdotool search --onlyvisible --name 'NexoQuadrix - ' 2>/dev/null)" ] && break
    sleep 0.1
  done
}
# Clicks cell N of the board's single row.
cell() { # N COLUMNS
  client_geometry "$window"
  xdotool mousemove $((X + WIDTH * (2 * $1 - 1) / (2 * $2))) $((Y + 22 + (HEIGHT - 22) / 2)) click 1
}
runs() { cat "$work/marker" 2>/dev/null | grep -c "^$1"; }
question() { wait_for_window_titled 'Carpeta de tableros'; }
no_question() {
  sleep 1.5
  [ -z "$(xdotool search --onlyvisible --name '^Carpeta de tableros$' 2>/dev/null)" ]
}
# Answers with the keyboard: the buttons are "Solo esta vez", "Permitir siempre en esta carpeta" and
# "No", which has the focus.
answer() { # BOX KEYS...
  local box=$1
  shift
  xdotool windowactivate --sync "$box" 2>/dev/null
  xdotool key "$@"
  sleep 1
}

# 1. A fresh folder asks. The answers that allow wait a moment, and the pointer is put on "No": a
# switch pressed again at once (a click where the pointer is) refuses.
start_player "$work/fresh/tauler.qdx"
cell 1 2
box=$(question)
[ -n "$box" ] || fail "a board of a fresh folder ran a program without asking"
answer "$box" p s alt+p alt+s
[ -n "$(xdotool search --onlyvisible --name '^Carpeta de tableros$' 2>/dev/null)" ] ||
  fail "an answer that allows was given at once"
sleep 0.5
xdotool click 1
sleep 1
[ -z "$(xdotool search --onlyvisible --name '^Carpeta de tableros$' 2>/dev/null)" ] ||
  fail "a click where the pointer was did not answer the question"
[ "$(runs fresh)" = 0 ] || fail "the program ran although the answer was No"
cell 1 2
no_question || fail "asked again in the same run after No"
[ "$(runs fresh)" = 0 ] || fail "the program ran after No"
cell 2 2
no_question || fail "asked about a program that exists only in the working folder or a relative PATH entry"
[ -z "$(grep -E 'working-folder|relative-path' "$work/marker" 2>/dev/null)" ] ||
  fail "a program from the working folder or a relative PATH entry ran"
stop_player
echo "No: nothing ran, and nothing from the working folder or relative PATH entries"

# 2. "Solo esta vez" runs it, for this run only.
start_player "$work/fresh/tauler.qdx"
cell 1 2
box=$(question)
[ -n "$box" ] || fail "not asked again at the next start after No"
sleep 1.2 # the answers that allow wait a moment, against a stray press
answer "$box" shift+Tab shift+Tab space # "No" has the focus; "Solo esta vez" is two to the left
[ "$(runs fresh)" = 1 ] || fail "\"Solo esta vez\" did not run the program once ($(runs fresh))"
cell 1 2
no_question || fail "asked again in the same run after \"Solo esta vez\""
sleep 0.5
[ "$(runs fresh)" = 2 ] || fail "the second press in the same run did not run the program"
stop_player
grep -q 'Trusted Folders' "$work/config/nexoquadrix.ini" && fail "\"Solo esta vez\" stored the folder"
start_player "$work/fresh/tauler.qdx"
cell 1 2
box=$(question)
[ -n "$box" ] || fail "not asked again at the next start after \"Solo esta vez\""

# 3. "Permitir siempre" runs it, stores the folder and never asks again.
sleep 1.2
answer "$box" shift+Tab space # "Permitir siempre en esta carpeta", beside "No"
[ "$(runs fresh)" = 3 ] || fail "\"Permitir siempre\" did not run the program"
grep -qF "$(readlink -f "$work/fresh")" "$work/config/nexoquadrix.ini" || fail "the folder was not stored"
stop_player
start_player "$work/fresh/tauler.qdx"
cell 1 2
no_question || fail "asked again after \"Permitir siempre\""
[ "$(runs fresh)" = 4 ] || fail "the trusted folder's program did not run"
stop_player
echo "Solo esta vez and Permitir siempre: $(runs fresh) runs, each as long as it should"

# 4. A program planted in a folder anyone can write: refused with one message per board, even when
# the folder is trusted.
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n[Menu Options]\r\nMenuSpeak.Checked=NO\r\n' > "$work/config/nexoquadrix.ini"
trust_folders "$work/config" "$work/open" "$work/safe"
start_player "$work/open/tauler.qdx"
cell 1 1
message=$(wait_for_window_titled 'NexoQuadrix')
[ -n "$message" ] || fail "no message about the planted program"
answer "$message" Return
cell 1 1
sleep 1.5
[ -z "$(xdotool search --onlyvisible --name '^NexoQuadrix$' 2>/dev/null)" ] || fail "the message came twice"
[ "$(runs planted)" = 0 ] || fail "the planted program ran"
stop_player
echo "planted program refused with one message"

# 5. A Windows full path is looked up on PATH by its last name, never in the board's folder.
start_player "$work/safe/tauler.qdx"
cell 1 1
for _ in $(seq 1 30); do [ "$(runs path)" = 1 ] && break; sleep 0.1; done
[ "$(runs path)" = 1 ] || fail "the program on PATH did not start for a Windows full path"
[ "$(runs board-folder)" = 0 ] || fail "a Windows full path started the file in the board's folder"
stop_player
echo "Windows full path: $(grep '^path' "$work/marker")"

# 6. Inside a trusted folder, a board in a subfolder anyone can write is not the user's: it is asked
# about. A link to the shell planted in a trusted folder anyone can write is refused like a program.
mkdir -p "$work/safe/drop"
chmod 777 "$work/safe/drop"
board "$work/safe/drop/tauler.qdx" "<EXECUTAR /bin/sh.exe -c \"echo dropped | tee -a $work/marker\">"
ln -s /bin/sh "$work/open/calc"
board "$work/open/enlace.qdx" "<EXECUTAR calc.exe -c \"echo linked | tee -a $work/marker\">"
start_player "$work/safe/drop/tauler.qdx"
cell 1 1
box=$(question)
[ -n "$box" ] || fail "a board planted in an open subfolder of a trusted folder ran without asking"
answer "$box" Escape
[ "$(runs dropped)" = 0 ] || fail "the planted board's command ran"
stop_player
start_player "$work/open/enlace.qdx"
cell 1 1
message=$(wait_for_window_titled 'NexoQuadrix')
[ -n "$message" ] || fail "no message about the link planted in an open folder"
answer "$message" Return
[ "$(runs linked)" = 0 ] || fail "the link planted in an open folder started the shell"
stop_player
echo "planted board asked about, planted link refused"

# 7. A switch press meant for the board lands on the box: Return and Space answer No, like Escape.
for key in Return space; do
  start_player "$work/fresh2/tauler.qdx"
  cell 1 1
  box=$(question)
  [ -n "$box" ] || fail "a board of a fresh folder did not ask ($key)"
  answer "$box" "$key"
  [ -z "$(xdotool search --onlyvisible --name '^Carpeta de tableros$' 2>/dev/null)" ] ||
    fail "$key did not answer the question"
  [ "$(runs stray)" = 0 ] || fail "$key let the program run"
  stop_player
done
echo "Return and Space answer No"
echo "PASS"
