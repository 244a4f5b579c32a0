# Shared by the end-to-end scripts: finding the player's window and where its client area is.

# Waits up to 10 s for a visible window whose title matches the pattern; prints its id, or nothing.
wait_for_window() {
  local id=""
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}

# Waits up to 10 s for the player's main window; prints its id, or nothing when it never appeared.
wait_for_player_window() { wait_for_window 'NexoQuadrix - '; }

# Sets X, Y, WIDTH and HEIGHT to the client window's place on screen (xdotool's own report is off
# under a reparenting window manager, so xwininfo is asked).
client_geometry() {
  local info
  info=$(xwininfo -id "$1")
  X=$(sed -n 's/.*Absolute upper-left X: *//p' <<< "$info")
  Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<< "$info")
  WIDTH=$(sed -n 's/.*Width: *//p' <<< "$info")
  HEIGHT=$(sed -n 's/.*Height: *//p' <<< "$info")
}

# Adds the folders to the trusted folders in the settings file of CONFIG_DIR, as the player stores
# them, so a test's own boards may run programs and send keys without the question.
trust_folders() { # CONFIG_DIR FOLDER...
  local settings="$1/nexoquadrix.ini" n=0 folder
  shift
  printf '[Trusted Folders]\r\n' >> "$settings"
  for folder in "$@"; do
    n=$((n + 1))
    printf 'Folder%d="%s"\r\n' "$n" "$(readlink -f "$folder")" >> "$settings"
  done
}

# Waits up to 10 s for a visible window whose whole title is TITLE; prints its id or nothing.
wait_for_window_titled() { wait_for_window "^$1\$"; }

# Starts "$editor" with the given arguments (output in $work/editor.log), waits up to 10 s for its
# window and gives it the focus. Sets editor_pid and window and adds the pid to pids for the cleanup.
launch_editor() {
  "$editor" "$@" > "$work/editor.log" 2>&1 &
  editor_pid=$!
  pids+=("$editor_pid")
  window=""
  for _ in $(seq 1 100); do
    window=$(xdotool search --onlyvisible --pid "$editor_pid" 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { cat "$work/editor.log"; fail "the editor's window did not appear"; }
  sleep 1
  xdotool windowactivate --sync "$window" 2>/dev/null
}

# Keys and text typed into the focused window, slowly enough for a loaded machine.
keys() { xdotool key --delay 80 "$@"; sleep 0.4; }
text() { xdotool type --delay 30 "$1"; sleep 0.3; }

# Loudness of what the speaker played while a command ran, and for 3 s after: RMS of the null sink's
# monitor (the caller's $work holds the recording).
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

# Starts "$player" with the given arguments, from folder $player_cwd when set, its output in
# $player_log (else $work/player.log), and waits up to 30 s for a window of that very process, so a
# second player or a leftover one is never taken for it. Sets player_pid and window, adds the pid to
# pids for the script's cleanup, and waits out the splash. Settings for the player go in front of
# the call (NEXOQUADRIX_CONFIG_DIR=... launch_player BOARD).
launch_player() {
  local log=${player_log:-$work/player.log}
  if [ -n "${player_cwd:-}" ]; then
    (cd "$player_cwd" && exec "$player" "$@") > "$log" 2>&1 &
  else
    "$player" "$@" > "$log" 2>&1 &
  fi
  player_pid=$!
  pids+=("$player_pid")
  window=""
  for _ in $(seq 1 300); do # a loaded machine starts programs slowly
    for id in $(xdotool search --onlyvisible --name 'NexoQuadrix - ' 2>/dev/null); do
      [ "$(xdotool getwindowpid "$id" 2>/dev/null)" = "$player_pid" ] && window=$id && break 2
    done
    sleep 0.1
  done
  [ -n "$window" ] || { cat "$log"; fail "the player's window did not appear"; }
  sleep 2.5 # the splash hides itself after 2 s
}
