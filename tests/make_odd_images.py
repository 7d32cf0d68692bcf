"""Writes the pictures ImageMagick cannot be asked for directly: BMPs in both row orders,
TGAs with a top-left origin, and headers that claim absurd sizes."""
import struct
import sys
import zlib
from pathlib import Path

out = Path(sys.argv[1])
RED, GREEN, BLUE, YELLOW = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0)


def quadrant(x, y, w, h):
    top, left = y < h // 2, x < w // 2
    return (RED if left else GREEN) if top else (BLUE if left else YELLOW)


def bmp(path, w, h, bits, top_down):
    row_bytes = (w * bits // 8 + 3) & ~3
    rows = []
    for y in range(h):
        row = bytearray()
        for x in range(w):
            r, g, b = quadrant(x, y, w, h)
            row += bytes((b, g, r)) + (b"\xff" if bits == 32 else b"")
        rows.append(bytes(row) + b"\0" * (row_bytes - len(row)))
    if not top_down:
        rows.reverse()
    pixels = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, w, -h if top_down else h, 1, bits, 0, len(pixels), 2835, 2835, 0, 0)
    path.write_bytes(b"BM" + struct.pack("<IHHI", 14 + 40 + len(pixels), 0, 0, 54) + header + pixels)


def tga(path, w, h, top_down, rle):
    """As the format has it: rows bottom-up unless the descriptor's bit 5 says top-down."""
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 10 if rle else 2, 0, 0, 0, 0, 0, w, h, 24, 0x20 if top_down else 0)
    rows = range(h) if top_down else range(h - 1, -1, -1)
    data = bytearray()
    for y in rows:
        row = [bytes(reversed(quadrant(x, y, w, h))) for x in range(w)]
        if not rle:
            data += b"".join(row)
            continue
        x = 0
        while x < w:  # runs of equal pixels, at most 128 each
            n = 1
            while x + n < w and n < 128 and row[x + n] == row[x]:
                n += 1
            data += bytes((0x80 | (n - 1),)) + row[x]
            x += n
    path.write_bytes(header + bytes(data))


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png_header_only(path, w, h):
    ihdr = struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)
    idat = zlib.compress(b"\0" * 64)
    path.write_bytes(b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + png_chunk(b"IDAT", idat) + png_chunk(b"IEND", b""))


def bmp_header_only(path, w, h):
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, 0, 2835, 2835, 0, 0)
    path.write_bytes(b"BM" + struct.pack("<IHHI", 54 + 64, 0, 0, 54) + header + b"\0" * 64)


def png_real_bilevel(path, w, h):
    """A complete, valid 1-bit picture of w x h: tiny on disk, huge when decoded."""
    z = zlib.compressobj(9)
    row = b"\0" + b"\xff" * ((w + 7) // 8)
    data = b"".join(z.compress(row) for _ in range(h)) + z.flush()
    ihdr = struct.pack(">IIBBBBB", w, h, 1, 0, 0, 0, 0)
    path.write_bytes(b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + png_chunk(b"IDAT", data) + png_chunk(b"IEND", b""))


def png_grey16(path, w, h, sample, extra=b""):
    """16-bit grey; sample(x, y) gives the 16-bit value (high and low bytes may differ)."""
    raw = b"".join(b"\0" + b"".join(struct.pack(">H", sample(x, y)) for x in range(w)) for y in range(h))
    ihdr = struct.pack(">IIBBBBB", w, h, 16, 0, 0, 0, 0)
    path.write_bytes(b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + extra + png_chunk(b"IDAT", zlib.compress(raw))
                     + png_chunk(b"IEND", b""))


def png_rgba(path, w, h, pixel):
    raw = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(w)) for y in range(h))
    ihdr = struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)
    path.write_bytes(b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + png_chunk(b"IDAT", zlib.compress(raw))
                     + png_chunk(b"IEND", b""))


