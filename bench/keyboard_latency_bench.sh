#!/usr/bin/env bash
# Click on a key cell of the player in the external-window mode to the key press arriving in the
# focused text editor (tests/e2e's receiver), median and worst of 50 presses, under a private Xvfb
# session with openbox. The click is made with XTest from this script and timed from just before
# the button goes down; the editor logs the wall-clock time of each key press it receives.
# Usage: bench/keyboard_latency_bench.sh BUILD_DIR     (e.g. build)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
if [ -z "${DISPLAY:-}" ] || [ -z "${NQ_IN_SESSION:-}" ]; then
  exec env NQ_IN_SESSION=1 bash "$root/tests/e2e/session.sh" bash "$0" "$build"
fi
player="$build/bin/nexoquadrix"
receiver=$(find "$build" -name nq-receiver -type f | head -n 1)
work=$(mktemp -d /tmp/nq-bench-keys.XXXXXX)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
. "$root/tests/e2e/lib.sh"
mkdir -p "$work/config"
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n[Menu Options]\r\nMenuSpeak.Checked=NO\r\nNonFocusable=SI\r\n' \
  > "$work/config/nexoquadrix.ini"
printf '[Grid]\r\nColumns=1\r\nRows=1\r\n[Position]\r\nLeft=100\r\nTop=500\r\nWidth=300\r\nHeight=200\r\n' > "$work/key.qdx"
printf '[Menu Options 2]\r\nShow Button Bar=0\r\nShow Message Bar=0\r\nWrite only letters or words=1\r\n' >> "$work/key.qdx"
printf '[Cell 1]\r\nCaption=a\r\nRead=a\r\n' >> "$work/key.qdx"

"$receiver" "$work/text.txt" "$work/keys.log" > /dev/null 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do
  editor=$(xdotool search --onlyvisible --name '^Receptor$' 2>/dev/null | head -n 1)
  [ -n "$editor" ] && break
  sleep 0.1
done
NEXOQUADRIX_CONFIG_DIR="$work/config" "$player" "$work/key.qdx" > "$work/player.log" 2>&1 &
pids+=($!)
window=$(wait_for_player_window)
sleep 2.5
client_geometry "$window"
xdotool windowactivate --sync "$editor"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
sleep 0.5

python3 - "$work/keys.log" <<'PY'
import ctypes, os, sys, time
log = sys.argv[1]
x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
display = ctypes.c_void_p(x11.XOpenDisplay(None))
def lines():
    try:
        with open(log) as f:
            return f.read().split()
    except FileNotFoundError:
        return []
delays = []
for _ in range(50):
    before = len(lines())
    start = time.time() * 1000
    xtst.XTestFakeButtonEvent(display, 1, 1, 0)
    xtst.XTestFakeButtonEvent(display, 1, 0, 0)
    x11.XFlush(display)
    deadline = time.time() + 2
    while len(lines()) == before and time.time() < deadline:
        time.sleep(0.001)
    now = lines()
    if len(now) > before:
        delays.append(int(now[before]) - start)
    time.sleep(0.35)  # the board waits 200 ms after a choice before the next one counts
delays.sort()
if not delays:
    print("no key press reached the editor")
    sys.exit(1)
print("click to character in the editor: median %.1f ms, worst %.1f ms (%d of 50 arrived)"
      % (delays[len(delays) // 2], delays[-1], len(delays)))
PY
