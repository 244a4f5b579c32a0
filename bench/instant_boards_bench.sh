#!/usr/bin/env bash
# Whole-program figures of a 21 x 21 board opened cold, against a browser showing the same grid:
#   start to the first paint of the board (frames and captions) and start to the first paint with
#   every picture, with an empty and with a warm picture cache on disk, the player's processor time
#   until then (what a loaded machine cannot inflate much), peak RSS and peak PSS;
#   for 441 distinct 500 x 500 PNG pictograms and 441 distinct 1600 x 1200 JPEG photographs;
#   the same grids in headless Chromium (Debian's package, installed here when missing) as the
#   reference, with the ratios; processor time of automatic scanning at 100 ms steps.
# Medians of RUNS starts (default 7), the boards and cache states interleaved. The picture sets are
# made once into $NQ_BENCH_PICTURES (default ~/.cache/nexoquadrix-bench), outside the repository.
# Usage: bench/instant_boards_bench.sh BUILD_DIR [RUNS]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
runs=${2:-7}
if [ -z "${NQ_IN_SESSION:-}" ]; then
  if ! command -v chromium > /dev/null; then
    echo "installing chromium for the reference figures..."
    bash "$root/scripts/install-deps.sh" --bench > /dev/null 2>&1 ||
      echo "chromium could not be installed: no reference figures"
  fi
  cmake --build "$build" --target make_bench_pictures nexoquadrix > /dev/null || exit 1
  pictures=${NQ_BENCH_PICTURES:-${XDG_CACHE_HOME:-$HOME/.cache}/nexoquadrix-bench}
  echo "picture sets in $pictures (made once)"
  "$build/bench/make_bench_pictures" "$pictures" || exit 1
  exec env NQ_IN_SESSION=1 NQ_BENCH_PICTURES="$pictures" bash "$root/tests/e2e/session.sh" bash "$0" "$build" "$runs"