bmp(out / "bmp24-bottom-up.bmp", 64, 64, 24, False)
bmp(out / "bmp24-top-down.bmp", 64, 64, 24, True)
bmp(out / "bmp32-bottom-up.bmp", 64, 64, 32, False)
bmp(out / "bmp32-top-down.bmp", 64, 64, 32, True)
tga(out / "quadrants.tga", 64, 64, top_down=False, rle=False)
tga(out / "rle.tga", 64, 64, top_down=False, rle=True)
tga(out / "tga-top-left.tga", 64, 64, top_down=True, rle=False)
png_header_only(out / "absurd-100000.png", 100000, 100000)
bmp_header_only(out / "absurd-50000.bmp", 50000, 50000)
png_header_only(out / "zero-width.png", 0, 64)
bmp_header_only(out / "zero-width.bmp", 0, 64)
png_real_bilevel(out / "huge-header.png", 20000, 20000)
# Grey quadrants in 16 bits whose high and low bytes differ: a reader of the wrong byte fails.
png_grey16(out / "grey16.png", 64, 64, lambda x, y: 0xFF3A if (x < 32) == (y < 32) else 0x00C5)
# A smooth diagonal ramp, odd width, with the colour chunks ImageMagick writes.
ramp_chunks = png_chunk(b"gAMA", struct.pack(">I", 45455)) + png_chunk(b"cHRM", struct.pack(">8I", 31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000))
png_grey16(out / "ramp16-301x200.png", 301, 200, lambda x, y: (x * 2 + y) * 65535 // (300 * 2 + 199), ramp_chunks)
# A logo on a transparent background: left half fully transparent (black underneath), right
# half red at half opacity.
png_rgba(out / "transparent-regions.png", 64, 64, lambda x, y: (0, 0, 0, 0) if x < 32 else (255, 0, 0, 128))


# Pictures whose size hides from a look at their first bytes.
def jpeg_after_comments(path, w, h, comment_bytes):
    """A frame header of w x h after comment segments of comment_bytes in all."""
    data = b"\xff\xd8"
    while comment_bytes > 0:
        n = min(comment_bytes, 65533)
        data += b"\xff\xfe" + struct.pack(">H", n + 2) + b"c" * n
        comment_bytes -= n
    data += b"\xff\xc0" + struct.pack(">HBHHB", 17, 8, h, w, 3) + b"\x01\x11\x00\x02\x11\x00\x03\x11\x00"
    path.write_bytes(data + b"\xff\xd9")


def gif_frame_block(w, h, left=0, top=0):
    """An image descriptor with a clear code and an end code: a valid, empty frame."""
    return (b"\x2c" + struct.pack("<HHHHB", left, top, w, h, 0) + b"\x02" + b"\x02\x44\x01" + b"\x00")


def gif(path, screen_w, screen_h, frames):
    head = b"GIF89a" + struct.pack("<HHBBB", screen_w, screen_h, 0x80, 0, 0) + bytes([255, 0, 0, 0, 0, 255])
    path.write_bytes(head + b"".join(frames) + b"\x3b")


def icon_holding(path, picture):
    """An icon whose one picture is a whole PNG file."""
    entry = struct.pack("<BBBBHHII", 0, 0, 0, 0, 1, 32, len(picture), 6 + 16)
    path.write_bytes(struct.pack("<HHH", 0, 1, 1) + entry + picture)


def animated_gif(path, first_frame_gif, count):
    """count copies of the one frame of a GIF made by ImageMagick, each with its own delay,
    and a last frame of 20000 x 20000 whose data stops at once: only a reader of every
    frame meets it."""
    data = first_frame_gif.read_bytes()
    flags = data[10]
    start = 13 + (3 << ((flags & 7) + 1) if flags & 0x80 else 0)
    while data[start] == 0x21:  # extensions before the frame
        i = start + 2
        while data[i]:
            i += 1 + data[i]
        start = i + 1
    frame = data[start:data.rindex(b"\x3b")]
    delay = b"\x21\xf9\x04\x04\x05\x00\x00\x00"
    path.write_bytes(data[:start] + (delay + frame) * count + delay + gif_frame_block(20000, 20000) + b"\x3b")


def tiff_header_only(path, w, h):
    """A bilevel TIFF that claims w x h: its strip is not there, only the size matters."""
    import struct
    tags = [(256, 4, w), (257, 4, h), (258, 3, 1), (259, 3, 1), (262, 3, 0), (273, 4, 8), (277, 3, 1),
            (278, 4, h), (279, 4, (w + 7) // 8 * h)]
    ifd = struct.pack("<H", len(tags)) + b"".join(
        struct.pack("<HHI", tag, kind, 1) + (struct.pack("<HH", value, 0) if kind == 3 else struct.pack("<I", value))
        for tag, kind, value in tags) + struct.pack("<I", 0)
    path.write_bytes(b"II*\x00" + struct.pack("<I", 16) + b"\x00" * 8 + ifd)


tiff_header_only(out / "huge.tif", 20000, 20000)
jpeg_after_comments(out / "comments-then-huge.jpg", 20000, 20000, 300 * 1024)
gif(out / "huge-frame-small-screen.gif", 1, 1, [gif_frame_block(20000, 20000)])
icon_holding(out / "icon-huge-png.ico", (out / "huge-header.png").read_bytes())
import subprocess  # noqa: E402
subprocess.run(["/usr/bin/convert", "-size", "2048x2048", "xc:#e01010", str(out / "one-frame.gif")], check=True)
animated_gif(out / "animated-100.gif", out / "one-frame.gif", 100)
with open(out / "no-picture-256mb.bin", "wb") as f:  # sparse: cheap to make, costly to read whole
    f.truncate(256 << 20)
