#!/usr/bin/env python3
"""Synthesises the program's sound effects into resources/sounds/N.wav (16-bit mono
22050 Hz RIFF WAVE) and writes resources/sounds/sounds.qrc listing them under /sounds.

Everything is built from a few instruments (a soft bell, a plucked tone, a mellow brass,
filtered noise) so the set sounds like one family. The noise comes from a seeded
generator, so the output is the same on every run.

    python3 tools/sounds/make_sounds.py
"""
import math
import random
import struct
import wave
from pathlib import Path

RATE = 22050
OUT = Path(__file__).resolve().parents[2] / "resources" / "sounds"


def hz(note):
    """Frequency of a MIDI note number (69 = A 440)."""
    return 440.0 * 2 ** ((note - 69) / 12)


NOTE = {n: i for i, n in enumerate(["C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"])}


def n(name):
    """'C5' -> MIDI note number."""
    return NOTE[name[:-1]] + 12 * (int(name[-1]) + 1)


class Track:
    def __init__(self, seconds):
        self.buf = [0.0] * int(seconds * RATE)

    def add(self, start, samples, gain=1.0):
        i0 = int(start * RATE)
        buf = self.buf
        if i0 + len(samples) > len(buf):
            buf.extend([0.0] * (i0 + len(samples) - len(buf)))
        for i, s in enumerate(samples):
            buf[i0 + i] += s * gain

    def save(self, ident, peak=0.6):
        buf = self.buf
        top = max(1e-9, max(abs(s) for s in buf))
        scale = peak / top
        fade = min(len(buf) // 4, int(0.004 * RATE))  # no click at either end
        frames = bytearray()
        for i, s in enumerate(buf):
            g = scale
            if i < fade:
                g *= i / fade
            elif i >= len(buf) - fade:
                g *= (len(buf) - 1 - i) / fade
            frames += struct.pack("<h", max(-32767, min(32767, int(round(s * g * 32767)))))
        with wave.open(str(OUT / f"{ident}.wav"), "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(bytes(frames))


def partials(freq, dur, parts, attack=0.004):
    """Sum of sine partials (ratio, level, decay time in s), each decaying exponentially."""
    count = int(dur * RATE)
    out = [0.0] * count
    att = max(1, int(attack * RATE))
    for ratio, level, decay in parts:
        f = freq * ratio
        if f >= RATE / 2 * 0.9:
            continue
        w = 2 * math.pi * f / RATE
        k = math.exp(-1.0 / (decay * RATE))
        amp = level
        for i in range(count):
            out[i] += amp * math.sin(w * i)
            amp *= k
    for i in range(min(att, count)):
        out[i] *= i / att
    return out


def bell(note, dur=0.8, bright=1.0):
    return partials(hz(note), dur, [(1, 1.0, 0.45 * dur), (2, 0.5 * bright, 0.25 * dur),
                                    (3, 0.25 * bright, 0.15 * dur), (4.2, 0.12 * bright, 0.08 * dur),
                                    (5.4, 0.06 * bright, 0.05 * dur)])


def pluck(note, dur=0.5):
    return partials(hz(note), dur, [(1, 1.0, 0.35 * dur), (2, 0.45, 0.18 * dur),
                                    (3, 0.2, 0.1 * dur), (4, 0.1, 0.06 * dur)], attack=0.003)


def brass(note, dur, level=1.0):
    """A mellow held tone: a few harmonics with a soft swell and a gentle release."""
    f = hz(note)
    count = int(dur * RATE)
    harm = [(1, 1.0), (2, 0.55), (3, 0.35), (4, 0.2), (5, 0.1), (6, 0.05)]
    out = []
    attack, release = 0.04 * RATE, 0.12 * RATE
    phase = 0.0
    for i in range(count):
        t = i / RATE
        # A gentle vibrato that fades in; the phase is integrated so the pitch stays true.
        vib = 1 + 0.004 * math.sin(2 * math.pi * 5.5 * t) * min(1, t / 0.3)
        phase += 2 * math.pi * f * vib / RATE
        s = sum(a * math.sin(h * phase) for h, a in harm)
        env = min(1.0, i / attack, (count - i) / release)
        out.append(level * s * env)
    return out


def noise(rng, count):
    return [rng.uniform(-1, 1) for _ in range(count)]


def lowpass(x, cutoff):
    a = 1 - math.exp(-2 * math.pi * cutoff / RATE)
    y, out = 0.0, []
    for s in x:
        y += a * (s - y)
        out.append(y)
    return out


def highpass(x, cutoff):
    low = lowpass(x, cutoff)
    return [s - l for s, l in zip(x, low)]


def bandpass_sweep(x, centre_of, q=2.0):
    """State-variable band-pass whose centre frequency follows centre_of(t)."""
    low = band = 0.0
    out = []
    for i, s in enumerate(x):
        f = 2 * math.sin(math.pi * min(centre_of(i / RATE), RATE / 6) / RATE)
        high = s - low - band / q
        band += f * high
        low += f * band
        out.append(band)
    return out


def card_snap(rng, dur=0.1):
    count = int(dur * RATE)
    x = highpass(lowpass(noise(rng, count), 5000), 600)
    body = partials(180, dur, [(1, 0.6, 0.015), (2.3, 0.3, 0.01)], attack=0.001)
    return [s * math.exp(-i / (0.012 * RATE)) + b for i, (s, b) in enumerate(zip(x, body))]


def melody(track, start, notes, step, voice, **kw):
    """Places notes (MIDI numbers, None for a rest) one step apart."""
    t = start
    for note in notes:
        if note is not None:
            track.add(t, voice(note, **kw))
        t += step
    return t


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    rng = random.Random(20261208)
    made = []

    def save(ident, track, peak=0.6):
        track.save(ident, peak)
        made.append(ident)

    # 1: a soft "nope": two low, slightly buzzy tones going down.
    t = Track(0.32)
    for start, note in ((0.0, n("D3")), (0.14, n("A#2"))):
        f = hz(note)
        tone = partials(f, 0.17, [(h, 1.0 / h, 0.12) for h in (1, 2, 3, 4, 5, 6, 7)], attack=0.01)
        t.add(start, lowpass(tone, 1400))
    save(1, t, 0.45)

    # 2: a riffle shuffle: a run of soft card clicks that speeds up, then a settle.
    t = Track(0.62)
    pos, gap = 0.0, 0.028
    while pos < 0.48:
        t.add(pos, card_snap(rng, 0.03), rng.uniform(0.35, 0.6))
        pos += gap * rng.uniform(0.7, 1.2)
        gap = max(0.012, gap * 0.94)
    t.add(0.5, card_snap(rng, 0.1), 1.2)
    save(2, t, 0.5)

    # 3: one card snapped down.
    t = Track(0.1)
    t.add(0, card_snap(rng, 0.1))
    save(3, t, 0.55)

    # 4: win fanfare: a rising call, then a held major chord with a bell on top.
    t = Track(2.1)
    call = [("G4", 0.0, 0.16), ("C5", 0.17, 0.16), ("E5", 0.34, 0.16), ("G5", 0.51, 0.3),
            ("E5", 0.84, 0.14), ("G5", 1.0, 1.0)]
    for name, start, length in call:
        t.add(start, brass(n(name), length), 0.8)
    for name in ("C4", "E4", "G4", "C5"):
        t.add(1.0, brass(n(name), 1.0), 0.2)
    t.add(1.0, bell(n("C6"), 1.05), 0.4)
    save(4, t)

    # 5: lose motif: a slow, falling minor line settling low.
    t = Track(1.5)
    for name, start, length in (("G4", 0.0, 0.3), ("F#4", 0.3, 0.3), ("F4", 0.6, 0.3),
                                ("E4", 0.9, 0.6)):
        t.add(start, brass(n(name), length), 0.7)
    t.add(0.9, brass(n("C4"), 0.6), 0.3)
    save(5, t, 0.5)

    # 6: a clear ding.
    t = Track(0.7)
    t.add(0, bell(n("E6"), 0.7))
    save(6, t, 0.5)

    # 7: a whoosh: noise through a band-pass sweeping up and back down.
    t = Track(1.5)
    x = noise(rng, int(1.5 * RATE))
    swept = bandpass_sweep(x, lambda s: 300 + 2200 * math.sin(math.pi * s / 1.5) ** 2, q=3.0)
    env = [math.sin(math.pi * i / len(swept)) ** 1.5 for i in range(len(swept))]
    t.add(0, [s * e for s, e in zip(swept, env)])
    save(7, t, 0.45)

    # 8: start-up chime: a rising arpeggio of bells.
    t = Track(1.4)
    melody(t, 0, [n("C5"), n("E5"), n("G5"), n("C6")], 0.12, bell, dur=1.0)
    save(8, t)

    # 9, 12, 23: spare short chimes.
    for ident, notes in ((9, ("A5", "E6")), (12, ("F5", "C6")), (23, ("E6", "B5", "G6"))):
        t = Track(0.7)
        melody(t, 0, [n(x) for x in notes], 0.1, bell, dur=0.55)
        save(ident, t, 0.5)

    # 10, 11: short sad tunes for a round lost on points.
    sad = {10: (["E4", "D4", "C4", "B3"], ["A2", "E3"]),
           11: (["C5", "A#4", "G#4", "G4"], ["F3", "C4"])}
    for ident, (line, bass) in sad.items():
        t = Track(1.05)
        melody(t, 0, [n(x) for x in line], 0.2, pluck, dur=0.45)
        t.add(0.6, pluck(n(bass[0]), 0.45), 0.5)
        t.add(0.6, pluck(n(bass[1]), 0.45), 0.4)
        save(ident, t, 0.5)

    # 20, 21, 22: short happy tunes for a round won on points.
    happy = {20: ["C5", "E5", "G5", "C6"], 21: ["G4", "B4", "D5", "G5"],
             22: ["F5", "A5", "C6", "A5", "F6"]}
    for ident, line in happy.items():
        t = Track(1.05)
        step = 0.75 / len(line)
        end = melody(t, 0, [n(x) for x in line[:-1]], step, pluck, dur=0.35)
        t.add(end, bell(n(line[-1]), 1.05 - end))
        save(ident, t, 0.55)

    # 100 + rank: all four of a rank are melded; the chime climbs with the rank.
    for rank in range(13):
        t = Track(0.75)
        base = n("G4") + rank
        melody(t, 0, [base, base + 4, base + 7, base + 12], 0.07, bell, dur=0.5, bright=0.8)
        save(100 + rank, t, 0.5)

    files = "\n".join(f'    <file alias="{i}.wav">{i}.wav</file>' for i in made)
    (OUT / "sounds.qrc").write_text(
        f'<!DOCTYPE RCC>\n<RCC version="1.0">\n  <qresource prefix="/sounds">\n{files}\n'
        "  </qresource>\n</RCC>\n")
    total = sum((OUT / f"{i}.wav").stat().st_size for i in made)
    print(f"{len(made)} sounds, {total} bytes in {OUT}")


if __name__ == "__main__":
    main()
