#!/usr/bin/env bash
# Trying to lose work in the editor, on a board made on Windows: the editor killed in the middle of
# an edit offers its autosave copy when started again (recovered, the save changes only the edited
# value; refused, the copy is gone and the board untouched); a second editor on the same board does
# not open it; a save into a read-only folder says so and leaves the file alone; a new board never
# saved is offered again too.
# Run inside tests/e2e/session.sh. Usage: editor_crash_e2e.sh EDITOR TOOL
set -u
editor=$1
tool=$2
work=$(mktemp -d /tmp/nq-e2e-editor-crash.XXXXXX)
pids=()
trap 'for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done; chmod -R u+w "$work"; [ -n "${NQ_E2E_KEEP:-}" ] || rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; [ -f "$work/editor.log" ] && tail -n 20 "$work/editor.log"; exit 1; }
. "$(dirname "$0")/lib.sh"

export HOME="$work/home" XDG_CONFIG_HOME="$work/xdg" XDG_CACHE_HOME="$work/cache"
mkdir -p "$HOME" "$XDG_CONFIG_HOME/NexoQuadrix" "$work/boards"
printf '[General]\nlanguage=0\n' > "$XDG_CONFIG_HOME/NexoQuadrix/editor.conf"
board="$work/boards/cafe.qdx"
# A comment, an unknown section, a Windows-1252 accent, and no line break at the end.
printf '; fet a Windows\r\n[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Extra]\r\nx=1\r\n[Grid]\r\nColumns=2\r\nRows=1\r\n[Cell 1]\r\nCaption=Caf\xe9\r\n[Cell 2]\r\nCaption=Aigua' > "$board"
cp "$board" "$work/original.qdx"
autosave="$board.autosave"

gone() { for _ in $(seq 1 50); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done; return 1; }

# Killed mid-edit, a few seconds after the change: the copy is there and the board is not touched.
launch_editor "$board"
keys F2; text "Te"; keys Return
sleep 4.5
[ -f "$autosave" ] || fail "no autosave copy a few seconds after a change"
kill -9 "$editor_pid"
cmp -s "$board" "$work/original.qdx" || fail "the board changed although it was never saved"

# Started again: the copy is offered (Return takes it), and saving writes only the edited value.
launch_editor "$board"
keys Return
sleep 0.5
xdotool windowactivate --sync "$window" 2>/dev/null
keys ctrl+s
sleep 1
# The spoken text follows the caption (the player says only the spoken text), so it comes along.
expected=$(perl -0pe 's/Caption=Caf\xe9\r\n/Caption=Te\r\nRead=Te\r\n/' "$work/original.qdx" | od -c)
[ "$(od -c < "$board")" = "$expected" ] || fail "the recovered board was not saved as the one edit: $(od -c < "$board" | head)"
[ -f "$autosave" ] && fail "the autosave copy was left after saving"

# A second editor on the same board says so and ends; the first one goes on.
first=$editor_pid
first_window=$window
"$editor" "$board" > "$work/second.log" 2>&1 &
second=$!
pids+=("$second")
box=$(wait_for_window_titled NexoQuadrix)
[ -n "$box" ] || fail "the second editor said nothing"
xdotool windowactivate --sync "$box" 2>/dev/null
keys Return
gone "$second" || fail "the second editor stayed open on a board open in the first"
kill -0 "$first" 2>/dev/null || fail "the first editor went away"

# Refused this time: the copy leaves the folder for the trash and the board stays as saved.
editor_pid=$first
window=$first_window
xdotool windowactivate --sync "$window" 2>/dev/null
keys Right F2; text "Llet"; keys Return
sleep 4.5
[ -f "$autosave" ] || fail "no autosave copy after the second change"
cp "$board" "$work/saved.qdx"
kill -9 "$editor_pid"
launch_editor "$board"
keys Escape
sleep 0.5
[ -f "$autosave" ] && fail "the autosave copy was kept after it was refused"
[ -n "$(find "$HOME/.local/share/Trash/files" -name "$(basename "$autosave")*" 2>/dev/null)" ] ||
  { find "$work" -path "*Trash*"; fail "the refused copy was deleted instead of going to the trash"; }
cmp -s "$board" "$work/saved.qdx" || fail "refusing the copy changed the board"

# A save into a read-only folder fails aloud; the board keeps its bytes and the editor its change.
xdotool windowactivate --sync "$window" 2>/dev/null
keys F2; text "Cacau"; keys Return
chmod 0500 "$work/boards"
keys ctrl+s
note=$(wait_for_window_titled NexoQuadrix)
[ -n "$note" ] || fail "a failed save said nothing"
xdotool windowactivate --sync "$note" 2>/dev/null
keys Return
chmod 0700 "$work/boards"
cmp -s "$board" "$work/saved.qdx" || fail "a failed save changed the board"
xdotool windowactivate --sync "$window" 2>/dev/null
keys ctrl+s
sleep 1
[ "$("$tool" get "$board" 'Cell 1' Caption)" = "Cacau" ] || fail "the change was lost after a failed save"
keys ctrl+q
gone "$editor_pid" || fail "the editor asked something on closing a saved board"
[ -e "$work/boards/.cafe.qdx.lock" ] && fail "the editor left its lock behind after closing normally"
[ -z "$(find "$HOME" -name 'untitled-*')" ] || fail "work copied elsewhere while the folder was read-only was left to be offered again"

# A new board never saved, killed mid-edit: the next editor started without a board offers it.
launch_editor
keys F2; text "Nou"; keys Return
sleep 4.5
kill -9 "$editor_pid"
launch_editor
keys Return
sleep 0.5
xdotool windowactivate --sync "$window" 2>/dev/null
keys ctrl+s
sleep 1.5
text "$work/boards/nou.qdx"; keys Return
sleep 1
[ "$("$tool" get "$work/boards/nou.qdx" 'Cell 1' Caption)" = "Nou" ] || fail "the new board was not recovered"
[ -z "$(find "$HOME" -name 'untitled-*')" ] || fail "the copy of the new board was left after saving it"
keys ctrl+q
gone "$editor_pid" || fail "the editor asked something on closing a saved board"
echo "PASS"
