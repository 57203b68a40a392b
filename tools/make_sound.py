#!/usr/bin/env python3
"""Synthesises "hit.wav", the sound of a shot meeting its label: a short
bright chime over a quick downward zap, 0.3 s, 22.05 kHz, 16-bit mono.

Usage: tools/make_sound.py OUT.wav
"""
import math
import random
import struct
import sys
import wave

RATE = 22050
LENGTH = 0.30


def sample(t, rng):
    # The zap: a sine sweeping from 1800 Hz down to 500 Hz in 80 ms.
    zap = 0.0
    if t < 0.08:
        f0, f1 = 1800.0, 500.0
        phase = 2 * math.pi * (f0 * t + (f1 - f0) * t * t / (2 * 0.08))
        zap = math.sin(phase) * (1 - t / 0.08) ** 1.5 * 0.55
    # The chime: two bell partials, ringing out.
    env = math.exp(-t * 14) * min(1.0, t / 0.004)
    chime = (math.sin(2 * math.pi * 1318.5 * t) * 0.45 + math.sin(2 * math.pi * 1975.5 * t) * 0.25 +
             math.sin(2 * math.pi * 3951.0 * t) * 0.08) * env
    # A click of noise at the very start gives the hit its edge.
    click = (rng.random() * 2 - 1) * math.exp(-t * 400) * 0.35
    return zap + chime + click


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "data/hit.wav"
    rng = random.Random(5238)
    n = int(RATE * LENGTH)
    frames = bytearray()
    for i in range(n):
        t = i / RATE
        fade = min(1.0, (n - i) / (RATE * 0.02))  # no click at the end
        v = max(-1.0, min(1.0, sample(t, rng) * fade * 0.8))
        frames += struct.pack("<h", int(v * 32767))
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))


if __name__ == "__main__":
    main()
