#!/usr/bin/env bash
# The real player on a sample of the hostile corpus and on board sets built to exhaust memory: for
# each file it shows its window (with the board, or with its message and the start picture), stays
# within a bound of memory, answers a close within a bound, exits with status 0, and leaves every
# refused board byte for byte as it was and no refused set imported.
# Run inside tests/e2e/session.sh. Usage: hostile_boards_e2e.sh PLAYER
set -u
player=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/nq-e2e-hostile.XXXXXX)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
. "$here/lib.sh"

python3 "$here/../hostile/make_hostile_boards.py" "$work/corpus" > /dev/null || fail "corpus script"
python3 "$here/../hostile/make_hostile_sets.py" "$work/sets" > "$work/sets.txt" || fail "sets script"
mkdir -p "$work/config" "$work/data"
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n' > "$work/config/nexoquadrix.ini"

sample=(empty.qdx binary3.qdx nul-only.qdx utf16.qdx line-10mb.qdx value-10mb.qdx sections-10000.qdx
  keys-100000.qdx grid-22-2.qdx grid--1-2.qdx grid-2147483648-2.qdx dup-grid.qdx png-bomb-30000.qdx
  png-bomb-whole.qdx png-8k.qdx jpeg-bomb.qdx bmp-bomb.qdx picture-fifo.qdx picture-dev-zero.qdx
  full-grid-broken.qdx symlink-zero.qdx fifo.qdx self-link.qdx caption-invalid-utf8.qdx 'tauler-caf\xe9.qdx')

# The player shows a 441-picture board in about 60 MB; a hostile file may add a decoded picture's
# worth, never the hundreds of megabytes an unbounded reader takes.
peak_limit_kb=$((150 * 1024))

imported_root() { ls "$work/data/nexoquadrix/imported/"*/root-board.txt 2>/dev/null; }

# Opens $board in the player and closes it; sets $seen (the windows named NexoQuadrix) and $peak.
run_player() {
  local name=$1
  XDG_DATA_HOME="$work/data" NEXOQUADRIX_NO_SUPERVISOR=1 NEXOQUADRIX_CONFIG_DIR="$work/config" \
    "$player" "$board" > "$work/player.log" 2>&1 &
  pid=$!
  seen=" "
  shown=""
  quiet=0
  # Up to 60 s (three minutes for a set that imports, on a loaded machine): dismiss every message
  # box; done once the main window has been there 2 s with none and no import running.
  local rounds=600
  [ -n "${until_imported:-}" ] && rounds=1800
  for _ in $(seq 1 "$rounds"); do
    kill -0 "$pid" 2>/dev/null || { cat "$work/player.log"; fail "$name: the player ended by itself"; }
    # An import in progress is not the quiet of a shown board, and no key may reach its box.
    if xdotool search --onlyvisible --name '^NexoQuadrix: ' > /dev/null 2>&1; then
      quiet=0
      sleep 0.1
      continue
    fi
    box=$(xdotool search --onlyvisible --name '^NexoQuadrix$' 2>/dev/null | head -n 1)
    if [ -n "$box" ]; then
      case "$seen" in *" $box "*) ;; *) seen="$seen$box " ;; esac
      xdotool key --window "$box" Return 2>/dev/null
      quiet=0
      sleep 0.3
      continue
    fi
    [ -z "$shown" ] && shown=$(xdotool search --onlyvisible --name 'NexoQuadrix - ' 2>/dev/null | head -n 1)
    if [ -n "$shown" ]; then
      quiet=$((quiet + 1))
      # A set that imports is done when its folder is complete (the box may come late on a busy machine).
      [ "$quiet" -ge 20 ] && { [ -z "${until_imported:-}" ] || imported_root > /dev/null; } && break
    fi
    sleep 0.1
  done
  [ -n "$shown" ] || fail "$name: the main window never appeared"
  peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
  wmctrl -c 'NexoQuadrix - '
  status=""
  for _ in $(seq 1 150); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid"; status=$?; break; }
    sleep 0.1
  done
  [ -n "$status" ] || fail "$name: the player did not answer a close within 15 s"
  [ "$status" -eq 0 ] || fail "$name: the player exited with status $status"
  pid=""
  [ "$peak" -le "$peak_limit_kb" ] || fail "$name: peak memory ${peak} kB, more than ${peak_limit_kb} kB"
}

for name in "${sample[@]}"; do
  board="$work/corpus/$(printf '%b' "$name")"
  expect=$(n="$name" awk -F'\t' '$1 == ENVIRON["n"] {print $2}' "$work/corpus/manifest.tsv")
  before=""
  [ -f "$board" ] && before=$(sha256sum < "$board")
  run_player "$name"
  if [ "$expect" = refuse ] && [ -n "$before" ]; then
    [ "$(sha256sum < "$board")" = "$before" ] || fail "$name: a refused board was written"
  fi
  # The splash counts as one: it carries the program's name too.
  echo "$name (${expect:-see manifest}): $(($(wc -w <<< "$seen"))) window(s) named NexoQuadrix, peak memory ${peak} kB"
done

# A refused set leaves nothing imported (its message is dismissed like any other box).
while read -r name expect; do
  board="$work/sets/$name"
  rm -rf "$work/data/nexoquadrix/imported"
  until_imported=""
  [ "$expect" = import ] && until_imported=yes
  run_player "$name"
  if [ "$expect" = refuse ]; then
    [ -z "$(ls -A "$work/data/nexoquadrix/imported" 2>/dev/null)" ] || fail "$name: something was imported"
  else
    imported_root > /dev/null || fail "$name: the set was not imported"
  fi
  echo "$name ($expect): peak memory ${peak} kB"
done < "$work/sets.txt"
echo "PASS"
