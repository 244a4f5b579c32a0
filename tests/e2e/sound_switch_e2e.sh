#!/usr/bin/env bash
# Sound as a switch, with the real player on a real sound server: a clap written into a pipe source
# selects the scanned cell once; in directed scanning the right channel steps and the left selects;
# a source that vanishes mid-scan leaves the program scanning, and the next start hears again.
# Without a sound server, or with only the speaker's monitor as source, the warning box shows once and
# scanning goes on without sound.
# Run inside tests/e2e/session.sh. Usage: sound_switch_e2e.sh PLAYER mono|stereo|noserver|monitor
set -u
player=$1
mode=$2
work=$(mktemp -d /tmp/nq-e2e-sound.XXXXXX)
pids=()
cleanup() {
  touch "$work/control/stop" 2>/dev/null
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}
. "$(dirname "$0")/lib.sh"
[ -n "${NQ_MIC_FIFO:-}" ] && pactl info > /dev/null 2>&1 || fail "no sound server in this session"

mkdir -p "$work/config" "$work/boards" "$work/control"
touch "$work/control/claps"
# Linear scanning (one selection chooses a cell), three seconds a step.
step=3
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n[Menu Control]\r\nMenuSenseEscaneigVertical.Checked=SI\r\n' \
  > "$work/config/nexoquadrix.ini"
printf '[quadrix]\r\nD\xe8cimes de segon que dura el pas d'"'"'escaneig=30\r\n' > "$work/config/Quadrix.ini"
colours=("#0000FF" "#00A000" "#00C8C8" "#800080")
{
  printf '[Quadrix]\nName=Quadrix\nautor=Vellumor\n[Position]\nLeft=0\nTop=0\nWidth=640\nHeight=520\n'
  printf '[Grid]\nColumns=2\nRows=2\n[Menu Options 2]\nShow Button Bar=0\nShow Message Bar=1\nMenuQdxPosition=5\n'
  for n in 1 2 3 4; do
    convert -size 80x80 "xc:${colours[$((n - 1))]}" "$work/boards/p$n.png"
    printf '[Cell %s]\nCaption=C%s\nPicture=p%s.png\nFrame cell color=0\n' "$n" "$n" "$n"
  done
} > "$work/boards/so.qdx"
sed -i 's/$/\r/' "$work/boards/so.qdx"

start_feeder() { # FIFO mono|stereo
  python3 "$(dirname "$0")/mic_feeder.py" "$1" "$2" "$work/control" &
  pids+=($!)
}
clap() { # mono|left|right; returns once the clap is in the pipe
  local before
  before=$(wc -l < "$work/control/claps" 2>/dev/null || echo 0)
  echo "$1" > "$work/control/clap"
  for _ in $(seq 1 50); do
    [ "$(wc -l < "$work/control/claps" 2>/dev/null || echo 0)" -gt "$before" ] && return
    sleep 0.05
  done
  fail "the microphone feeder did not play the clap"
}

