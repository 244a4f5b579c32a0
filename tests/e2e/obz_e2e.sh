#!/usr/bin/env bash
# A board set from another AAC system, opened in the real player from the command line: it is
# imported once into the data folder, its root board shows, and a chosen cell is heard on the
# speaker (recorded from the null sink's monitor). A set whose cell would start a shell imports, in
# the tool and in the player, with that command left out and named in the import report; the cell
# runs nothing. Run inside tests/e2e/session.sh.
# Usage: obz_e2e.sh PLAYER FIXTURE_SET_FOLDER TOOL
set -u
player=$1
set_folder=$2
tool=$3
work=$(mktemp -d /tmp/nq-e2e-obz.XXXXXX)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/lib.sh"

mkdir -p "$work/config" "$work/data"
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n' > "$work/config/nexoquadrix.ini"
(cd "$set_folder" && python3 -c 'import sys, zipfile, os
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    for root, _, files in os.walk("."):
        for f in files: z.write(os.path.join(root, f), os.path.relpath(os.path.join(root, f), "."))' "$work/Menjar i beure.obz")

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
start_player() {
  local set=${1:-$work/Menjar i beure.obz}
  XDG_DATA_HOME="$work/data" NEXOQUADRIX_CONFIG_DIR="$work/config" launch_player "$set"
  client_geometry "$window"
}
stop_player() {
  wmctrl -c 'NexoQuadrix - '
  for _ in $(seq 1 50); do kill -0 "$player_pid" 2>/dev/null || break; sleep 0.1; done
}

start_player
imported=$(ls -d "$work/data/nexoquadrix/imported/"*/ 2>/dev/null)
[ "$(echo "$imported" | grep -c .)" = 1 ] || fail "expected one imported folder, found: $imported"
[ -f "$imported/home.qdx" ] && [ -f "$imported/food.qdx" ] || fail "the set's boards were not imported"
[ -f "$imported/img_apple.png" ] || fail "the set's SVG picture was not drawn into a PNG"

# The imported root board is 2 x 2 under the menu and button bars; cell 3 says "una poma".
grid_top=$((Y + 22 + 65))
grid_height=$((HEIGHT - 22 - 65 - 135))
rms=$(heard_rms xdotool mousemove $((X + WIDTH / 4)) $((grid_top + grid_height * 3 / 4)) click 1)
echo "imported board's cell clicked: speech RMS $rms"
awk -v r="${rms:-0}" 'BEGIN {exit !(r > 0.005)}' || { cat "$work/player.log"; fail "nothing was heard from the imported cell"; }
stop_player

# The same file again opens the folder made the first time, without importing it again.
touch -d '2000-01-01' "$imported/home.qdx"
start_player
[ "$(ls -d "$work/data/nexoquadrix/imported/"*/ | grep -c .)" = 1 ] || fail "the set was imported a second time"
[ "$(stat -c %Y "$imported/home.qdx")" = "$(date -d 2000-01-01 +%s)" ] || fail "the imported board was written again"
stop_player

# A set from elsewhere whose only cell would run a shell that writes a marker file; its font name
# tries to start a cell of its own with a line break.
command='<EXECUTAR sh.exe -c "id | tee PWNED">'
python3 - "$work/hostile.obz" "$command" <<'PY'
import json, sys, zipfile
board = {"format": "open-board-0.1", "id": "h", "grid": {"rows": 1, "columns": 1, "order": [["a"]]},
         "buttons": [{"id": "a", "label": "Hola", "ext_nexoquadrix_special_function": sys.argv[2]}],
         "ext_nexoquadrix_board": {"Grid Font.Name": "Arial\r\n[Cell 1]\r\nSpecial Function=" + sys.argv[2]}}
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr("board.obf", json.dumps(board))
PY
"$tool" import "$work/hostile.obz" "$work/tool" > "$work/tool.log" 2>&1 || { cat "$work/tool.log"; fail "the tool refused the set"; }
"$tool" check "$work/tool" | grep -q 'reaches outside' && fail "the tool kept a command"
grep -qF "$command" "$work/tool/import-report.txt" || fail "the tool's report does not name the command"
# Kept commands are listed and still wait for a person's yes: the tool trusts nothing by itself, and
# says so when the folder chosen lies in one already trusted.
mkdir -p "$work/trusted"
NEXOQUADRIX_CONFIG_DIR="$work/config" "$tool" import --keep-commands "$work/hostile.obz" "$work/kept" \
  > "$work/kept.log" 2>&1 || { cat "$work/kept.log"; fail "the tool refused the set to keep"; }
grep -qF 'EXECUTAR sh.exe' "$work/kept/board.qdx" || fail "--keep-commands did not keep the command"
grep -qF "$command" "$work/kept/import-report.txt" || fail "the report does not list the kept command"
grep -q warning "$work/kept.log" && fail "a warning for a folder nobody trusts: $(cat "$work/kept.log")"
[ -z "$(NEXOQUADRIX_CONFIG_DIR="$work/config" "$tool" trusted)" ] || fail "--keep-commands trusted a folder"
NEXOQUADRIX_CONFIG_DIR="$work/config" "$tool" trust "$work/trusted" > /dev/null || fail "trust failed"
NEXOQUADRIX_CONFIG_DIR="$work/config" "$tool" import --keep-commands "$work/hostile.obz" "$work/trusted/set" \
  2>&1 | grep -q "^warning: .*trusted folder" || fail "no warning that kept commands land in a trusted folder"
NEXOQUADRIX_CONFIG_DIR="$work/config" "$tool" untrust "$work/trusted" > /dev/null || fail "untrust failed"

mkdir -p "$work/run"
cd "$work/run" || fail "no run folder"
start_player "$work/hostile.obz"
told=""
for _ in $(seq 1 50); do
  box=$(xdotool search --onlyvisible --name '^NexoQuadrix$' 2>/dev/null | head -n 1)
  if [ -n "$box" ]; then
    told=yes
    xdotool key --window "$box" Return
    break
  fi
  sleep 0.1
done
[ -n "$told" ] || fail "the player did not say that a command was left out"
hostile=$(grep -l 'board.qdx' "$work/data/nexoquadrix/imported/"hostile-*/root-board.txt 2>/dev/null | head -n 1)
[ -n "$hostile" ] || fail "the hostile set was not imported"
hostile=$(dirname "$hostile")
"$tool" check "$hostile" | grep -q 'reaches outside' && fail "the player kept a command"
grep -qF "$command" "$hostile/import-report.txt" || fail "the player's report does not name the command"
sleep 1
# The 1 x 1 board's only cell, below the menu and button bars.
xdotool mousemove $((X + WIDTH / 2)) $((Y + 22 + 65 + (HEIGHT - 22 - 65 - 135) / 2)) click 1
sleep 2
[ -e "$work/run/PWNED" ] && fail "the cell ran the shell"
stop_player
echo "PASS"
