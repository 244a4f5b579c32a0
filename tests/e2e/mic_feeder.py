#!/usr/bin/env python3
"""What a microphone hears, written in real time into a pipe source: a low hiss, and a clap whenever
the file CONTROL/clap appears (its text: mono, left or right). The moment the clap's last byte has
been written is appended to CONTROL/claps (monotonic seconds). Stops when CONTROL/stop appears.
Usage: mic_feeder.py FIFO mono|stereo CONTROL"""
import os
import random
import struct
import sys
import time

fifo, kind, control = sys.argv[1], sys.argv[2], sys.argv[3]
stereo = kind == "stereo"
rate = 22050 if stereo else 11025
frame_bytes = 4 if stereo else 1
chunk_frames = 256
rng = random.Random(7)


def mono_frame(value):  # value in -1..1
    return bytes([max(0, min(255, 128 + int(value * 127)))])


def stereo_frame(left, right):
    return struct.pack("<hh", int(left * 32767), int(right * 32767))


def hiss(frames):
    # About 3 % of full scale: what a quiet room and a cheap microphone give.
    if stereo:
        return b"".join(stereo_frame(rng.uniform(-0.03, 0.03), rng.uniform(-0.03, 0.03)) for _ in range(frames))
    return b"".join(mono_frame(rng.uniform(-0.03, 0.03)) for _ in range(frames))


def clap(side):
    # 60 ms of noise falling away, at most 90 % of full scale, over the hiss.
    frames = int(rate * 0.06)
    out = []
    for i in range(frames):
        amp = 0.9 * (1 - i / frames) ** 2
        loud = rng.uniform(-amp, amp) if i % 2 else amp
        quiet = rng.uniform(-0.03, 0.03)
        if not stereo:
            out.append(mono_frame(loud))
        elif side == "left":
            out.append(stereo_frame(loud, quiet))
        else:
            out.append(stereo_frame(quiet, loud))
    return b"".join(out)


out = open(fifo, "wb", buffering=0)
start = time.monotonic()
written = 0
try:
    while not os.path.exists(os.path.join(control, "stop")):
        trigger = os.path.join(control, "clap")
        if os.path.exists(trigger):
            with open(trigger) as f:
                side = f.read().strip()
            os.remove(trigger)
            data = clap(side)
            out.write(data)
            with open(os.path.join(control, "claps"), "a") as f:
                f.write("%.6f\n" % time.monotonic())
            written += len(data) // frame_bytes
        out.write(hiss(chunk_frames))
        written += chunk_frames
        # Keep to real time: the pipe source passes on whatever it gets at once.
        ahead = written / rate - (time.monotonic() - start)
        if ahead > 0:
            time.sleep(ahead)
except (BrokenPipeError, OSError):
    pass