# The cell (1..4) whose frame is red now, 0 when none: the red share of each quarter of the grid.
highlighted() {
  import -window root "$work/shot.png" 2>/dev/null
  convert "$work/shot.png" -crop "${W}x$((H - 175))+$X+$((Y + 35))" +repage -fill black +opaque "#FF0000" \
    -fill white -opaque "#FF0000" -colorspace Gray -scale '2x2!' -depth 16 txt:- |
    awk 'NR > 1 { split($1, p, "[,:]"); g = $2; gsub(/[()]/, "", g); split(g, v, ",");
                  cell = p[2] * 2 + p[1] + 1; if (v[1] > best) { best = v[1]; which = cell } }
         END { print (best > 100 ? which : 0) }'
}
# How many message cells show cell N's picture: runs of its colour along rows of the message bar.
in_message_bar() {
  local colour=${colours[$(($1 - 1))]} most=0 runs
  import -window root "$work/bar.png" 2>/dev/null
  for dy in 30 50 70 90 110; do
    runs=$(convert "$work/bar.png" -crop "${W}x1+$X+$((Y + H - 135 + dy))" +repage -fill black +opaque "$colour" \
      -fill white -opaque "$colour" -colorspace Gray -depth 8 gray:- | od -An -tu1 -v | tr -s ' ' '\n' |
      awk 'NF { on = ($1 > 127); if (on && !was) n++; was = on } END { print n + 0 }')
    [ "$runs" -gt "$most" ] && most=$runs
  done
  echo "$most"
}
message_bar() {
  local out=""
  for n in 1 2 3 4; do out+="$(in_message_bar "$n")"; done
  echo "$out"
}
# Waits until the highlight moves to another cell and prints it, but only while at least a second of
# that step is left (the step began after the previous screenshot started), so a clap made now lands
# inside it even on a busy machine.
next_highlight() {
  local was now before seen
  before=$(date +%s.%N)
  was=$(highlighted)
  for _ in $(seq 1 60); do
    seen=$(date +%s.%N)
    now=$(highlighted)
    if [ "$now" != "$was" ] && [ "$now" != 0 ] &&
      awk -v b="$before" -v n="$(date +%s.%N)" -v s="$step" 'BEGIN { exit !(n < b + s - 1) }'; then
      echo "$now"
      return
    fi
    was=$now
    before=$seen
  done
  echo 0
}
control_item() { # opens the Control menu and chooses its item N (1-based, hidden items not counted)
  xdotool mousemove $((X + 150)) $((Y + 10)) click 1
  sleep 0.5
  for _ in $(seq 1 "$1"); do xdotool key Down; done
  xdotool key Return
  sleep 0.5
}
player_alive() { kill -0 "$player_pid" 2>/dev/null; }
no_box() { [ -z "$(xdotool search --onlyvisible --name 'micr' 2>/dev/null)" ]; }

if [ "$mode" = noserver ]; then
  export PULSE_SERVER="unix:$work/no-server"
elif [ "$mode" = monitor ]; then
  pactl set-default-source spk.monitor > /dev/null
elif [ "$mode" = stereo ]; then
  fifo=$NQ_MIC2_FIFO
  pactl set-default-source mic2 > /dev/null
  start_feeder "$fifo" stereo
else
  fifo=$NQ_MIC_FIFO
  start_feeder "$fifo" mono
fi

NEXOQUADRIX_CONFIG_DIR="$work/config" "$player" "$work/boards/so.qdx" > "$work/player.log" 2>&1 &
player_pid=$!
pids+=($player_pid)
window=$(wait_for_player_window)
[ -n "$window" ] || { cat "$work/player.log"; fail "the player's window did not appear"; }
sleep 2.5
client_geometry "$window"
W=$WIDTH
H=$HEIGHT

failure_box() { xdotool search --onlyvisible --name 'Control del valor m' 2>/dev/null | head -n 1; }
if [ "$mode" = noserver ] || [ "$mode" = monitor ]; then
  control_item 10
  control_item 1
  box=""
  for _ in $(seq 1 30); do
    box=$(failure_box)
    [ -n "$box" ] && break
    sleep 0.2
  done
  [ -n "$box" ] || fail "no warning box when the microphone cannot be opened"
  xdotool windowactivate --sync "$box" key Return
  sleep 1
  [ -z "$(failure_box)" ] || fail "the warning box did not close"
  a=$(next_highlight)
  [ "$a" != 0 ] || fail "scanning did not go on without the microphone"
  control_item 1
  sleep 2
  [ -z "$(failure_box)" ] || fail "the warning box came back at the next start of scanning"
  b=$(next_highlight)
  [ "$b" != 0 ] || fail "the second start of scanning does not scan"
  echo "$mode: one warning box, scanning goes on ($a, $b)"
