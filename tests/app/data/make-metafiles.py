#!/usr/bin/env python3
"""Writes the metafiles the picture tests and the screenshots use, record by record.

    tests/app/data/make-metafiles.py [OUTDIR]

shapes.emf and shapes.wmf draw the same 400 x 300 picture: a white ground, a red
rectangle over the top left quarter and a blue ellipse in the bottom right quarter,
without outlines, so a test can look for each colour where it was drawn;
shapes-inkscape.wmf is shapes.wmf with the metafile header's file size counting the
placeable header too, as Inkscape writes it. bands.emf is a
1600 x 1000 table picture: a deep green ground shaded in bands, with rings of gold and a
few large shapes. The files are committed; run this only to change them.
"""
import os
import struct
import sys

out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))


def colorref(r, g, b):
    return r | g << 8 | b << 16


# --- Enhanced metafiles ---------------------------------------------------------------

EMR_HEADER, EMR_EOF, EMR_SELECTOBJECT, EMR_CREATEBRUSHINDIRECT = 1, 14, 37, 39
EMR_ELLIPSE, EMR_RECTANGLE, EMR_POLYGON16, EMR_DELETEOBJECT = 42, 43, 86, 40
EMR_CREATEPEN = 38
NULL_PEN, NULL_BRUSH = 0x80000008, 0x80000005


class Emf:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.records = []
        self.handles = 1  # handle 0 is the metafile itself

    def record(self, kind, payload):
        self.records.append(struct.pack("<II", kind, 8 + len(payload)) + payload)

    def brush(self, r, g, b):
        """Creates a solid brush, selects it and returns its handle."""
        h = self.handles
        self.handles += 1
        self.record(EMR_CREATEBRUSHINDIRECT, struct.pack("<IIII", h, 0, colorref(r, g, b), 0))
        self.record(EMR_SELECTOBJECT, struct.pack("<I", h))
        return h

    def pen(self, width, r, g, b):
        """Creates a solid geometric pen (cosmetic ones are one pixel wide), selects it and
        returns its handle."""
        h = self.handles
        self.handles += 1
        self.record(EMR_CREATEPEN, struct.pack("<IIiiI", h, 0x10000, width, 0, colorref(r, g, b)))
        self.record(EMR_SELECTOBJECT, struct.pack("<I", h))
        return h

    def select(self, stock):
        self.record(EMR_SELECTOBJECT, struct.pack("<I", stock))

    def delete(self, handle):
        self.record(EMR_DELETEOBJECT, struct.pack("<I", handle))

    def rect(self, left, top, right, bottom):
        self.record(EMR_RECTANGLE, struct.pack("<iiii", left, top, right, bottom))

    def ellipse(self, left, top, right, bottom):
        self.record(EMR_ELLIPSE, struct.pack("<iiii", left, top, right, bottom))

    def polygon(self, points):
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        payload = struct.pack("<iiiiI", min(xs), min(ys), max(xs), max(ys), len(points))
        payload += b"".join(struct.pack("<hh", x, y) for x, y in points)
        self.record(EMR_POLYGON16, payload)

    def bytes(self):
        self.record(EMR_EOF, struct.pack("<III", 0, 16, 20))
        body = b"".join(self.records)
        # A 96 dpi reference device: 1920 x 1080 pixels on 508 x 286 millimetres.
        device, mm = (1920, 1080), (508, 286)
        frame = (0, 0, round(self.width * mm[0] * 100 / device[0]),
                 round(self.height * mm[1] * 100 / device[1]))
        size = 108
        header = struct.pack("<II", EMR_HEADER, size)
        header += struct.pack("<iiii", 0, 0, self.width - 1, self.height - 1)
        header += struct.pack("<iiii", *frame)
        header += struct.pack("<III", 0x464D4520, 0x10000, size + len(body))
        header += struct.pack("<IHHIII", len(self.records) + 1, self.handles, 0, 0, 0, 0)
        header += struct.pack("<iiii", *device, *mm)
        header += struct.pack("<III", 0, 0, 0)  # no pixel format, no OpenGL
        header += struct.pack("<ii", mm[0] * 1000, mm[1] * 1000)
        assert len(header) == size
        return header + body


