#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the WAV fuzzer's seeds: one small valid file of each format the program plays
(PCM, 8 or 16 bits, mono or stereo) and the chunk layouts it must take (a format chunk with
extra bytes, a list chunk first, data ahead of the format, an odd data chunk with its pad)."""
import os
import struct
import sys


def chunk(cid, body):
    return cid + struct.pack("<I", len(body)) + body + (b"\0" if len(body) % 2 else b"")


def fmt(channels, rate, bits, extra=b""):
    align = channels * bits // 8
    return chunk(b"fmt ", struct.pack("<HHIIHH", 1, channels, rate, rate * align, align, bits) + extra)


def riff(*chunks):
    body = b"WAVE" + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main(out):
    ramp8 = bytes(range(0, 256, 32))
    ramp16 = b"".join(struct.pack("<h", v) for v in range(-16384, 16384, 4096))
    seeds = {
        "pcm8-mono.wav": riff(fmt(1, 11025, 8), chunk(b"data", ramp8)),
        "pcm8-stereo.wav": riff(fmt(2, 22050, 8), chunk(b"data", ramp8)),
        "pcm16-mono.wav": riff(fmt(1, 44100, 16), chunk(b"data", ramp16)),
        "pcm16-stereo.wav": riff(fmt(2, 48000, 16), chunk(b"data", ramp16)),
        "fmt-extra-bytes.wav": riff(fmt(1, 8000, 8, b"\0\0"), chunk(b"data", ramp8)),
        "list-first.wav": riff(chunk(b"LIST", b"INFOINAM\4\0\0\0beep"), fmt(1, 12000, 8),
                               chunk(b"data", ramp8)),
        "data-first-odd.wav": riff(chunk(b"data", ramp8[:7]), fmt(1, 12000, 8)),
    }
    os.makedirs(out, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "wav_corpus"))