fi
pictures=$NQ_BENCH_PICTURES
player="$build/bin/nexoquadrix"
work=$(mktemp -d /tmp/nq-instant.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config"
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n' > "$work/config/nexoquadrix.ini"
export NEXOQUADRIX_CONFIG_DIR="$work/config" NEXOQUADRIX_TIMING=1

median() { sort -n | awk '{a[NR]=$1} END {if (NR) print a[int((NR+1)/2)]; else print "none"}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (a > 0 && b > 0) printf "%.1f", a / b; else print "-"}'; }

# Sums a field of the given /proc file over the processes listed (kB).
sum_field() { # $1 file name under /proc/PID, $2 field, then PIDs
  local file=$1 field=$2 total=0 value
  shift 2
  for p in "$@"; do
    value=$(awk -v f="$field" '$1 == f {print $2; exit}' "/proc/$p/$file" 2> /dev/null)
    total=$((total + ${value:-0}))
  done
  echo "$total"
}

# One cold start: prints "first-paint-ms all-pictures-ms peak-rss-kB peak-pss-kB cpu-ms".
run_player() { # $1 board, $2 cache home
  rm -f "$work/run.log"
  NEXOQUADRIX_TIMING_START_NS=$(date +%s%N) XDG_CACHE_HOME="$2" "$player" "$1" > "$work/run.log" 2> /dev/null &
  local pid=$! peak_pss=0 pss
  for _ in $(seq 1 400); do
    pss=$(sum_field smaps_rollup Pss: "$pid")
    [ "$pss" -gt "$peak_pss" ] && peak_pss=$pss
    grep -q pictures-paint-ms "$work/run.log" 2> /dev/null && break
    sleep 0.05
  done
  local rss cpu
  cpu=$(awk -v hz="$(getconf CLK_TCK)" '{print int(($14 + $15) * 1000 / hz)}' "/proc/$pid/stat")
  rss=$(sum_field status VmHWM: "$pid")
  pss=$(sum_field smaps_rollup Pss: "$pid")
  [ "$pss" -gt "$peak_pss" ] && peak_pss=$pss
  kill "$pid"
  wait "$pid" 2> /dev/null
  echo "$(sed -n 's/^first-paint-ms //p' "$work/run.log") $(sed -n 's/^pictures-paint-ms //p' "$work/run.log") $rss $peak_pss $cpu"
}

# The same grid as a page: 21 x 21 cells with a caption above a picture fitted into the cell.
write_page() { # $1 prefix, $2 extension, $3 output
  {
    echo '<!doctype html><html><head><meta charset="utf-8"><style>'
    echo 'html,body{margin:0;width:1280px;height:800px;overflow:hidden;background:#fff}'
    echo '.g{display:grid;grid-template-columns:repeat(21,1fr);grid-template-rows:repeat(21,1fr);width:1280px;height:800px}'
    echo '.c{border:2px solid #000;margin:2px;display:flex;flex-direction:column;overflow:hidden;font:8pt sans-serif}'
    echo '.c img{flex:1;min-height:0;width:100%;object-fit:contain}'
    echo '</style></head><body><div class="g">'
    for n in $(seq -w 1 441); do
      printf '<div class="c"><span>C%d</span><img src="%s%03d.%s"></div>\n' "$((10#$n))" "$1" "$((10#$n))" "$2"
    done
    echo '</div></body></html>'
  } > "$3"
}

# One cold browser start to the screenshot taken after every picture loaded and painted:
# prints "ms peak-rss-kB peak-pss-kB" (sums over all its processes).
run_chromium() { # $1 page
  local profile
  profile=$(mktemp -d "$work/chromium.XXXXXX")
  local t0
  t0=$(date +%s%N)
  setsid chromium --headless --no-sandbox --disable-gpu --no-first-run --user-data-dir="$profile" \
    --window-size=1280,800 --screenshot="$work/shot.png" "file://$1" > /dev/null 2>&1 &
  local pid=$! peak_rss=0 peak_pss=0 rss pss members
  while kill -0 "$pid" 2> /dev/null; do
    members=$(ps -o pid= -s "$pid" 2> /dev/null)
    # shellcheck disable=SC2086
    rss=$(sum_field status VmRSS: $members)
    # shellcheck disable=SC2086
    pss=$(sum_field smaps_rollup Pss: $members)
    [ "$rss" -gt "$peak_rss" ] && peak_rss=$rss
    [ "$pss" -gt "$peak_pss" ] && peak_pss=$pss
    sleep 0.05
  done
  wait "$pid" 2> /dev/null
  local t1
  t1=$(date +%s%N)
  rm -rf "$profile"
  echo "$(((t1 - t0) / 1000000)) $peak_rss $peak_pss"
}

echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at start"
declare -A board=([png]="$pictures/pictograms.qdx" [photo]="$pictures/photos.qdx")
declare -A prefix=([png]=pictogram [photo]=photo)
declare -A extension=([png]=png [photo]=jpg)
have_chromium=no
command -v chromium > /dev/null && have_chromium=yes
for kind in png photo; do
  mkdir -p "$work/warm-$kind"
  run_player "${board[$kind]}" "$work/warm-$kind" > /dev/null # fills the warm cache
  write_page "$pictures/${prefix[$kind]}" "${extension[$kind]}" "$work/$kind.html"
done
for i in $(seq 1 "$runs"); do
  for kind in png photo; do
    empty=$(mktemp -d "$work/empty.XXXXXX")
    run_player "${board[$kind]}" "$empty" >> "$work/$kind-empty.txt"
    rm -rf "$empty"
    run_player "${board[$kind]}" "$work/warm-$kind" >> "$work/$kind-warm.txt"
    [ "$have_chromium" = yes ] && run_chromium "$work/$kind.html" >> "$work/$kind-chromium.txt"
  done
done

column() { awk -v c="$1" '{print $c}' "$2" | median; }
echo "medians of $runs cold starts (ms from launch; memory in MB)"
printf '%-7s %-6s %12s %14s %9s %9s %8s\n' board cache first-paint all-pictures peak-RSS peak-PSS cpu-ms
for kind in png photo; do
  for state in empty warm; do
    f="$work/$kind-$state.txt"
    printf '%-7s %-6s %12s %14s %9s %9s %8s\n' "$kind" "$state" "$(column 1 "$f")" "$(column 2 "$f")" \
      "$(($(column 3 "$f") / 1024))" "$(($(column 4 "$f") / 1024))" "$(column 5 "$f")"
  done
  if [ "$have_chromium" = yes ]; then
    f="$work/$kind-chromium.txt"
    printf '%-7s %-6s %12s %14s %9s %9s\n' "$kind" chromium - "$(column 1 "$f")" "$(($(column 2 "$f") / 1024))" \
      "$(($(column 3 "$f") / 1024))"
    browser=$(column 1 "$f")
    echo "  all pictures, browser / player: $(ratio "$browser" "$(column 2 "$work/$kind-empty.txt")")x empty cache," \
      "$(ratio "$browser" "$(column 2 "$work/$kind-warm.txt")")x warm cache;" \
      "peak PSS browser / player: $(ratio "$(column 3 "$f")" "$(column 4 "$work/$kind-warm.txt")")x"
  fi
done

# Automatic scanning on the pictogram board, one step every 100 ms (scan step 1, in tenths of a second).
printf '[quadrix]\r\nD\xe8cimes de segon que dura el pas d'"'"'escaneig=1\r\n' > "$work/config/Quadrix.ini"
hz=$(getconf CLK_TCK)
for i in 1 2 3; do
  XDG_CACHE_HOME="$work/warm-png" "$player" "${board[png]}" > /dev/null 2>&1 &
  pid=$!
  window=""
  for _ in $(seq 1 100); do
    window=$(xdotool search --onlyvisible --name 'NexoQuadrix - ' 2> /dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.1
  done
  sleep 2
  X=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left X: *//p')
  Y=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left Y: *//p')
  xdotool mousemove $((X + 150)) $((Y + 10)) click 1
  sleep 0.5
  xdotool key Down Return
  sleep 2
  t0=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  sleep 10
  t1=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  grep -q 'MenuEscaneigAutomatic.Checked=1' "$work/config/nexoquadrix.ini" || echo "(scan run $i: automatic scanning did not start)"
  awk -v d=$((t1 - t0)) -v hz="$hz" 'BEGIN {printf "%.2f\n", d * 100 / hz / 10}' >> "$work/scan.txt"
  kill "$pid"
  wait "$pid" 2> /dev/null
done
echo "scanning at 100 ms steps on the pictogram board: median $(median < "$work/scan.txt") % of one core (3 runs of 10 s)"
echo "machine load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
