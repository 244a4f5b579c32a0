#!/usr/bin/env bash
# The real player's picture cache on disk: a first run shows the board's pictures and stores them in
# $XDG_CACHE_HOME/nexoquadrix; a second run, after one stored file was cut short and another
# overwritten with rubbish, still shows every picture and writes both files again; a cache folder that
# cannot be created costs nothing but the cache. Run inside tests/e2e/session.sh.
# Usage: pictures_e2e.sh PLAYER
set -u
player=$1
work=$(mktemp -d /tmp/nq-e2e-pictures.XXXXXX)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/lib.sh"

mkdir -p "$work/config" "$work/boards"
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n' > "$work/config/nexoquadrix.ini"
# Four blue pictures (two PNG, two JPEG) on a 2 x 2 board without bars at the top-left corner.
convert -size 300x300 xc:blue "$work/boards/a.png"
convert -size 300x200 xc:blue "$work/boards/b.png"
convert -size 400x300 xc:blue "$work/boards/c.jpg"
convert -size 300x400 xc:blue "$work/boards/d.jpg"
{
  printf '[Quadrix]\nName=Quadrix\nautor=Vellumor\n[Position]\nLeft=0\nTop=0\nWidth=600\nHeight=400\n'
  printf '[Grid]\nColumns=2\nRows=2\n[Menu Options 2]\nShow Button Bar=0\nShow Message Bar=0\nMenuQdxPosition=5\n'
  n=0
  for picture in a.png b.png c.jpg d.jpg; do
    n=$((n + 1))
    printf '[Cell %d]\nCaption=C%d\nPicture=%s\nFrame cell color=0\n' "$n" "$n" "$picture"
  done
} | sed 's/$/\r/' > "$work/boards/prova.qdx"

# Starts the player with the given cache home, waits for the board, and prints how many pixels of
# the window are blue: once they are WANTED, or once they have stopped changing (pictures decoded
# again arrive late on a loaded machine), within 15 s.
blue_pixels_with_cache() { # CACHE_HOME [WANTED]
  XDG_CACHE_HOME="$1" NEXOQUADRIX_CONFIG_DIR="$work/config" "$player" "$work/boards/prova.qdx" \
    > "$work/player.log" 2>&1 &
  pid=$!
  local window count="" before=""
  window=$(wait_for_player_window)
  [ -n "$window" ] || { cat "$work/player.log"; fail "the player's window did not appear"; }
  sleep 3 # the splash hides itself after 2 s
  client_geometry "$window"
  for _ in $(seq 1 24); do
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$work/shot.png" 2>/dev/null
    count=$(convert "$work/shot.png" -fuzz 10% -fill black +opaque '#0000FF' -fill white -opaque '#0000FF' \
      -format '%[fx:mean*w*h]' info: | cut -d. -f1)
    if [ -n "${2:-}" ]; then [ "$count" = "$2" ] && break; else [ "$count" = "$before" ] && break; fi
    before=$count
    sleep 0.5
  done
  kill "$pid"
  wait "$pid" 2>/dev/null
  pid=""
  echo "$count"
}

# Each picture fills the height of a cell of about 300 x 185 (JPEG blue is only nearly pure): all four
# together well over 90,000 pixels.
first=$(blue_pixels_with_cache "$work/cache")
[ "${first:-0}" -gt 90000 ] || fail "first run: only ${first:-0} blue pixels"
mapfile -t stored < <(ls "$work/cache/nexoquadrix/"*.nqp 2>/dev/null)
# The four pictures and the start picture shown before the board.
[ "${#stored[@]}" -eq 5 ] || fail "first run stored ${#stored[@]} pictures, not 5"
size0=$(stat -c %s "${stored[0]}")
size1=$(stat -c %s "${stored[1]}")
truncate -s 100 "${stored[0]}"
head -c "$size1" /dev/urandom > "${stored[1]}"

second=$(blue_pixels_with_cache "$work/cache" "$first")
[ "${second:-0}" -eq "$first" ] || fail "with damaged cache files: $second blue pixels, not $first"
[ "$(stat -c %s "${stored[0]}")" -eq "$size0" ] || fail "the cut file was not written again"
cmp -s <(head -c 4 "${stored[1]}") <(printf 'NQP1') || fail "the rubbish file was not written again"
ls "$work/cache/nexoquadrix/" | grep -q '\.tmp\.' && fail "temporary files were left behind"

# A file where the cache home should be: no cache, same pictures.
touch "$work/no-folder"
third=$(blue_pixels_with_cache "$work/no-folder" "$first")
[ "${third:-0}" -eq "$first" ] || fail "without a cache folder: $third blue pixels, not $first"
echo PASS
