#!/usr/bin/env python3
"""Writes the program's short interface sounds (16-bit mono WAV, 22050 Hz).

Run from this folder after changing a sound; the WAV files are kept in the
repository so that the build needs no generator.
"""
import math
import struct
import wave

RATE = 22050


def tone(parts, volume):
    """parts: (frequency, milliseconds) pairs; each part fades in and out."""
    samples = []
    for freq, ms in parts:
        n = int(RATE * ms / 1000)
        fade = max(1, min(n // 4, int(RATE * 0.005)))
        for i in range(n):
            env = min(1.0, i / fade, (n - 1 - i) / fade)
            samples.append(volume * env * math.sin(2 * math.pi * freq * i / RATE))
    return samples


def click(volume):
    """A short decaying burst."""
    n = int(RATE * 0.012)
    return [volume * math.exp(-i / (n / 5)) * math.sin(2 * math.pi * 1800 * i / RATE) for i in range(n)]


def buzz(volume):
    """A low rasping tone: a square wave with a slight fall."""
    n = int(RATE * 0.25)
    return [volume * min(1.0, i / 200, (n - 1 - i) / 200) * (1 if math.sin(2 * math.pi * (150 - 30 * i / n) * i / RATE) >= 0 else -1)
            for i in range(n)]


def write(name, samples):
    with wave.open(name, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(max(-1, min(1, s)) * 32767)) for s in samples))


write("Click.wav", click(0.8))
write("ClickQuiet.wav", click(0.25))
write("On.wav", tone([(660, 60), (990, 80)], 0.5))
write("Off.wav", tone([(990, 60), (660, 80)], 0.5))
write("Buzzer.wav", buzz(0.35))