elif [ "$mode" = mono ]; then
  control_item 10 # "En barrido automático el clic se activa mediante un sonido"
  grep -aq $'Activar per so=S\xcd' "$work/config/nexoquadrix.ini" || fail "the sound item was not stored as SÍ"
  control_item 1 # "Barrido automático"
  sleep 1
  cell=$(next_highlight)
  [ "$cell" != 0 ] || fail "automatic scanning highlights nothing"
  clap mono
  sleep 1.2
  bar=$(message_bar)
  want=$(printf '%s' "0000" | sed "s/./1/$cell")
  echo "clap while cell $cell was highlighted: message bar holds $bar"
  [ "$bar" = "$want" ] || fail "one clap must select cell $cell exactly once (message bar $bar)"
  no_box || fail "a box appeared"

  # The source vanishes mid-scan: the program goes on scanning, without a box.
  module=$(pactl list short modules | awk '/source_name=mic file/ { print $1 }')
  held() { pactl list clients | grep -c 'application.name = "Micr' ; }
  [ "$(held)" = 1 ] || fail "the scanning detector does not hold the microphone"
  pactl unload-module "$module" || fail "could not unload the source"
  sleep 1
  [ "$(held)" = 0 ] || fail "the detector did not let the vanished source go"
  a=$(next_highlight)
  b=$(next_highlight)
  player_alive || fail "the player died when the source went away"
  no_box || fail "a box appeared when the source went away"
  [ "$a" != 0 ] && [ "$b" != 0 ] || fail "scanning stopped when the source went away"
  echo "source unloaded: scanning goes on ($a, $b)"

  # The source comes back; the next start of scanning hears again.
  touch "$work/control/stop"
  sleep 0.5
  rm -f "$work/control/stop"
  pactl load-module module-pipe-source source_name=mic file="$fifo" format=u8 rate=11025 channels=1 > /dev/null
  pactl set-default-source mic > /dev/null
  start_feeder "$fifo" mono
  control_item 1
  sleep 1
  cell2=$(next_highlight)
  clap mono
  sleep 1.2
  bar2=$(message_bar)
  echo "after the source came back, clap on cell $cell2: message bar holds $bar2"
  want2=""
  for n in 1 2 3 4; do want2+=$((${bar:$((n - 1)):1} + (n == cell2 ? 1 : 0))); done
  [ "$bar2" = "$want2" ] || fail "the restarted scan did not hear the returned source once (want $want2)"

  # The level meter (the item before the last of "Opciones") shows a clap over the threshold in red,
  # and hiss in green.
  xdotool mousemove $((X + 150)) $((Y + 10)) click 1
  sleep 0.5
  xdotool key Right Up Up Return
  sleep 1
  meter=$(xdotool search --onlyvisible --name 'Nivel del sonido' 2>/dev/null | head -n 1)
  [ -n "$meter" ] || fail "the level meter did not open"
  red_in_meter() {
    import -window "$meter" "$work/meter.png" 2>/dev/null
    convert "$work/meter.png" -fill black +opaque "#FF0000" -fill white -opaque "#FF0000" -colorspace Gray \
      -format '%[fx:mean*w*h]' info: | cut -d. -f1
  }
  quiet=$(red_in_meter)
  clap mono
  sleep 0.3
  loud=$(red_in_meter)
  echo "level meter: red pixels $quiet in the hiss, $loud after a clap"
  [ "$quiet" -lt 50 ] && [ "$loud" -gt 1000 ] || fail "the level meter does not show the clap against the threshold"

  # Closing the window with the meter open and the microphone held ends the program at once.
  wmctrl -i -c "$window"
  for _ in $(seq 1 50); do player_alive || break; sleep 0.1; done
  player_alive && fail "the player did not end when its window was closed"
  grep -aq 'MenuEscaneigAutomatic.Checked' "$work/config/nexoquadrix.ini" || fail "settings lost at close"
  echo "closed with the meter open: the program ended"
  echo "PASS"
  exit 0
else
  control_item 11 # the stereo item of directed scanning
  grep -aq 'Activar per so escaneig dirigit=SI' "$work/config/nexoquadrix.ini" || fail "the stereo item was not stored as SI"
  control_item 2 # "Barrido dirigido. Clic derecho"
  sleep 1
  first=$(highlighted)
  [ "$first" = 1 ] || fail "directed scanning should start on cell 1 (shows $first)"
  clap right
  sleep 0.8
  second=$(highlighted)
  bar=$(message_bar)
  echo "right clap: highlight $first -> $second, message bar $bar"
  [ "$second" = 2 ] || fail "the right channel did not step the scan"
  [ "$bar" = 0000 ] || fail "the right channel (or the hiss) selected something"
  clap left
  sleep 1
  bar=$(message_bar)
  echo "left clap: message bar $bar"
  [ "$bar" = 0100 ] || fail "the left channel must select cell 2 exactly once"
  no_box || fail "a box appeared"
fi
player_alive || fail "the player died"
echo "PASS"
