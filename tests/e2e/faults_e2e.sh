#!/usr/bin/env bash
# The real player when the desktop around it fails: its settings folder missing or read-only, the
# disk full while it writes a board back (the old board stays whole), a board edited on disk while
# shown, two players writing the same board, no sound server, the sound server stopped while it
# speaks (a close still ends it at once) or killed (speech comes back with it), no desktop speech
# service, that service killed while the player speaks, and the X server gone (a clean end, and no
# restart). Needs root for the small file systems it mounts. Run inside tests/e2e/session.sh.
# Usage: faults_e2e.sh PLAYER
set -u
player=$1
work=$(mktemp -d /tmp/nq-e2e-faults.XXXXXX)
pids=()
mounts=()
stopped=""
cleanup() {
  [ -n "$stopped" ] && kill -CONT "$stopped" 2>/dev/null
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  for m in "${mounts[@]}"; do umount "$m" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/lib.sh"
export NEXOQUADRIX_NO_SUPERVISOR=1

write_board() { # FILE CAPTION
  printf '[Quadrix]\nName=Quadrix\nautor=Vellumor\n[Position]\nLeft=0\nTop=0\nWidth=600\nHeight=400\n' > "$1"
  printf '[Grid]\nColumns=2\nRows=1\n[Menu Options 2]\nShow Button Bar=0\nShow Message Bar=0\n' >> "$1"
  printf '[Cell 1]\nCaption=%s\nRead=hola\n[Cell 2]\nCaption=Adeu\n' "$2" >> "$1"
  sed -i 's/$/\r/' "$1"
}
# The in-process Catalan voice, whose playback this test follows through a sound server that comes,
# stops and goes; the desktop speech service plays through its own connection, which is not ours.
config() { # FOLDER
  mkdir -p "$1"
  printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n' \
    > "$1/nexoquadrix.ini"
}
# Starts the player on BOARD with settings in CONFIG; sets PID and WINDOW.
start_player() { # CONFIG BOARD [LOG]
  NEXOQUADRIX_CONFIG_DIR="$1" player_log="${3:-$work/player.log}" launch_player "$2"
  PID=$player_pid WINDOW=$window
  # Without settings this is a first run: the speech window asks for a voice; the first is taken. It
  # comes once the desktop speech service has listed its voices, which may take seconds.
  local voices="" wait=0
  [ -f "$1/nexoquadrix.ini" ] || wait=300
  while :; do
    voices=$(xdotool search --onlyvisible --name 'Motor de veu' 2>/dev/null | head -n 1)
    [ -n "$voices" ] || [ "$wait" -le 0 ] && break
    wait=$((wait - 1))
    sleep 0.1
  done
  if [ -n "$voices" ]; then
    xdotool key --window "$voices" Return 2>/dev/null
    sleep 1
  fi
  # A settings file that cannot be written is said once in a box ("Unable to write to ...").
  # A slow start (a sanitizer build) may show it a few seconds late: wait for it when one is expected.
  MESSAGES=0
  local box patience=$((${EXPECT_MESSAGE:-0} * 80))
  for _ in 1 2 3; do
    box=$(xdotool search --onlyvisible --name '^NexoQuadrix$' 2>/dev/null | head -n 1)
    while [ -z "$box" ] && [ "$MESSAGES" -eq 0 ] && [ "$patience" -gt 0 ]; do
      sleep 0.1
      patience=$((patience - 1))
      box=$(xdotool search --onlyvisible --name '^NexoQuadrix$' 2>/dev/null | head -n 1)
    done
    [ -z "$box" ] && break
    MESSAGES=$((MESSAGES + 1))
    xdotool key --window "$box" Return 2>/dev/null
    sleep 0.5
  done
}
# Asks the window to close; fails unless the player ends with status 0 within 30 s (a close waits for
# the desktop speech service to finish listing its voices, which takes long on a loaded machine).
close_player() { # WHAT
  wmctrl -i -c "$WINDOW"
  local status=""
  for _ in $(seq 1 300); do
    kill -0 "$PID" 2>/dev/null || { wait "$PID"; status=$?; break; }
    sleep 0.1
  done
  [ -n "$status" ] || fail "$1: the player did not answer a close"
  [ "$status" -eq 0 ] || { tail -n 40 "$work"/*.log; fail "$1: the player ended with status $status"; }
}
# Moves the window as a person would; the player writes the new place into the board.
move_window() { # X Y
  xdotool windowmove "$WINDOW" "$1" "$2"
  sleep 1
}
board_value() { tr -d '\r' < "$1" | sed -n "s/^$2=//p" | head -n 1; }

# 1. Settings folder missing (and not creatable as asked) and read-only.
mkdir -p "$work/boards"
write_board "$work/boards/prova.qdx" Hola
start_player "$work/nowhere/at/all" "$work/boards/prova.qdx"
close_player "missing settings folder"
echo "missing settings folder: started, showed the board, closed"
mkdir -p "$work/ro"
mount -t tmpfs -o size=1m tmpfs "$work/ro" || fail "cannot mount a small file system (root needed)"
mounts+=("$work/ro")
config "$work/ro"
mount -o remount,ro "$work/ro" || fail "cannot make the settings folder read-only"
before=$(sha256sum < "$work/ro/nexoquadrix.ini")
EXPECT_MESSAGE=1 start_player "$work/ro" "$work/boards/prova.qdx"
[ "$MESSAGES" -eq 1 ] || fail "read-only settings: $MESSAGES messages instead of one"
move_window 40 40
close_player "read-only settings folder"
[ "$(sha256sum < "$work/ro/nexoquadrix.ini")" = "$before" ] || fail "the read-only settings changed"
echo "read-only settings folder: started, closed, nothing written"

# 2. Disk full during a write-back: the old board stays whole; with room again the write succeeds.
config "$work/cfg"
mkdir -p "$work/full"
mount -t tmpfs -o size=256k tmpfs "$work/full" || fail "cannot mount a small file system"
mounts+=("$work/full")
write_board "$work/full/ple.qdx" Ple
dd if=/dev/zero of="$work/full/filler" bs=4k 2> /dev/null
before=$(sha256sum < "$work/full/ple.qdx")
start_player "$work/cfg" "$work/full/ple.qdx"
move_window 123 77
[ "$(sha256sum < "$work/full/ple.qdx")" = "$before" ] || fail "the board changed although the disk was full"
leftovers=$(find "$work/full" -mindepth 1 ! -name ple.qdx ! -name filler | wc -l)
[ "$leftovers" -eq 0 ] || fail "a full disk left $leftovers temporary file(s) behind"
rm -f "$work/full/filler"
move_window 131 83
left=$(board_value "$work/full/ple.qdx" Left)
[ -n "$left" ] && [ "$left" != 0 ] || fail "with room again the board place was not written (Left=$left)"
[ "$(board_value "$work/full/ple.qdx" Caption)" = Ple ] || fail "the board lost its cells in the write-back"
close_player "disk full"
echo "disk full: board kept whole and unchanged, written once there was room (Left=$left)"

# 3. A board edited on disk while shown: the player's write-back keeps the outside edit.
write_board "$work/boards/editat.qdx" Abans
start_player "$work/cfg" "$work/boards/editat.qdx"
sed -i 's/^Caption=Abans\r$/Caption=Despres\r/' "$work/boards/editat.qdx"
printf '[Cell 3]\r\nCaption=Nova\r\n' >> "$work/boards/editat.qdx"
sleep 1.1 # a later time stamp than the player's own read, whatever the file system's resolution
move_window 211 97
left=$(board_value "$work/boards/editat.qdx" Left)
[ -n "$left" ] && [ "$left" != 0 ] || fail "the edited board's place was not written"
[ "$(board_value "$work/boards/editat.qdx" Caption)" = Despres ] || fail "the write-back undid the outside edit"
grep -q '^Caption=Nova' "$work/boards/editat.qdx" || fail "the write-back dropped a section added outside"
close_player "board edited while shown"
echo "board edited on disk while shown: outside edit kept, place written (Left=$left)"

# 4. Two players on the same board and settings, moved in turn: the files never interleave.
write_board "$work/boards/comu.qdx" Comu
start_player "$work/cfg" "$work/boards/comu.qdx" "$work/one.log"
first_pid=$PID first_window=$WINDOW
start_player "$work/cfg" "$work/boards/comu.qdx" "$work/two.log"
second_pid=$PID second_window=$WINDOW
for i in $(seq 1 10); do
  xdotool windowmove "$first_window" $((20 + i * 7)) $((30 + i * 3))
  xdotool windowmove "$second_window" $((300 + i * 5)) $((200 + i * 2))
  sleep 0.2
done
sleep 1
for key in Left Top Width Height Columns Rows Caption; do
  count=$(tr -d '\r' < "$work/boards/comu.qdx" | grep -c "^$key=")
  expected=1
  [ "$key" = Caption ] && expected=2
  [ "$count" -eq "$expected" ] || { cat "$work/boards/comu.qdx"; fail "two players left $count lines of $key"; }
done
[ "$(grep -c $'\r$' "$work/boards/comu.qdx")" -eq "$(wc -l < "$work/boards/comu.qdx")" ] ||
  fail "two players mixed line endings into the board"
PID=$first_pid WINDOW=$first_window close_player "first of two players"
PID=$second_pid WINDOW=$second_window close_player "second of two players"
[ "$(grep -c '^\[tts\]' "$work/cfg/nexoquadrix.ini")" -eq 1 ] || fail "two players broke the settings file"
echo "two players on the same board: $(tr -d '\r' < "$work/boards/comu.qdx" | grep -c '=') keys, each once"

heard_rms() { # what the null sink played while the first cell was selected
  parec -d spk.monitor --format=s16le --rate=16000 --channels=1 --raw > "$work/heard.raw" 2>/dev/null &
  local rec=$!
  sleep 0.3
  xdotool mousemove $((X + WIDTH / 4)) $((Y + HEIGHT / 2)) click 1
  sleep 4
  kill "$rec" 2>/dev/null
  wait "$rec" 2>/dev/null
  sox -t raw -r 16000 -e signed -b 16 -c 1 "$work/heard.raw" -n stat 2>&1 | sed -n 's/^RMS *amplitude: *//p'
}
loud() { awk -v r="${1:-0}" 'BEGIN {exit !(r > 0.005)}'; }

# 5. No sound server at start: a selected cell is spoken to nobody and the player goes on; once a
# server starts where the player looks for it, the next selection is heard.
mkdir -m 700 "$work/late"
late="unix:$work/late/pulse/native"
long_text='s/^Read=hola\r$/Read=Bon dia a tothom, avui parlarem una bona estona de moltes coses\r/'
write_board "$work/boards/tard.qdx" Tard
sed -i "$long_text" "$work/boards/tard.qdx"
PULSE_SERVER=$late start_player "$work/cfg" "$work/boards/tard.qdx"
client_geometry "$WINDOW"
xdotool mousemove $((X + WIDTH / 4)) $((Y + HEIGHT / 2)) click 1
sleep 2
move_window 55 66
[ "$(board_value "$work/boards/tard.qdx" Left)" != 0 ] || fail "without a sound server the player stopped answering"
if command -v pulseaudio > /dev/null; then
  XDG_RUNTIME_DIR="$work/late" pulseaudio --daemonize=no --exit-idle-time=-1 -n --system=false --disallow-exit \
    --load="module-null-sink sink_name=spk" --load=module-native-protocol-unix > "$work/late.log" 2>&1 &
  late_pid=$!
  pids+=("$late_pid")
  for _ in $(seq 1 50); do PULSE_SERVER=$late pactl info > /dev/null 2>&1 && break; sleep 0.1; done
  rms=$(PULSE_SERVER=$late heard_rms)
  loud "$rms" || fail "speech did not start when the sound server came after the player (RMS $rms)"
  close_player "no sound server"
  kill "$late_pid"
  wait "$late_pid" 2>/dev/null
  echo "no sound server at start: player answered; heard once the server came (RMS $rms), closed"
else
  close_player "no sound server"
  echo "no sound server: cell selected, player answered and closed"
fi

# 5b. The sound server stopped (SIGSTOP) while the player speaks: the player goes on answering, and a
# close ends it at once instead of waiting for the server for ever.
pulse=$(pgrep -P "$PPID" -x pulseaudio)
if [ -n "$pulse" ]; then
  write_board "$work/boards/atura.qdx" Atura
  sed -i "$long_text" "$work/boards/atura.qdx"
  start_player "$work/cfg" "$work/boards/atura.qdx"
  client_geometry "$WINDOW"
  xdotool mousemove $((X + WIDTH / 4)) $((Y + HEIGHT / 2)) click 1
  sleep 0.8
  kill -STOP "$pulse"
  stopped=$pulse
  sleep 1
  move_window 44 55
  [ "$(board_value "$work/boards/atura.qdx" Left)" != 0 ] || fail "the player stopped answering when the sound server stopped"
  started=$(date +%s%N)
  close_player "sound server stopped"
  echo "sound server stopped mid-sentence: player answered, ended $((($(date +%s%N) - started) / 1000000)) ms after a close"
  kill -CONT "$pulse"
  stopped=""
fi

# 6. The sound server killed while the player speaks: nothing hangs, and once the server is back the
# next selection is heard again without restarting the player.
write_board "$work/boards/parla.qdx" Parla
sed -i "$long_text" "$work/boards/parla.qdx"
pulse=$(pgrep -P "$PPID" -x pulseaudio)
if [ -n "$pulse" ]; then
  start_player "$work/cfg" "$work/boards/parla.qdx"
  client_geometry "$WINDOW"
  rms=$(heard_rms)
  loud "$rms" || fail "the player was not heard before the sound server went away (RMS $rms)"
  xdotool mousemove $((X + WIDTH / 4)) $((Y + HEIGHT / 2)) click 1
  sleep 0.8
  kill -9 "$pulse"
  sleep 2
  move_window 77 88
  [ "$(board_value "$work/boards/parla.qdx" Left)" != 0 ] || fail "the player stopped answering when the sound server died"
  pulseaudio --daemonize=no --exit-idle-time=-1 -n --system=false --disallow-exit --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=spk" > "$work/pulse.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 1 50); do pactl info > /dev/null 2>&1 && break; sleep 0.1; done
  pactl set-default-sink spk > /dev/null 2>&1
  sleep 1
  back=""
  heard=""
  # A second try only absorbs a slow start of the recorder on a loaded machine.
  for attempt in 1 2; do
    rms=$(heard_rms)
    heard="$heard $rms"
    loud "$rms" && back=$attempt && break
  done
  [ -n "$back" ] || fail "speech did not come back with the sound server (RMS$heard)"
  close_player "sound server killed"
  echo "sound server killed while speaking: player answered, speech back on text $back (RMS $rms), closed"
else
  echo "sound server killed while speaking: not tested (no session sound server)"
fi

# 7. No desktop speech service: the in-process voices speak all the same.
if [ -n "$pulse" ]; then
  SPEECHD_ADDRESS=unix_socket:/nonexistent/speechd.sock start_player "$work/cfg" "$work/boards/parla.qdx"
  client_geometry "$WINDOW"
  rms=$(heard_rms)
  loud "$rms" || fail "without a speech service nothing was heard (RMS $rms)"
  close_player "no speech service"
  echo "no speech service: spoken by the in-process voice (RMS $rms)"
fi

# 8. The desktop speech service killed while the player speaks: the player goes on answering and
# speaking. This machine's service offers no Catalan or Spanish voice, so the in-process voice speaks;
# what is tested is that the service's connection dying under the player harms nothing.
speechd=""
if [ -n "$pulse" ]; then
  sed 's/^Caption=Parla\r$/Caption=Servei\r/' "$work/boards/parla.qdx" > "$work/boards/servei.qdx"
  sed -i 's/^Left=.*\r$/Left=0\r/' "$work/boards/servei.qdx"
  start_player "$work/cfg" "$work/boards/servei.qdx"
  client_geometry "$WINDOW"
  for _ in $(seq 1 50); do # the player starts the service itself when none runs
    speechd=$(pgrep -f "speech-dispatcher .*$XDG_RUNTIME_DIR/" | head -n 1)
    [ -n "$speechd" ] && break
    sleep 0.1
  done
fi
if [ -n "$speechd" ]; then
  xdotool mousemove $((X + WIDTH / 4)) $((Y + HEIGHT / 2)) click 1
  sleep 0.8
  kill -9 "$speechd"
  sleep 1
  move_window 99 111
  [ "$(board_value "$work/boards/servei.qdx" Left)" != 0 ] || fail "the player stopped answering when the speech service died"
  rms=$(heard_rms)
  loud "$rms" || fail "after the speech service died nothing was heard (RMS $rms)"
  close_player "speech service killed"
  echo "speech service killed mid-sentence: player answered, spoke again (RMS $rms), closed"
elif [ -n "$pulse" ]; then
  close_player "speech service killed"
  echo "speech service killed mid-sentence: not tested (no speech service started in this session)"
fi

# 9. The X server gone: the player ends by itself and its supervisor does not bring it back.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3> "$work/display" > "$work/xvfb.log" 2>&1 &
xvfb=$!
pids+=("$xvfb")
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
display=":$(head -n 1 "$work/display")"
for _ in $(seq 1 100); do DISPLAY=$display xdpyinfo > /dev/null 2>&1 && break; sleep 0.1; done
DISPLAY=$display NEXOQUADRIX_NO_SUPERVISOR= NEXOQUADRIX_CONFIG_DIR="$work/cfg" "$player" "$work/boards/prova.qdx" \
  > "$work/xgone.log" 2>&1 &
sup=$!
pids+=("$sup")
for _ in $(seq 1 100); do
  DISPLAY=$display xdotool search --onlyvisible --name 'NexoQuadrix - ' > /dev/null 2>&1 && break
  sleep 0.1
done
sleep 2.5
kill "$xvfb"
wait "$xvfb" 2>/dev/null
ended=""
for _ in $(seq 1 100); do
  kill -0 "$sup" 2>/dev/null || { ended=yes; break; }
  sleep 0.1
done
[ -n "$ended" ] || { cat "$work/xgone.log"; fail "the player did not end when its X server went away"; }
pgrep -f "$work/boards/prova.qdx" > /dev/null && fail "a player is left running after the X server went away"
grep -q "es torna a obrir" "$work/xgone.log" && fail "the supervisor restarted a player without a display"
echo "X server gone: player and supervisor ended, no restart"
echo "PASS"
