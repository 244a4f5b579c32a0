#!/usr/bin/env bash
# Choices a user makes while the player is busy: a cell chosen while the message is read aloud (from
# the button bar or from a command cell) is carried out when the reading ends, and a full message bar flashes instead of swallowing a cell in
# silence. Also the one version the build gave, in --version and in the caption.
# Run inside tests/e2e/session.sh. Usage: choices_e2e.sh PLAYER
set -u
player=$1
work=$(mktemp -d /tmp/nq-e2e-choices.XXXXXX)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/lib.sh"

mkdir -p "$work/config" "$work/boards"
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n' > "$work/config/nexoquadrix.ini"
{
  printf '[Quadrix]\nName=Quadrix\nautor=Vellumor\n[Position]\nLeft=0\nTop=0\nWidth=700\nHeight=560\n'
  printf '[Grid]\nColumns=4\nRows=1\n[Menu Options 2]\nShow Button Bar=1\nShow Message Bar=1\nMenuQdxPosition=5\n'
  # Long texts, so that reading the message takes seconds.
  printf '[Cell 1]\nCaption=Un\nRead=una frase prou llarga per a llegir-la a poc a poc\nFrame cell color=0\nFont Size=20\n'
  printf '[Cell 2]\nCaption=Dos\nRead=una altra frase encara ben llarga de dir\nFrame cell color=0\nFont Size=20\n'
  printf '[Cell 3]\nCaption=Tres\nRead=tres\nFrame cell color=0\nFont Size=20\n'
  printf '[Cell 4]\nCaption=Llegir\nSpecial Function=<LLEGIR MISSATGE>\nFrame cell color=0\nFont Size=20\n'
} | sed 's/$/\r/' > "$work/boards/choices.qdx"

# Dark pixels in the message bar (the bottom 135 pixels of the client area).
message_ink() {
  import -window root "$work/shot.png" 2>/dev/null
  convert "$work/shot.png" -crop "$((W - 20))x110+$((X + 10))+$((Y + H - 122))" -colorspace Gray -threshold 50% \
    -negate -format '%[fx:mean*w*h]' info: | cut -d. -f1
}
# Pure red pixels on the message bar's bottom edge.
bar_red() {
  import -window root "$work/flash.png" 2>/dev/null
  convert "$work/flash.png" -crop "$((W - 40))x3+$((X + 20))+$((Y + H - 4))" -fx 'r>0.9 && g<0.1 && b<0.1' \
    -format '%[fx:mean*w*h]' info: | cut -d. -f1
}
click_at() { xdotool mousemove "$1" "$2" click 1; }

version=$("$player" --version | sed -n 's/^nexoquadrix //p')
[ -n "$version" ] || fail "--version gave no version"

NEXOQUADRIX_CONFIG_DIR="$work/config" NEXOQUADRIX_NO_SUPERVISOR=1 "$player" "$work/boards/choices.qdx" \
  > "$work/player.log" 2>&1 &
pids+=($!)
window=$(wait_for_player_window)
[ -n "$window" ] || { cat "$work/player.log"; fail "the player's window did not appear"; }
sleep 2.5
caption=$(xdotool getwindowname "$window")
echo "--version: $version; caption: $caption"
[[ "$caption" == *" $version" ]] || fail "the caption does not carry the version --version gives"
[[ "$caption" != *"/"* ]] || fail "the caption carries a second, dated version"

client_geometry "$window"
W=$WIDTH
H=$HEIGHT
grid_top=$((Y + 22 + 65))
cell_y=$((grid_top + 60))
cell_x() { echo $((X + W * (2 * $1 - 1) / 8)); }

click_at "$(cell_x 1)" "$cell_y"
sleep 0.3
click_at "$(cell_x 2)" "$cell_y"
sleep 3
ink2=$(message_ink)
# "Llegir" reads both texts aloud, for seconds; "Tres" is chosen in the middle of it.
# The same with the reading started by a command cell, whose work runs with the window busy too.
read_then_choose() {
  local before=$1 during after
  click_at "$2" "$3"
  sleep 0.8
  click_at "$(cell_x 3)" "$cell_y"
  sleep 0.3
  during=$(message_ink)
  for _ in $(seq 1 40); do
    sleep 0.25
    after=$(message_ink)
    [ "$after" -gt $((during + 20)) ] && break
  done
  echo "message ink ($4): before $before, during the reading $during, after it $after"
  [ "$during" -le $((before + 10)) ] || fail "the cell chosen during the reading ($4) ran inside it"
  [ "$after" -gt $((during + 20)) ] || fail "the cell chosen during the reading ($4) was lost"
  ink_now=$after
}
read_then_choose "$ink2" $((X + 180 + 30)) $((Y + 22 + 30)) "button bar"
read_then_choose "$ink_now" "$(cell_x 4)" "$cell_y" "command cell"

# Fill the bar (six cells in all), then one more: it is refused and the bar flashes red.
for _ in 1 2; do
  click_at "$(cell_x 3)" "$cell_y"
  sleep 0.8
done
full=$(message_ink)
red_before=$(bar_red)
xdotool mousemove "$(cell_x 3)" "$cell_y" click 1
red=0
for _ in $(seq 1 6); do
  r=$(bar_red)
  [ "$r" -gt "$red" ] && red=$r
done
sleep 1
red_after=$(bar_red)
echo "full bar: red on its edge $red_before, after a seventh cell up to $red, later $red_after"
[ "$red" -gt $((red_before + 100)) ] || fail "a full message bar did not flash"
[ "$red_after" -le $((red_before + 10)) ] || fail "the flash did not end"
[ "$(message_ink)" -le $((full + 10)) ] || fail "a seventh cell was written into a full bar"
echo "PASS"
