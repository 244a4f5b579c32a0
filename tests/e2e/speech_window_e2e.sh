#!/usr/bin/env bash
# The speech window of the real player: "--list-voices" prints the voices as the window lists them,
# Catalan and Spanish first; with an empty settings file the window opens first; choosing the first
# Catalan in-process voice with the keyboard says a sample in it, and confirming closes the window and
# stores the choice; "Synthesizer TTS" in the "Opciones" menu opens it again, showing that choice. Run
# inside tests/e2e/session.sh. Usage: speech_window_e2e.sh PLAYER
set -u
player=$1
work=$(mktemp -d /tmp/nq-e2e-speech.XXXXXX)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  [ -f "$work/player.log" ] && cat "$work/player.log"
  exit 1
}
. "$(dirname "$0")/lib.sh"
settings="$work/config/nexoquadrix.ini"
mkdir -p "$work/config"
: > "$settings"

find_window() { # NAME: the first visible window whose title contains NAME, waiting up to 10 s
  local found=""
  for _ in $(seq 1 100); do
    found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$found" ] && break
    sleep 0.1
  done
  echo "$found"
}
gone() { # WINDOW: waits up to 5 s for it to be unmapped
  for _ in $(seq 1 50); do
    xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable' || return 0
    sleep 0.1
  done
  return 1
}
setting() { tr -d '\r' < "$1" | sed -n "s/^$2=//p" | head -n 1; }

# One voice a line: group, name and language, the Catalan and Spanish ones before every other.
"$player" --list-voices > "$work/voices.txt" || fail "--list-voices failed"
awk -F'\t' 'NF != 3 { bad = 1 } END { exit bad }' "$work/voices.txt" || fail "a --list-voices line is not group, name, language: $(cat "$work/voices.txt")"
grep -qP '^SAPI\tSAPI - Catalan \(ca\)\tca$' "$work/voices.txt" || fail "--list-voices does not list espeak-ng's Catalan: $(head "$work/voices.txt")"
home=$(awk -F'\t' '$3 ~ /^(ca|es)([-_]|$)/ { n = NR } END { print n + 0 }' "$work/voices.txt")
foreign=$(awk -F'\t' '$3 != "" && $3 !~ /^(ca|es)([-_]|$)/ { print NR; exit }' "$work/voices.txt")
[ -n "$foreign" ] && [ "$home" -lt "$foreign" ] || fail "--list-voices does not put Catalan and Spanish first (last at $home, first other at ${foreign:-none})"
echo "--list-voices: $(wc -l < "$work/voices.txt") voices, Catalan and Spanish in the first $home lines"

NEXOQUADRIX_CONFIG_DIR="$work/config" "$player" > "$work/player.log" 2>&1 &
pid=$!

speech=$(find_window 'TTS - ')
[ -n "$speech" ] || fail "the speech window did not open on the first run"
main=$(find_window 'NexoQuadrix - ')
[ -n "$main" ] || fail "the main window is not shown behind the speech window"
[ -z "$(setting "$settings" 'Numero sintetitzador')" ] || fail "an engine was stored before the user chose one"
# The start splash (titled "NexoQuadrix" alone) must not cover the speech window.
[ -z "$(xdotool search --onlyvisible --name '^NexoQuadrix$' 2>/dev/null)" ] ||
  fail "the start splash is still shown over the speech window"

# The list has the focus; typing the start of an entry selects it, Enter presses "D'acord".
sleep 0.5
xdotool windowactivate --sync "$speech" 2>/dev/null || xdotool windowfocus --sync "$speech"
# The voice selected says its sample.
rms=$(heard_rms xdotool type --delay 40 'SAPI - Catalan')
echo "selecting the voice: speech RMS $rms"
awk -v r="${rms:-0}" 'BEGIN { exit !(r > 0.005) }' || fail "selecting a voice said nothing (RMS ${rms:-none})"
list_shot() { # WINDOW OUT: a screenshot of the window's voice list
  local x y
  x=$(xwininfo -id "$1" | sed -n 's/.*Absolute upper-left X: *//p')
  y=$(xwininfo -id "$1" | sed -n 's/.*Absolute upper-left Y: *//p')
  import -window root -crop "632x293+$((x + 8))+$((y + 24))" +repage "$2" 2>/dev/null
}
list_shot "$speech" "$work/chosen.png"
xdotool key Return
gone "$speech" || fail "\"D'acord\" did not close the speech window"

number=$(setting "$settings" 'Numero sintetitzador')
kind=$(setting "$work/config/parlartts.ini" 'Tipus de sintetitzador')
voice=$(setting "$work/config/parlartts.ini" 'Sintetitzador')
echo "stored engine $number, type $kind, voice $voice"
[[ "$number" =~ ^[0-9]+$ ]] || fail "\"Numero sintetitzador\" was not stored (got '$number')"
[ "$kind" = "SAPI" ] || fail "the chosen entry is not an in-process voice (got '$kind')"
[[ "$voice" =~ ^[0-9]+$ ]] || fail "the in-process voice number was not stored"

# "Synthesizer TTS" is the first item of the "Opciones" menu, the fourth of the menu bar.
sleep 1
X=$(xwininfo -id "$main" | sed -n 's/.*Absolute upper-left X: *//p')
Y=$(xwininfo -id "$main" | sed -n 's/.*Absolute upper-left Y: *//p')
xdotool mousemove $((X + 212)) $((Y + 9)) click 1
sleep 0.5
xdotool key Down Return
again=$(find_window 'TTS - ')
[ -n "$again" ] || fail "\"Synthesizer TTS\" did not open the speech window"
sleep 0.3
list_shot "$again" "$work/again.png"
[ -n "${NQ_E2E_SHOTS:-}" ] && cp "$work/chosen.png" "$work/again.png" "$NQ_E2E_SHOTS/"
# The reopened list shows the chosen entry selected where it was: the two pictures match.
differ=$(compare -metric AE -fuzz 5% "$work/chosen.png" "$work/again.png" null: 2>&1 | cut -d' ' -f1)
echo "list pixels that differ after reopening: $differ"
[[ "$differ" =~ ^[0-9]+$ ]] || fail "could not compare the speech window's lists ($differ)"
[ "$differ" -lt 200 ] || fail "the reopened speech window does not show the chosen voice"
xdotool key Escape
gone "$again" || fail "Escape did not close the speech window"
[ "$(setting "$settings" 'Numero sintetitzador')" = "$number" ] || fail "closing again changed the stored engine"

wmctrl -c 'NexoQuadrix - ' || fail "could not ask the main window to close"
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the player did not close"
pid=""
echo "PASS"
