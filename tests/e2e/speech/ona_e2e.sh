#!/usr/bin/env bash
# Ona in the real player: the speech window's first group lists her, choosing her with the keyboard
# stores her as a voice of that group under her own name; started again with her chosen, a clicked
# cell is heard in her voice (her stream is the one at her own 16 kHz rate; espeak-ng's is 22 kHz).
# Run inside tests/e2e/session.sh.
# Usage: ona_e2e.sh PLAYER
set -u
player=$1
work=$(mktemp -d /tmp/nq-e2e-ona.XXXXXX)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
. "$(dirname "$0")/../lib.sh"
fail() {
  echo "FAIL: $*"
  [ -f "$work/player.log" ] && cat "$work/player.log"
  exit 1
}
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
setting() { tr -d '\r' < "$1" | sed -n "s/^$2=//p" | head -n 1; }

NEXOQUADRIX_CONFIG_DIR="$work/config" "$player" > "$work/player.log" 2>&1 &
pid=$!
speech=$(find_window 'TTS - ')
[ -n "$speech" ] || fail "the speech window did not open on the first run"
sleep 0.5
xdotool windowactivate --sync "$speech" 2>/dev/null || xdotool windowfocus --sync "$speech"
xdotool type --delay 40 'Ona'
sleep 0.3
xdotool key Return
for _ in $(seq 1 50); do
  [ -n "$(setting "$settings" 'Numero sintetitzador')" ] && break
  sleep 0.1
done
group=$(setting "$settings" 'Grup sintetitzador')
name=$(setting "$settings" 'Nom sintetitzador' | iconv -f WINDOWS-1252 -t UTF-8)
echo "stored group '$group', name '$name'"
[ "$name" = "Ona (català)" ] || fail "Ona was not listed or not chosen (stored '$name')"
[ "$group" = "MSP" ] || fail "Ona is not in the first group (stored '$group')"

close_player() {
  wmctrl -c 'NexoQuadrix - ' || fail "could not ask the main window to close"
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "the player did not close"
  pid=""
}
close_player

# The bundled Catalan home board; its first cell speaks.
cp -r "$(cd "$(dirname "$0")/../../.." && pwd)/data" "$work/demo"
NEXOQUADRIX_CONFIG_DIR="$work/config" "$player" "$work/demo/boards/ca/inici.qdx" > "$work/player.log" 2>&1 &
pid=$!
window=$(wait_for_player_window)
[ -n "$window" ] || fail "the player's window did not appear"
client_geometry "$window"
parec -d spk.monitor --format=s16le --rate=16000 --channels=1 --raw > "$work/heard.raw" 2>/dev/null &
rec=$!
sleep 0.3
# Until Ona is loaded (slow under the sanitizers on a loaded machine) espeak-ng speaks for her: the cell
# is chosen again until her 16 kHz stream is there, for up to half a minute.
streams=0
for _ in $(seq 1 10); do
  xdotool mousemove $((X + WIDTH / 12)) $((Y + 22 + 65 + (HEIGHT - 22 - 65 - 135) / 10)) click 1
  sleep 3
  streams=$(pactl list sink-inputs 2>/dev/null | grep -c 's16le 1ch 16000Hz')
  [ "$streams" -ge 1 ] && break
done
kill "$rec" 2>/dev/null
wait "$rec" 2>/dev/null
rms=$(sox -t raw -r 16000 -e signed -b 16 -c 1 "$work/heard.raw" -n stat 2>&1 | sed -n 's/^RMS *amplitude: *//p')
echo "cell clicked with Ona chosen: RMS $rms, 16 kHz speech streams $streams"
awk -v r="$rms" 'BEGIN { exit !(r > 0.01) }' || fail "nothing was heard (RMS '$rms')"
[ "$streams" -ge 1 ] || fail "the cell was not spoken by Ona"
close_player
echo "PASS"
