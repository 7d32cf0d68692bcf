"""Writes a large RGB PNG (print-resolution box art) without an imaging library:
usage: make_print_png.py OUT WIDTH HEIGHT"""
import struct
import sys
import zlib

out, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])

# A colourful pattern: a long strip of gradients that each row takes a shifted slice of.
strip = bytearray()
for i in range(width * 2):
    strip += bytes(((i * 7) & 255, (i * 3 + 85) & 255, (i * 11 + 170) & 255))
strip = bytes(strip)


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


with open(out, "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
    z = zlib.compressobj(6)
    pending = []
    for y in range(height):
        start = (y * 5 % width) * 3
        pending.append(b"\0" + strip[start:start + width * 3])
        if len(pending) == 64 or y == height - 1:
            data = z.compress(b"".join(pending))
            pending = []
            if data:
                f.write(chunk(b"IDAT", data))
    f.write(chunk(b"IDAT", z.flush()))
    f.write(chunk(b"IEND", b""))
