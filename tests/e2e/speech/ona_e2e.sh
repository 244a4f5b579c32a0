#!/usr/bin/env bash
# Ona in the real player: the speech window's first group lists her, choosing her with the keyboard
# stores her as a voice of that group under her own name, and the player still closes at once even
# though her voice was loading in the background. Run inside tests/e2e/session.sh.
# Usage: ona_e2e.sh PLAYER
set -u
player=$1
work=$(mktemp -d /tmp/nq-e2e-ona.XXXXXX)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
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

wmctrl -c 'NexoQuadrix - ' || fail "could not ask the main window to close"
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the player did not close"
pid=""
echo "PASS"
