#!/usr/bin/env bash
# A player started in the external-window mode, under its supervisor, while a text editor has the
# focus: the focus never leaves the editor, neither while the player's window first appears (and its
# splash) nor while the supervisor brings it back after a SIGSEGV, and a key cell types into the
# editor each time. Negative control: started without the mode, the player takes the focus.
# Run inside tests/e2e/session.sh. Usage: external_window_start_e2e.sh PLAYER RECEIVER
set -u
player=$1
receiver=$2
work=$(mktemp -d /tmp/nq-e2e-external-start.XXXXXX)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; [ -n "${NQ_KEEP:-}" ] || rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/lib.sh"

mkdir -p "$work/config" "$work/boards"
printf '[Quadrix]\nName=Quadrix\nautor=Vellumor\n[Position]\nLeft=100\nTop=450\nWidth=600\nHeight=250\n[Grid]\nColumns=1\nRows=1\n[Menu Options 2]\nShow Button Bar=0\nShow Message Bar=0\nWrite only letters or words=1\n[Cell 1]\nCaption=k\nRead=k\nFont Size=20\n' |
  sed 's/$/\r/' > "$work/boards/tecla.qdx"

"$receiver" "$work/received.txt" > "$work/receiver.log" 2>&1 &
pids+=($!)
editor=$(wait_for_window '^Receptor$')
[ -n "$editor" ] || fail "the receiving editor did not appear"
xdotool windowactivate --sync "$editor"
active() { xdotool getactivewindow 2>/dev/null; }
received() { cat "$work/received.txt" 2>/dev/null; }

# Watches the focus every 50 ms until a player window of a process other than OLD_PID shows and 3 s
# more have passed (the splash hides itself after 2 s); prints how many looks found the focus away
# from the editor twice in a row (a lost focus stays lost; a single look can fail while the window
# manager changes it). A restarted player's window may get the X id of the crashed one's.
watch_focus() { # OLD_PID
  local old=$1 window="" away=0 until=0 shown before=yes now
  for _ in $(seq 1 400); do
    now=no
    [ "$(active)" = "$editor" ] && now=yes
    [ "$now" = no ] && [ "$before" = no ] && away=$((away + 1))
    before=$now
    if [ -z "$window" ]; then
      shown=$(xdotool search --onlyvisible --name 'NexoQuadrix - ' 2>/dev/null | head -n 1)
      if [ -n "$shown" ] && [ "$(xdotool getwindowpid "$shown" 2>/dev/null)" != "$old" ]; then
        window=$shown
        until=$(($(date +%s%N) / 1000000 + 3000))
      fi
    elif [ $(($(date +%s%N) / 1000000)) -ge "$until" ]; then
      break
    fi
    sleep 0.05
  done
  [ -n "$window" ] || away=-1
  echo "$away"
}
# Clicks the board's one key cell and checks that the editor received one more "k".
type_k() { # WHEN
  local window before
  window=$(wait_for_player_window)
  client_geometry "$window"
  before=$(received)
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
  sleep 0.6
  [ "$(received)" = "${before}k" ] || fail "$1: the editor received '$(received)' instead of '${before}k'"
}
start_supervised() { # NonFocusable
  printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n[Menu Options]\r\nMenuSpeak.Checked=NO\r\nNonFocusable=%s\r\n' "$1" \
    > "$work/config/nexoquadrix.ini"
  NEXOQUADRIX_NO_SUPERVISOR= NEXOQUADRIX_CONFIG_DIR="$work/config" "$player" "$work/boards/tecla.qdx" \
    >> "$work/player.log" 2>&1 &
  sup=$!
  pids+=($sup)
}
player_pid() { xdotool getwindowpid "$(wait_for_player_window)" 2>/dev/null; }

start_supervised SI
away=$(watch_focus none)
[ "$away" -ge 0 ] || { cat "$work/player.log"; fail "the player's window did not appear"; }
[ "$away" = 0 ] || fail "starting in the external-window mode took the focus from the editor ($away looks)"
window=$(wait_for_player_window)
xprop -id "$window" WM_HINTS | grep -q 'accepts input or input focus: False' ||
  fail "the player's window does not tell the window manager it takes no focus: $(xprop -id "$window" WM_HINTS)"
type_k "after the start"
echo "started in the mode: the editor kept the focus"

first=$(player_pid)
[ -n "$first" ] && [ "$first" != "$sup" ] || fail "the player does not run under a supervisor (pid $first)"
kill -SEGV "$first"
away=$(watch_focus "$first")
[ "$away" -ge 0 ] || { cat "$work/player.log"; fail "the supervisor did not bring the player back"; }
[ "$away" = 0 ] || fail "the player restarted after SIGSEGV took the focus from the editor ($away looks)"
[ "$(player_pid)" != "$first" ] || fail "the window that showed is still the crashed player's"
type_k "after the restart"
echo "restarted after SIGSEGV: the editor kept the focus"

# Negative control: the same start without the mode takes the focus.
wmctrl -c 'NexoQuadrix - '
for _ in $(seq 1 50); do kill -0 "$sup" 2>/dev/null || break; sleep 0.1; done
xdotool windowactivate --sync "$editor"
start_supervised NO
away=$(watch_focus none)
[ "$away" -gt 0 ] || fail "negative control: started without the mode, the player did not take the focus"
echo "negative control: without the mode the start took the focus"
echo PASS