def shapes_emf():
    e = Emf(400, 300)
    e.record(EMR_SELECTOBJECT, struct.pack("<I", NULL_PEN))
    e.brush(255, 255, 255)
    e.rect(0, 0, 401, 301)
    e.brush(255, 0, 0)
    e.rect(0, 0, 201, 151)
    e.brush(0, 0, 255)
    e.ellipse(220, 170, 381, 291)
    return e.bytes()


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def bands_emf():
    w, h = 1600, 1000
    e = Emf(w, h)
    e.record(EMR_SELECTOBJECT, struct.pack("<I", NULL_PEN))
    # The ground: 40 horizontal bands from a dark sea green to a deep felt green and back.
    top, middle = (12, 52, 48), (20, 92, 58)
    bands = 40
    for i in range(bands):
        t = 1 - abs(i - (bands - 1) / 2) / ((bands - 1) / 2)
        handle = e.brush(*mix(top, middle, t))
        e.rect(0, i * h // bands, w + 1, (i + 1) * h // bands + 1)
        e.delete(handle)
    # Diamonds in the corners, in two shades of a darker green.
    for x, y in ((0, 0), (w, 0), (0, h), (w, h)):
        for size, colour in ((260, (10, 44, 40)), (170, (16, 66, 52))):
            handle = e.brush(*colour)
            e.polygon([(x, y - size), (x + size, y), (x, y + size), (x - size, y)])
            e.delete(handle)
    # A glow in the middle: ellipses growing lighter towards the centre.
    cx, cy = w // 2, h // 2
    rings = 18
    for i in range(rings):
        t = i / (rings - 1)
        rx, ry = round(756 - 600 * t), round(466 - 370 * t)
        handle = e.brush(*mix((18, 78, 54), (52, 146, 90), t))
        e.ellipse(cx - rx, cy - ry, cx + rx, cy + ry)
        e.delete(handle)
    # Gold rings drawn with a pen over the glow.
    e.select(NULL_BRUSH)
    for rx, ry, width, gold in ((760, 470, 7, (176, 140, 62)), (736, 450, 2, (150, 120, 56)),
                                (300, 190, 5, (206, 170, 84))):
        handle = e.pen(width, *gold)
        e.ellipse(cx - rx, cy - ry, cx + rx, cy + ry)
        e.select(NULL_PEN)
        e.delete(handle)
    return e.bytes()


# --- Windows metafiles with a placeable header ---------------------------------------

META_EOF, META_SELECTOBJECT, META_CREATEBRUSHINDIRECT = 0x0000, 0x012D, 0x02FC
META_SETWINDOWORG, META_SETWINDOWEXT, META_RECTANGLE, META_ELLIPSE = 0x020B, 0x020C, 0x041B, 0x0418
META_CREATEPENINDIRECT = 0x02FA
PS_NULL = 5


class Wmf:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.records = []
        self.objects = 0

    def record(self, function, *words, fmt=None):
        payload = struct.pack(fmt or "<" + "h" * len(words), *words)
        assert len(payload) % 2 == 0
        self.records.append(struct.pack("<IH", 3 + len(payload) // 2, function) + payload)

    def create(self, function, payload):
        """Creates an object in the next free slot and selects it."""
        self.records.append(struct.pack("<IH", 3 + len(payload) // 2, function) + payload)
        self.record(META_SELECTOBJECT, self.objects)
        self.objects += 1

    def brush(self, r, g, b):
        self.create(META_CREATEBRUSHINDIRECT, struct.pack("<HIH", 0, colorref(r, g, b), 0))

    def null_pen(self):
        self.create(META_CREATEPENINDIRECT, struct.pack("<HhhI", PS_NULL, 0, 0, 0))

    def rect(self, left, top, right, bottom):
        self.record(META_RECTANGLE, bottom, right, top, left)

    def ellipse(self, left, top, right, bottom):
        self.record(META_ELLIPSE, bottom, right, top, left)

    def bytes(self, size_counts_placeable=False):
        """The metafile behind its placeable header. With `size_counts_placeable`, the
        header's file size counts the 22 bytes of the placeable header too, as Inkscape
        writes it."""
        body = [struct.pack("<IH", 5, META_SETWINDOWORG) + struct.pack("<hh", 0, 0),
                struct.pack("<IH", 5, META_SETWINDOWEXT) + struct.pack("<hh", self.height,
                                                                       self.width)]
        body += self.records + [struct.pack("<IH", 3, META_EOF)]
        data = b"".join(body)
        largest = max(len(r) for r in body) // 2
        words = (18 + len(data) + (22 if size_counts_placeable else 0)) // 2
        header = struct.pack("<HHHIHIH", 1, 9, 0x0300, words, self.objects, largest, 0)
        placeable = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, self.width, self.height, 96, 0)
        checksum = 0
        for (word,) in struct.iter_unpack("<H", placeable):
            checksum ^= word
        return placeable + struct.pack("<H", checksum) + header + data


def shapes_wmf(size_counts_placeable=False):
    m = Wmf(400, 300)
    m.null_pen()
    m.brush(255, 255, 255)
    m.rect(0, 0, 401, 301)
    m.brush(255, 0, 0)
    m.rect(0, 0, 201, 151)
    m.brush(0, 0, 255)
    m.ellipse(220, 170, 381, 291)
    return m.bytes(size_counts_placeable)


for name, data in (("shapes.emf", shapes_emf()), ("shapes.wmf", shapes_wmf()),
                   ("shapes-inkscape.wmf", shapes_wmf(size_counts_placeable=True)),
                   ("bands.emf", bands_emf())):
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
    print(name, len(data), "bytes")
