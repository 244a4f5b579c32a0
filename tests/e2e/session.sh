#!/usr/bin/env bash
# Runs one command inside a private desktop session: an Xvfb display with openbox, and a PulseAudio
# server with a null sink "spk" (what the program says) and a pipe source "mic" (what the microphone
# hears), and a stereo pipe source "mic2" (two microphones, one a channel). Everything started here is
# stopped on exit. Usage: session.sh COMMAND [ARGS...]
# Inside the command: DISPLAY, XDG_RUNTIME_DIR, PULSE_SERVER, NQ_MIC_FIFO and NQ_MIC2_FIFO are set.
set -u
runtime=$(mktemp -d /tmp/nq-session.XXXXXX)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
# Tests drive the player itself (signals, /proc); the recovery test asks for the supervisor.
export NEXOQUADRIX_NO_SUPERVISOR=1
export HOME="${HOME:-$runtime}"
pids=()

cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$runtime"
}
trap cleanup EXIT INT TERM

# Xvfb chooses a free display itself and tells which: two sessions started at once never share one.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3> "$runtime/display" > "$runtime/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$runtime/display" ] && break; sleep 0.1; done
[ -s "$runtime/display" ] || { echo "session: Xvfb did not start" >&2; cat "$runtime/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$runtime/display")"
for _ in $(seq 1 100); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo > /dev/null 2>&1 || { echo "session: Xvfb did not answer" >&2; exit 1; }

openbox --sm-disable > "$runtime/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done

if command -v pulseaudio > /dev/null; then
  export NQ_MIC_FIFO="$runtime/mic.fifo"
  export NQ_MIC2_FIFO="$runtime/mic2.fifo"
  # The pipe sources make their fifos themselves, and refuse a path that already exists.
  # In the foreground as a child of this script, so it is stopped with everything else.
  pulseaudio --daemonize=no --exit-idle-time=-1 -n --system=false --disallow-exit \
    --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=spk" \
    --load="module-pipe-source source_name=mic file=$NQ_MIC_FIFO format=u8 rate=11025 channels=1" \
    --load="module-pipe-source source_name=mic2 file=$NQ_MIC2_FIFO format=s16le rate=22050 channels=2" \
    > "$runtime/pulse.log" 2>&1 &
  pids+=($!)
  export PULSE_SERVER="unix:$runtime/pulse/native"
  for _ in $(seq 1 50); do pactl info > /dev/null 2>&1 && break; sleep 0.1; done
  if pactl info > /dev/null 2>&1; then
    pactl set-default-sink spk > /dev/null 2>&1
    pactl set-default-source mic > /dev/null 2>&1
  else
    echo "session: PulseAudio did not start (tests that need sound will say so)" >&2
  fi
fi

"$@"
