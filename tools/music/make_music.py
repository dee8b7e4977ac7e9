#!/usr/bin/env python3
"""Composes the background songs into music/*.mid: Standard MIDI Files of format 1 with a
tempo track (tempo map, metre, a closing ritardando) and one track per instrument on
General MIDI programs (piano, strings, nylon guitar and friends).

Each song is a small form (A A' B A, sometimes with a coda) over a fixed chord
progression; the melody is drawn from a seeded generator that favours steps and chord
tones on strong beats, so the same script always writes the same files.

    python3 tools/music/make_music.py
"""
import random
import struct
from pathlib import Path

PPQ = 480
OUT = Path(__file__).resolve().parents[2] / "music"

MAJOR = [0, 2, 4, 5, 7, 9, 11]
MINOR = [0, 2, 3, 5, 7, 8, 10]  # natural minor; the dominant gets its leading tone below

# General MIDI programs (0-based).
PIANO, CELESTA, GUITAR, BASS, VIOLIN, CELLO, STRINGS, SLOW_STRINGS, FLUTE, OBOE, CLARINET = (
    0, 8, 24, 32, 40, 42, 48, 49, 73, 68, 71)


def vlq(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


class Track:
    def __init__(self, name):
        self.events = []  # (tick, order, bytes); order puts note-offs before note-ons
        self.end = 0  # the tick of the end-of-track event, at least the last event's
        self.sounding = {}  # (channel, key) -> index of the note-off of its latest note
        self.meta(0, 0x03, name.encode("ascii"))

    def meta(self, tick, kind, data):
        self.events.append((tick, 0, bytes([0xFF, kind]) + vlq(len(data)) + data))

    def channel(self, tick, data, order=1):
        self.events.append((tick, order, bytes(data)))

    def note(self, tick, length, ch, key, vel):
        if not 0 <= key <= 127:
            return
        # A key struck again while it still sounds: the earlier note ends here, so its
        # note-off does not cut the new one short.
        earlier = self.sounding.get((ch, key))
        if earlier is not None and self.events[earlier][0] > tick:
            self.events[earlier] = (tick, 0, self.events[earlier][2])
        self.channel(tick, [0x90 | ch, key, max(1, min(127, vel))], 2)
        self.sounding[(ch, key)] = len(self.events)
        self.channel(tick + max(1, length), [0x80 | ch, key, 64], 0)

    def encode(self):
        body, last = bytearray(), 0
        for tick, _, data in sorted(self.events, key=lambda e: (e[0], e[1])):
            body += vlq(tick - last) + data
            last = tick
        body += vlq(max(0, self.end - last)) + b"\xff\x2f\x00"
        return b"MTrk" + struct.pack(">I", len(body)) + bytes(body)


class Song:
    def __init__(self, plan):
        self.s = plan
        self.rng = random.Random(plan["seed"])
        self.beats = plan["beats"]
        self.bar = self.beats * PPQ
        scale = MAJOR if plan["mode"] == "major" else MINOR
        self.scale = scale
        self.tonic = plan["tonic"]

    # Pitches -------------------------------------------------------------------------------
    def degree_pitch(self, degree, octave_base):
        """Scale degree (0-based, may exceed 6) as a MIDI note above octave_base."""
        o, d = divmod(degree, 7)
        return octave_base + self.tonic % 12 + 12 * o + self.scale[d]

    def chord(self, root):
        """Pitch classes (relative to C) of the diatonic triad on a 0-based degree."""
        pcs = [(self.tonic + self.scale[(root + k) % 7]) % 12 for k in (0, 2, 4)]
        if self.s["mode"] == "minor" and root == 4:
            pcs[1] = (pcs[1] + 1) % 12  # raised leading tone in the dominant
        return pcs

    def melody_pool(self, low, high, dominant=False):
        pcs = {(self.tonic + d) % 12 for d in self.scale}
        if dominant and self.s["mode"] == "minor":  # the leading tone, as in the chord
            pcs.discard((self.tonic + 10) % 12)
            pcs.add((self.tonic + 11) % 12)
        return [p for p in range(low, high + 1) if p % 12 in pcs]

    # Melody --------------------------------------------------------------------------------
    RHYTHMS = {
        3: [[1, 1, 1], [2, 1], [1.5, 0.5, 1], [1, 0.5, 0.5, 1], [3], [1, 2]],
        4: [[1, 1, 1, 1], [2, 1, 1], [1.5, 0.5, 2], [1, 0.5, 0.5, 2], [2, 2], [1, 1, 2],
            [0.5, 0.5, 1, 2]],
    }

    def phrase(self, progression, final):
        """Melody for one section: a list of (beat offset, beats, pitch) per bar."""
        home = self.melody_pool(self.s["mel_low"], self.s["mel_high"])
        bars, current = [], home[len(home) // 2]
        patterns = self.RHYTHMS[self.beats]
        for i, root in enumerate(progression):
            tones = self.chord(root)
            pool = self.melody_pool(self.s["mel_low"], self.s["mel_high"], root == 4)
            last_bar = i == len(progression) - 1
            if last_bar:
                rhythm = [self.beats]
            elif i % 4 == 3:
                rhythm = [self.beats - 1, 1] if self.rng.random() < 0.5 else [self.beats]
            else:
                rhythm = self.rng.choice(patterns)
            notes, beat = [], 0.0
            for k, length in enumerate(rhythm):
                strong = beat == 0 or (self.beats == 4 and beat == 2)
                if last_bar and final:
                    target = [p for p in pool if p % 12 == self.tonic % 12]
                elif last_bar or strong:
                    target = [p for p in pool if p % 12 in tones]
                else:
                    target = pool
                # Prefer small steps from the current note; leaps are rarer.
                weights = []
                for p in target:
                    d = abs(p - current)
                    weights.append(0.3 if d == 0 else 4.0 if d <= 2 else 2.0 if d <= 4
                                   else 0.8 if d <= 7 else 0.1)
                current = self.rng.choices(target, weights)[0]
                notes.append((beat, length, current))
                beat += length
            bars.append(notes)
        return bars

    # Accompaniment -------------------------------------------------------------------------
    def accompany(self, track, ch, start_tick, root, style, vel):
        pcs = self.chord(root)
        base = self.s["acc_low"]
        voicing = sorted((base + (pc - base) % 12) for pc in pcs)
        bar, beat = self.bar, PPQ
        if style == "waltz":  # bass note handled by the bass track; two soft chords
            for b in (1, 2):
                for p in voicing:
                    track.note(start_tick + b * beat, beat - 40, ch, p + 12, vel - 8)
        elif style == "arpeggio":
            order = voicing + [voicing[0] + 12, voicing[1] + 12, voicing[0] + 12, voicing[2]]
            steps = self.beats * 2
            for k in range(steps):
                track.note(start_tick + k * beat // 2, beat * 2, ch, order[k % len(order)],
                           vel - (0 if k % 2 == 0 else 6))
        elif style == "pad":
            for p in voicing:
                track.note(start_tick, bar - 30, ch, p, vel)
        elif style == "guitar":  # fingerpicked: bass, then the chord tones rolling upward
            picks = [voicing[0] - 12, voicing[1], voicing[2], voicing[0] + 12,
                     voicing[2], voicing[1]]
            steps = self.beats * 2
            for k in range(steps):
                track.note(start_tick + k * beat // 2, beat * 3 // 2, ch, picks[k % len(picks)],
                           vel - (0 if k == 0 else 10))

    def bass(self, track, ch, start_tick, root, vel):
        pc = self.chord(root)[0]
        low = self.s["bass_low"]
        p = low + (pc - low) % 12
        if self.beats == 3:
            track.note(start_tick, PPQ - 30, ch, p, vel)
        else:
            fifth = p + 7 if p + 7 <= low + 16 else p - 5
            track.note(start_tick, PPQ * 2 - 30, ch, p, vel)
            track.note(start_tick + PPQ * 2, PPQ * 2 - 30, ch, fifth, vel - 8)

    # Whole song ----------------------------------------------------------------------------
    def compose(self):
        s = self.s
        a = self.phrase(s["prog_a"], final=True)
        a2 = a[:-2] + self.phrase(s["prog_a"][-2:], final=True)
        b = self.phrase(s["prog_b"], final=False)
        form = [(s["prog_a"], a), (s["prog_a"], a2), (s["prog_b"], b), (s["prog_a"], a)]
        form = form * s.get("repeats", 1)
        form.append(([0], [[(0, self.beats, self.degree_pitch(0, s["mel_low"] // 12 * 12 + 12))]]))

        tempo = Track("Tempo")
        tempo.meta(0, 0x58, bytes([self.beats, 2, 24, 8]))
        key_sf = s.get("key_signature", 0) & 0xFF
        tempo.meta(0, 0x59, bytes([key_sf, 0 if s["mode"] == "major" else 1]))
        bpm = s["bpm"]
        tempo.meta(0, 0x51, struct.pack(">I", round(60_000_000 / bpm))[1:])

        mel, acc, low = Track(s["melody_name"]), Track(s["acc_name"]), Track("Bass")
        for track, ch, prog, vol, pan in ((mel, 0, s["melody"], 100, 70), (acc, 1, s["acc"], 80, 54),
                                          (low, 2, s["bass"], 90, 64)):
            track.channel(0, [0xC0 | ch, prog])
            track.channel(0, [0xB0 | ch, 7, vol])
            track.channel(0, [0xB0 | ch, 10, pan])
            track.channel(0, [0xB0 | ch, 91, 50])

        tick, total_bars = PPQ * self.beats, sum(len(p) for p, _ in form)  # one bar lead-in
        bar_index = 0
        for section, (progression, melody) in enumerate(form):
            for root, notes in zip(progression, melody):
                bar_index += 1
                closing = bar_index >= total_bars - 1
                for beat, length, pitch in notes:
                    t = tick + int(beat * PPQ)
                    dur = int(length * PPQ) - (20 if not closing else 0)
                    if closing and bar_index == total_bars:
                        dur = self.bar * 2
                    vel = 84 + self.rng.randint(-6, 6) + (6 if beat == 0 else 0)
                    mel.note(t, dur, 0, pitch, vel)
                if bar_index == total_bars:  # the last chord rings on
                    for p in sorted(self.s["acc_low"] + (pc - self.s["acc_low"]) % 12
                                    for pc in self.chord(0)):
                        acc.note(tick, self.bar * 2, 1, p, 56)
                    self.bass(low, 2, tick, 0, 64)
                else:
                    self.accompany(acc, 1, tick, root, s["style"], 60 + self.rng.randint(-4, 4))
                    self.bass(low, 2, tick, root, 68)
                tick += self.bar
            # The B section may push the tempo a touch; A returns to the home tempo.
            if "bpm_b" in s and section + 1 < len(form) - 1:
                nxt = form[section + 1][0]
                new = s["bpm_b"] if nxt is s["prog_b"] else bpm
                tempo.meta(tick, 0x51, struct.pack(">I", round(60_000_000 / new))[1:])

        # Ritardando over the last two bars, then a held final chord.
        slow_from = tick - 2 * self.bar
        for k in range(8):
            t = slow_from + k * self.bar // 4
            tempo.meta(t, 0x51, struct.pack(">I", round(60_000_000 / (bpm * (1 - 0.05 * (k + 1)))))[1:])
        end = tick + self.bar * 2
        for track in (tempo, mel, acc, low):
            track.end = end  # every track ends together, after the last chord has rung

        tracks = [tempo, mel, acc, low]
        header = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), PPQ)
        return header + b"".join(t.encode() for t in tracks)


SONGS = [
    dict(file="waltz.mid", seed=11, beats=3, bpm=138, mode="major", tonic=65, key_signature=-1,
         prog_a=[0, 3, 4, 0, 0, 3, 4, 0], prog_b=[5, 1, 4, 0, 5, 3, 4, 4],
         melody=PIANO, melody_name="Piano", acc=STRINGS, acc_name="Strings", bass=PIANO,
         style="waltz", mel_low=67, mel_high=84, acc_low=53, bass_low=41, repeats=2),
    dict(file="nocturne.mid", seed=23, beats=4, bpm=80, mode="major", tonic=60,
         prog_a=[0, 5, 3, 4, 0, 5, 1, 4], prog_b=[5, 2, 3, 0, 1, 4, 0, 4],
         melody=PIANO, melody_name="Piano right hand", acc=PIANO, acc_name="Piano left hand",
         bass=CELLO, style="arpeggio", mel_low=67, mel_high=86, acc_low=48, bass_low=36, bpm_b=84),
    dict(file="serenade.mid", seed=37, beats=4, bpm=84, mode="minor", tonic=57,
         prog_a=[0, 3, 6, 2, 5, 3, 4, 0], prog_b=[5, 2, 3, 0, 5, 3, 4, 4],
         melody=VIOLIN, melody_name="Violin", acc=GUITAR, acc_name="Nylon guitar", bass=BASS,
         style="guitar", mel_low=64, mel_high=81, acc_low=52, bass_low=33),
    dict(file="pastorale.mid", seed=41, beats=4, bpm=80, mode="major", tonic=62, key_signature=2,
         prog_a=[0, 4, 5, 2, 3, 0, 3, 4], prog_b=[3, 4, 2, 5, 1, 4, 0, 4],
         melody=FLUTE, melody_name="Flute", acc=SLOW_STRINGS, acc_name="Strings", bass=CELLO,
         style="pad", mel_low=69, mel_high=88, acc_low=54, bass_low=38),
    dict(file="lullaby.mid", seed=53, beats=3, bpm=80, mode="major", tonic=67, key_signature=1,
         prog_a=[0, 0, 3, 0, 4, 4, 0, 0], prog_b=[3, 3, 0, 0, 1, 4, 0, 4],
         melody=CELESTA, melody_name="Celesta", acc=GUITAR, acc_name="Guitar", bass=BASS,
         style="arpeggio", mel_low=71, mel_high=88, acc_low=55, bass_low=36),
]


def length_seconds(data):
    """Length from the tempo map (all tracks' tempo events), to report what was written."""
    ntracks, ppq = struct.unpack(">HH", data[10:14])
    pos, tempos, end = 14, [], 0
    for _ in range(ntracks):
        size = struct.unpack(">I", data[pos + 4:pos + 8])[0]
        p, stop, tick, status = pos + 8, pos + 8 + size, 0, 0
        while p < stop:
            delta = 0
            while True:
                c = data[p]; p += 1
                delta = (delta << 7) | (c & 0x7F)
                if c < 0x80: break
            tick += delta
            if data[p] == 0xFF:
                kind = data[p + 1]; p += 2
                ln = 0
                while True:
                    c = data[p]; p += 1
                    ln = (ln << 7) | (c & 0x7F)
                    if c < 0x80: break
                if kind == 0x51:
                    tempos.append((tick, int.from_bytes(data[p:p + 3], "big")))
                p += ln
            else:
                if data[p] & 0x80:
                    status = data[p]; p += 1
                p += 1 if status & 0xF0 in (0xC0, 0xD0) else 2
        end = max(end, tick)
        pos = stop
    tempos.sort()
    us, last_tick, cur = 0, 0, 500000
    for t, tempo in tempos:
        us += (t - last_tick) * cur / ppq
        last_tick, cur = t, tempo
    us += (end - last_tick) * cur / ppq
    return us / 1e6


def main():
    OUT.mkdir(exist_ok=True)
    for plan in SONGS:
        data = Song(plan).compose()
        (OUT / plan["file"]).write_bytes(data)
        print(f"{plan['file']:15} {len(data):6} bytes  {length_seconds(data):6.1f} s")


if __name__ == "__main__":
    main()
