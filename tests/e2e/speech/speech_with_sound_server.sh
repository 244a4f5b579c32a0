#!/usr/bin/env bash
# Runs a command under a private PulseAudio server with a null sink, then stops the server.
set -u
export XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
export PULSE_RUNTIME_PATH="$XDG_RUNTIME_DIR/pulse"
unset PULSE_SERVER
pulseaudio --daemonize=yes --exit-idle-time=-1 -n --use-pid-file=yes \
  --load=module-native-protocol-unix --load="module-null-sink sink_name=spk" >/dev/null 2>&1
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink spk
"$@"
status=$?
pulseaudio --kill >/dev/null 2>&1
rm -rf "$XDG_RUNTIME_DIR"
exit $status
