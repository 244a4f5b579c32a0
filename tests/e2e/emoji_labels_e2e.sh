#!/usr/bin/env bash
# A board set whose labels carry emoji in every shape (before, after and between the words, several,
# a label of only an emoji, joined sequences, skin tones, flags, keycaps, text-style symbols, stray
# selectors) imported by the tool and by the real player: every emoji becomes the picture of a cell
# without one, no caption holds a "?", the label of only an emoji says the emoji's name, and the
# report names what left a caption. Run inside tests/e2e/session.sh.
# Usage: emoji_labels_e2e.sh PLAYER TOOL
set -u
player=$1
tool=$2
work=$(mktemp -d /tmp/nq-e2e-emoji.XXXXXX)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/lib.sh"

python3 - "$work/emoji.obz" <<'PY'
import json, sys, zipfile
labels = ["\U0001F3E0 Casa", "Casa \U0001F3E0", "vull \U0001F34E poma", "\U0001F34E poma \U0001F34C pl\u00e0tan",
          "\U0001F44D", "\U0001F468\u200D\U0001F469\u200D\U0001F467 fam\u00edlia", "\U0001F469\u200D\u2695\uFE0F metgessa",
          "\U0001F44B\U0001F3FD hola", "\U0001F1EA\U0001F1F8 Espanya", "1\uFE0F\u20E3 un", "\u2764 amor",
          "\u2600\uFE0F sol", "\u231A rellotge", "\u25B6\uFE0F jugar", "hola\uFE0F", "Marca\u2122"]
ids = ["b%d" % i for i in range(len(labels))]
board = {"format": "open-board-0.1", "id": "e", "locale": "ca",
         "grid": {"rows": 4, "columns": 4, "order": [ids[r * 4:r * 4 + 4] for r in range(4)]},
         "buttons": [{"id": i, "label": l} for i, l in zip(ids, labels)]}
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr("board.obf", json.dumps(board, ensure_ascii=False))
PY

# Checks an imported folder: 16 cells, 14 of them with a picture, the two plain labels without.
check_imported() { # FOLDER WHO
  local folder=$1 who=$2 qdx
  qdx=$(ls "$folder"/*.qdx | head -n 1)
  [ -f "$qdx" ] || fail "$who: no board imported"
  grep -aq '?' "$qdx" && fail "$who: a caption holds a \"?\": $(grep -a '?' "$qdx" | head -n 3)"
  grep -aq 'letra parecida' "$folder/import-report.txt" && fail "$who: characters were replaced: $(cat "$folder/import-report.txt")"
  local pictures
  pictures=$(grep -ac '^Picture="[^"]' "$qdx")
  [ "$pictures" = 14 ] || fail "$who: $pictures cells with a picture, expected 14"
  while read -r name; do
    [ -s "$folder/$name" ] || fail "$who: the picture $name is missing"
  done < <(sed -n 's/^Picture="\([^"]*\)".*/\1/p' "$qdx" | tr -d '\r')
  grep -aq '^Read="polze cap amunt"' "$qdx" || fail "$who: the label of only an emoji does not say its name"
  grep -aq '^Caption="Marca' "$qdx" || fail "$who: the trademark sign of a word was taken for an emoji"
  grep -q 'tampoco se ha puesto en el texto' "$folder/import-report.txt" || fail "$who: the second emoji of a label is not reported"
  echo "$who: $pictures pictures, no \"?\""
}

"$tool" import "$work/emoji.obz" "$work/tool" > "$work/tool.log" 2>&1 || { cat "$work/tool.log"; fail "the tool refused the set"; }
check_imported "$work/tool" tool

mkdir -p "$work/config" "$work/data"
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n' > "$work/config/nexoquadrix.ini"
XDG_DATA_HOME="$work/data" NEXOQUADRIX_CONFIG_DIR="$work/config" launch_player "$work/emoji.obz"
imported=$(ls -d "$work/data/nexoquadrix/imported/"*/ 2>/dev/null | head -n 1)
[ -n "$imported" ] || { cat "$work/player.log"; fail "the player imported nothing"; }
check_imported "$imported" player
wmctrl -c 'NexoQuadrix - '
echo PASS
