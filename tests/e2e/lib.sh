# Shared by the end-to-end scripts: finding the player's window and where its client area is.

# Waits up to 10 s for the player's main window; prints its id, or nothing when it never appeared.
wait_for_player_window() {
  local id=""
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name 'NexoQuadrix - ' 2>/dev/null | head -n 1)
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}

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
