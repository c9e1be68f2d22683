#!/usr/bin/env python3
"""Writes the program's own end tune, a short standard MIDI file (format 0).

Usage: python3 generators/make_end_tune.py src/app/res/end_tune.mid
"""
import struct
import sys

TICKS = 240  # per quarter note


def vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


# A bright little phrase in C major: (note, quarter notes).
MELODY = [
    (72, 1), (76, 1), (79, 1), (84, 2), (79, 1), (84, 3),
    (81, 1), (79, 1), (76, 1), (77, 1), (74, 1), (72, 4),
]
CHORDS = [(48, 4), (55, 4), (53, 4), (48, 4)]


def track():
    events = []  # (time, order, bytes)
    t = 0
    for note, beats in MELODY:
        events.append((t, 1, bytes([0x90, note, 100])))
        t += beats * TICKS
        events.append((t - 10, 0, bytes([0x80, note, 0])))
    t = 0
    for note, beats in CHORDS:
        for n in (note, note + 4, note + 7):
            events.append((t, 1, bytes([0x91, n, 70])))
        t += beats * TICKS
        for n in (note, note + 4, note + 7):
            events.append((t - 10, 0, bytes([0x81, n, 0])))
    events.sort()
    data = bytearray()
    data += vlq(0) + bytes([0xFF, 0x51, 0x03]) + (500000).to_bytes(3, "big")  # 120 bpm
    data += vlq(0) + bytes([0xC0, 0])   # piano
    data += vlq(0) + bytes([0xC1, 48])  # strings
    now = 0
    for when, _, ev in events:
        data += vlq(when - now) + ev
        now = when
    data += vlq(TICKS) + bytes([0xFF, 0x2F, 0x00])
    return bytes(data)


def main():
    body = track()
    midi = b"MThd" + struct.pack(">IHHH", 6, 0, 1, TICKS) + b"MTrk" + struct.pack(">I", len(body)) + body
    with open(sys.argv[1], "wb") as f:
        f.write(midi)


if __name__ == "__main__":
    main()
