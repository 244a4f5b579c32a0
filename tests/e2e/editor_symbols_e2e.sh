#!/usr/bin/env bash
# An author finds a picture for a cell by typing its word in the editor's symbol search, drags the
# first result onto the cell and saves; the player then shows the picture. The symbols are a small
# sample: one pictogram (a red disc) named in Catalan, Spanish and English.
# Run inside tests/e2e/session.sh.
# Usage: editor_symbols_e2e.sh EDITOR PLAYER TOOL
set -u
editor=$1
player=$2
tool=$3
work=$(mktemp -d /tmp/nq-e2e-symbols.XXXXXX)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; [ -n "${NQ_E2E_KEEP:-}" ] || rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; [ -f "$work/editor.log" ] && tail -n 20 "$work/editor.log"; exit 1; }
. "$(dirname "$0")/lib.sh"

export HOME="$work/home" XDG_CONFIG_HOME="$work/xdg" XDG_CACHE_HOME="$work/cache"
export NEXOQUADRIX_PICTOGRAMS_DIR="$work/pictograms" NEXOQUADRIX_CLDR_DIR="$work/cldr"
mkdir -p "$HOME" "$XDG_CONFIG_HOME/NexoQuadrix" "$work/config" "$work/pictograms/data" \
  "$work/pictograms/color/svg" "$work/cldr/common/annotations" "$work/cldr/common/annotationsDerived"
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n' > "$work/config/nexoquadrix.ini"
printf '[General]\nlanguage=0\n' > "$XDG_CONFIG_HOME/NexoQuadrix/editor.conf"
printf '[{"emoji":"🐈","hexcode":"1F408","annotation":"cat","tags":"pet"}]' > "$work/pictograms/data/openmoji.json"
printf '<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 72 72"><circle cx="36" cy="36" r="34" fill="#ff0000"/></svg>' \
  > "$work/pictograms/color/svg/1F408.svg"
for pair in ca:gat es:gato en:cat; do
  printf '<ldml><annotations>\n<annotation cp="🐈">%s</annotation>\n<annotation cp="🐈" type="tts">%s</annotation>\n</annotations></ldml>\n' \
    "${pair#*:}" "${pair#*:}" > "$work/cldr/common/annotations/${pair%%:*}.xml"
done
board="$HOME/animals.qdx"
printf '[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Grid]\r\nColumns=2\r\nRows=1\r\n[Cell 1]\r\nCaption=Mix\r\n[Cell 2]\r\nCaption=Gat\r\n' \
  > "$board"

# --- the editor ------------------------------------------------------------------------------------
launch_editor "$board"

# Cell 2 is chosen; its word is typed in the search box (the library loads in the background).
keys Right
keys ctrl+f
text "gats"
sleep 2
import -window root "$work/editor.png" 2>/dev/null
# The only red on screen is the result's picture; the chosen cell is outlined in the selection blue.
red=$(convert "$work/editor.png" -fuzz 10% -fill black +opaque '#FF0000' -fill white -opaque '#FF0000' -trim \
  -format '%w %h %X %Y' info:)
read -r rw rh rx ry <<< "$red"
[ -n "${rw:-}" ] && [ "$rw" -gt 10 ] && [ "$rw" -lt 100 ] || fail "no result shown for the word ($red)"
rx=${rx#+}
ry=${ry#+}
box=$(convert "$work/editor.png" -crop 700x2000+0+0 -fuzz 12% -fill black +opaque '#1E6EE6' -fill white \
  -opaque '#1E6EE6' -trim -format '%w %h %X %Y' info:)
read -r cw ch cx cy <<< "$box"
[ -n "${cw:-}" ] && [ "$cw" -gt 20 ] || fail "the chosen cell is not outlined ($box)"
cx=${cx#+}
cy=${cy#+}
sx=$((rx + rw / 2))
sy=$((ry + rh / 2))
tx=$((cx + cw / 2))
ty=$((cy + ch / 2))
xdotool mousemove $sx $sy mousedown 1
for step in 1 2 3 4 5 6 7 8 9 10; do
  xdotool mousemove $((sx + (tx - sx) * step / 10)) $((sy + (ty - sy) * step / 10))
  sleep 0.15
done
sleep 0.5
xdotool mouseup 1
sleep 1
keys ctrl+s
sleep 1
picture=$("$tool" get "$board" 'Cell 2' Picture)
[ "$picture" = 'pictures\gat.png' ] || fail "cell 2 picture: '$picture'"
[ -z "$("$tool" get "$board" 'Cell 1' Picture)" ] || fail "cell 1 got a picture too"
size=$(identify -format '%w %h %[channels]' "$HOME/pictures/gat.png" 2>/dev/null)
case "$size" in "512 512 srgba"*|"512 512 rgba"*) ;; *) fail "the picture is not a transparent 512 px PNG ($size)" ;; esac
keys ctrl+q
for _ in $(seq 1 50); do kill -0 "$editor_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$editor_pid" 2>/dev/null && fail "the editor asked something on closing a saved board"

# --- the player ------------------------------------------------------------------------------------
NEXOQUADRIX_CONFIG_DIR="$work/config" "$player" "$board" > "$work/player.log" 2>&1 &
pids+=($!)
window=$(wait_for_player_window)
[ -n "$window" ] || { cat "$work/player.log"; fail "the player's window did not appear"; }
sleep 2.5
client_geometry "$window"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$work/shot.png" 2>/dev/null
shown=$(convert "$work/shot.png" -fuzz 10% -fill black +opaque '#FF0000' -fill white -opaque '#FF0000' \
  -format '%[fx:mean*w*h]' info: | cut -d. -f1)
echo "in the player: $shown red pixels of the chosen symbol"
[ "$shown" -gt 300 ] || fail "the symbol's picture is not shown in the player"
echo "PASS"
