"""zelmora-render as a script uses it: transparent pictures that composite like rendered
ones, large pictures, resolution and quality, a jobs file with a bad line, a name in any
script, and every kind of bad input answered with a message, a status and no file."""
import os
import re
import stat
import subprocess
import sys
import time

from zelmora_e2e import Image, check, run

EXE, OUT = sys.argv[1], sys.argv[2]
CONVERT, COMPARE, IDENTIFY = "/usr/bin/convert", "/usr/bin/compare", "/usr/bin/identify"


def win(path):
    return "Z:" + path.replace("/", "\\")


def render(*args):
    r = subprocess.run(["wine", EXE, *args], capture_output=True, env=dict(os.environ, LC_ALL="C.UTF-8"))
    return r.returncode, r.stdout.decode("utf-8", "replace"), r.stderr.decode("utf-8", "replace")


def out(name):
    return os.path.join(OUT, name)


def mean_difference(a, b):
    """Mean absolute difference per channel, in levels of 255."""
    r = subprocess.run([COMPARE, "-metric", "MAE", a, b, "null:"], capture_output=True, text=True)
    return float(r.stderr.split("(")[1].rstrip(")")) * 255


def pixels_apart(a, b, fuzz):
    r = subprocess.run([COMPARE, "-metric", "AE", "-fuzz", fuzz, a, b, "null:"], capture_output=True, text=True)
    return int(float(r.stderr.split()[0]))


def content_box(path):
    """(width, height, x, y) of what the picture holds besides its background, or None."""
    box = subprocess.run([CONVERT, path, "-fuzz", "1%", "-format", "%@", "info:"], capture_output=True, text=True).stdout
    found = re.match(r"(\d+)x(\d+)\+(\d+)\+(\d+)", box)
    return tuple(int(v) for v in found.groups()) if found else None


def framed_within(boxes, width, height, margin):
    """Every box inside the picture's margins (a pixel's grace), and one reaching them."""
    mx, my = int(width * margin) - 1, int(height * margin) - 1
    inside = all(b and b[2] >= mx and b[3] >= my and b[2] + b[0] <= width - mx and b[3] + b[1] <= height - my
                 for b in boxes)
    return inside and any(b and (b[0] >= width - 2 * mx - 12 or b[1] >= height - 2 * my - 12) for b in boxes)


def png_has_nonzero_pixels(path):
    """Whether any pixel of the PNG is other than all zeros, read as a stream: the rows'
    bytes inflated chunk by chunk, the filter-type bytes (0 to 4) aside."""
    import zlib
    with open(path, "rb") as f:
        data = f.read()
    at, inflater, row_bytes, seen = 8, zlib.decompressobj(), None, 0
    while at < len(data):
        length = int.from_bytes(data[at:at + 4], "big")
        kind = data[at + 4:at + 8]
        if kind == b"IHDR":
            width = int.from_bytes(data[at + 8:at + 12], "big")
            row_bytes = 1 + width * (4 if data[at + 17] == 6 else 3)
        elif kind == b"IDAT":
            raw = inflater.decompress(data[at + 8:at + 8 + length])
            filters = raw[(-seen) % row_bytes::row_bytes]
            if len(raw) - raw.count(0) > len(filters) - filters.count(0):
                return True
            seen += len(raw)
        at += 12 + length
    return False


def main():
    face = out("face.png")
    subprocess.run([CONVERT, "-size", "256x256", "gradient:#204080-#F0C020", face], check=True)

    # The floor at 0 (its default, and given) leaves the pictures what they were without it:
    # pictures kept from the renderer (last made when pixels came to sample at their
    # centres), pixel for pixel.
    golden = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "golden")
    box = ["--front-colour", "#C03020", "--left-colour", "#2040E0", "--top-colour", "#30A050", "--right-colour",
           "#E0C020", "--template", "3-sided Box, Right Rotation, Thick Box", "--size", "640x480",
           "--background", "transparent"]
    zero = ["--reflection", "0", "--shadow", "0", "--reflection-fade", "100", "--shadow-softness", "100"]
    for name, args in (("start.png", []), ("box-transparent.png", box), ("box-transparent.png", box + zero)):
        rc, _, err = render(*args, "-o", win(out("golden-" + name)))
        ae = subprocess.run([COMPARE, "-metric", "AE", out("golden-" + name), os.path.join(golden, name), "null:"],
                            capture_output=True, text=True).stderr.strip()
        check(rc == 0 and ae == "0",
              f"{name} with the floor at 0 is the picture from before the floor (AE {ae}; status {rc} {err.strip()})")

    # Transparent: over red and over black it is what a render on red or black is.
    common = ["--size", "640x480", "--front", win(face), "--template", "3-sided Box, Right Rotation, Thick Box"]
    rc, _, err = render(*common, "--background", "transparent", "-o", win(out("clear.png")))
    check(rc == 0, f"a transparent picture is rendered ({err.strip()})")
    alpha = subprocess.run([IDENTIFY, "-format", "%[channels] %[fx:minima.a] %[fx:maxima.a]", out("clear.png")],
                           capture_output=True, text=True).stdout
    check(alpha.startswith("srgba") and alpha.split()[1:] == ["0", "1"], f"it has straight alpha, 0 to 1 ({alpha})")
    for colour, hexa in (("red", "#FF0000"), ("black", "#000000")):
        rc, _, _ = render(*common, "--background", hexa, "-o", win(out(f"on-{colour}.png")))
        subprocess.run([CONVERT, out("clear.png"), "-background", colour, "-flatten", out(f"flat-{colour}.png")],
                       check=True)
        mean = mean_difference(out(f"on-{colour}.png"), out(f"flat-{colour}.png"))
        fringe = pixels_apart(out(f"on-{colour}.png"), out(f"flat-{colour}.png"), "1.5%")
        check(rc == 0 and mean <= 1.0 and fringe == 0,
              f"composited over {colour} it equals a render on {colour} (mean {mean:.3f} levels, {fringe} pixels apart)")

    # Large, with its resolution for print.
    rc, _, err = render("--size", "4096x4096", "--dpi", "300", "-o", win(out("large.png")))
    info = subprocess.run([IDENTIFY, "-units", "PixelsPerInch", "-format", "%w %h %x", out("large.png")],
                          capture_output=True, text=True).stdout.split()
    check(rc == 0 and info[:2] == ["4096", "4096"] and float(info[2]) == 300, f"4096 x 4096 at 300 dpi ({info})")
    rc1, _, _ = render("--quality", "20", "--dpi", "150", "-o", win(out("low.jpg")))
    rc2, _, _ = render("--quality", "95", "-o", win(out("high.jpeg")))
    jpeg_dpi = subprocess.run([IDENTIFY, "-units", "PixelsPerInch", "-format", "%x", out("low.jpg")],
                              capture_output=True, text=True).stdout
    check(rc1 == rc2 == 0 and float(jpeg_dpi) == 150, f"JPEGs with a quality are written, with their density ({jpeg_dpi})")
    colour_space = subprocess.run([IDENTIFY, "-format", "%[EXIF:ColorSpace]", out("low.jpg")],
                                  capture_output=True, text=True).stdout
    check(colour_space.strip() == "1", f"a JPEG says its colours are sRGB (Exif colour space {colour_space!r})")
    render("--quality", "20", "-o", win(out("low-ref.png")))
    low_error, high_error = mean_difference(out("low.jpg"), out("low-ref.png")), mean_difference(out("high.jpeg"), out("low-ref.png"))
    check(os.path.getsize(out("high.jpeg")) > os.path.getsize(out("low.jpg")) and high_error < low_error,
          f"quality 95 is larger and closer to the picture than quality 20 (error {high_error:.2f} vs {low_error:.2f})")

    # Two samples asked of a device that offers more: the nearest count it offers, said; the
    # box's edge has partly covered pixels (before, no antialiasing at all, without a word).
    rc, _, err = render("--samples", "2", "--background", "transparent", "-o", win(out("samples-2.png")))
    alpha_levels = int(subprocess.run([CONVERT, out("samples-2.png"), "-alpha", "extract", "-format", "%k", "info:"],
                                      capture_output=True, text=True).stdout or 0)
    check(rc == 0 and alpha_levels > 2 and ("--samples 2" in err or not err.strip()),
          f"--samples 2 draws an antialiased edge ({alpha_levels} alpha levels; {err.strip()})")

    # The largest size, drawn in bands straight into its file: a real picture, in bounded
    # memory (the process's peak resident size, from /proc). Too large for ImageMagick's
    # limits: the test reads the PNG's rows itself and looks for anything but zeros.
    path = out("huge.png")
    proc = subprocess.Popen(["wine", EXE, "--size", "16384x16384", "--background", "transparent", "-o", win(path)],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    peak_kb = 0
    while proc.poll() is None:
        for pid in os.listdir("/proc"):
            try:
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    if b"zelmora-render.exe" not in f.read():
                        continue
                with open(f"/proc/{pid}/status") as f:
                    for line in f:
                        if line.startswith("VmHWM:"):
                            peak_kb = max(peak_kb, int(line.split()[1]))
            except (OSError, ValueError):
                pass
        time.sleep(0.2)
    err = proc.stderr.read().decode("utf-8", "replace")
    drawn = proc.returncode == 0 and png_has_nonzero_pixels(path)
    check(drawn and 0 < peak_kb < 1536 * 1024,
          f"16384 x 16384 transparent: a real picture, peak memory {peak_kb // 1024} MB (under 1.5 GB) {err.strip()}")
    os.remove(path)

    # --fit frames the box and its reflection, whatever the zoom said: 5% left on each side.
    rc, _, err = render("--zoom", "1100", "--reflection", "80", "--fit", "5", "--size", "800x450", "-o", win(out("fit.png")))
    box = subprocess.run([CONVERT, out("fit.png"), "-fuzz", "1%", "-format", "%@", "info:"],
                         capture_output=True, text=True).stdout
    w, h, x, y = (int(v) for v in re.match(r"(\d+)x(\d+)\+(\d+)\+(\d+)", box).groups()) if box else (0, 0, 0, 0)
    check(rc == 0 and x >= 38 and y >= 20 and x + w <= 762 and y + h <= 430 and (w >= 650 or h >= 365),
          f"--fit 5: the box and its reflection fill the picture inside the margins ({box}) {err.strip()}")

    # A turntable framed once: every view inside the margins, the widest touching them.
    with open(out("turn.jsonl"), "w") as f:
        for i in range(8):
            f.write(f'{{"rotation1": {i * 45}, "o": "turn-{i}.png"}}\n')
    rc, _, err = render("--jobs", win(out("turn.jsonl")), "--zoom", "1000", "--reflection", "60", "--fit", "5",
                        "--size", "600x400")
    boxes = [content_box(out(f"turn-{i}.png")) for i in range(8)]
    check(rc == 0 and "one framing holds" in err and framed_within(boxes, 600, 400, 0.05),
          f"--fit over a turntable: one framing, every view inside the margins ({boxes}) {err.strip()[-120:]}")

    # A shop's 30 series of three books from one jobs file, each line its own covers' colours,
    # page counts and trim: one framing for all, so every set stands at one scale, inside the
    # margins, the largest touching them.
    trims = ["4x6in", "6x9in", "8x10in"]
    colours = ["#C03030", "#30A040", "#3050C0", "#E08020", "#8030A0", "#20A0A0"]
    with open(out("series.jsonl"), "w") as f:
        for i in range(30):
            three = ",".join(colours[(i + k * 5) % 6] for k in range(3))
            pages = ",".join(str(80 + (i * 37 + k * 211) % 800) for k in range(3))
            f.write(f'{{"front-colour": "{three}", "pages": "{pages}", "trim": "{trims[i % 3]}", "o": "series-{i:02}.png"}}\n')
    rc, _, err = render("--jobs", win(out("series.jsonl")), "--shape", "paperback", "--fit", "5", "--size", "300x200")
    boxes = [content_box(out(f"series-{i:02}.png")) for i in range(30)]
    small = [b[1] for i, b in enumerate(boxes) if b and i % 3 == 0]
    large = [b[1] for i, b in enumerate(boxes) if b and i % 3 == 2]
    one_scale = small and large and sum(small) / len(small) < 0.75 * sum(large) / len(large)
    check(rc == 0 and "sets differ only in their view and their products: one framing holds" in err
          and framed_within(boxes, 300, 200, 0.05) and one_scale, f"30 series from a jobs file, framed the same way ({boxes[:3]}...) {err.strip()[-160:]}")

    # A spin of 48 (7.5 degree steps) in one command, into a folder made for it: framed once,
    # every picture inside the margins, the widest touching them.
    rc, _, err = render("--spin", "48", "--reflection", "60", "--size", "300x200", "-o", win(out("spin/box.png")))
    boxes = [content_box(out(f"spin/box-{i:02}.png")) for i in range(1, 49)]
    check(rc == 0 and framed_within(boxes, 300, 200, 0.05) and sorted(os.listdir(out("spin")))[-1] == "box-48.png",
          f"--spin 48: box-01.png .. box-48.png, framed once, all inside the margins ({err.strip()[-60:]})")

    # One spin, three outputs, each view drawn once: the frames are --spin's own, the APNG has
    # a frame a view, the page holds them.
    rc, _, err = render("--spin", "6", "--spin-format", "frames,apng,html", "--size", "160x120", "-o",
                        win(out("spin3/all.png")))
    rc1, _, _ = render("--spin", "6", "--size", "160x120", "-o", win(out("spin1/all.png")))
    with open(out("spin3/all.png"), "rb") as f:
        apng = f.read()
    same = all(pixels_apart(out(f"spin3/all-0{i}.png"), out(f"spin1/all-0{i}.png"), "0%") == 0 for i in range(1, 7))
    check(rc == 0 and rc1 == 0 and same and apng.count(b"fcTL") == 6 and os.path.getsize(out("spin3/all.html")) > 0 and
          "8 of 8 pictures" in err, f"--spin-format frames,apng,html writes all three from one drawing ({err.strip()[-80:]})")

    # A folder that is not there is made, with the folders above it.
    rc, _, err = render("-o", win(out("made/deeper/made.png")))
    check(rc == 0 and os.path.exists(out("made/deeper/made.png")), f"a missing output folder is made ({err.strip()})")

    # A name in any script.
    name = out("коробка 箱.png")
    rc, stdout, _ = render("-o", win(name))
    check(rc == 0 and os.path.exists(name) and Image(name).width > 0, "a Cyrillic and CJK output name is written")

    # The start scene's white box face-on against its white background is there, though every
    # pixel is white; the camera inside the box is one answer, opaque or transparent.
    rc, _, err = render("--rotation1", "90", "--rotation2", "90", "--size", "200x200", "-o", win(out("white.png")))
    check(rc == 0 and os.path.exists(out("white.png")), f"a white box face-on on white is written ({err.strip()})")
    for transparent in ([], ["--background", "transparent"]):
        rc, _, err = render("--width", "300", "--height", "300", "--depth", "300", "--size", "200x200", *transparent,
                            "-o", win(out("inside.png")))
        check(rc == 1 and "the camera is inside it" in err and not os.path.exists(out("inside.png")),
              f"the camera inside the box{' (transparent)' if transparent else ''}: said, nothing written ({err.strip()})")

    # Bad input: a message naming what is wrong, a status, and no file.
    readonly = out("locked")
    os.makedirs(readonly, exist_ok=True)
    os.chmod(readonly, stat.S_IRUSR | stat.S_IXUSR)
    text = out("text.png")
    with open(text, "w") as f:
        f.write("not a picture")
    cases = [
        (["--widht", "3", "-o", win(out("bad1.png"))], 2, "unknown option --widht"),
        (["--zoom", "1300", "-o", win(out("bad2.png"))], 2, "from 150 to 1200"),
        (["--back-colour", "blue", "-o", win(out("bad3.png"))], 2, "#RRGGBB"),
        (["-o", win(out("bad4.bmp"))], 2, ".png, .jpg or .jpeg"),
        (["--size", "0x10", "-o", win(out("bad5.png"))], 2, "at least 1"),
        (["--size", "40000x100", "-o", win(out("bad6.png"))], 2, "at most"),
        (["-o", win(out("text.png/under a file/bad7.png"))], 1, "cannot be made: a file has that name"),
        (["--front", win(out("missing.png")), "-o", win(out("bad8.png"))], 1, "not found"),
        (["--left", win(text), "-o", win(out("bad9.png"))], 1, "not a picture"),
        (["--background", "transparent", "-o", win(out("bad10.jpg"))], 2, "JPEG has no transparency"),
    ]
    if os.geteuid() != 0:  # root writes into a read-only folder anyway
        cases.append((["-o", win(os.path.join(readonly, "bad11.png"))], 1, "cannot write"))
    for args, status, says in cases:
        rc, _, err = render(*args)
        target = args[args.index("-o") + 1]
        written = [n for n in os.listdir(OUT) if n.startswith("bad") or n.startswith("~zelmora")]
        check(rc == status and says in err and not written,
              f"{' '.join(args[:2])}: status {rc}, \"{err.strip()}\", nothing written")
    os.chmod(readonly, stat.S_IRWXU)

    # A jobs file with one bad line: the others are rendered, the status says some failed.
    jobs = out("jobs.jsonl")
    with open(jobs, "w", encoding="utf-8") as f:
        f.write('{"front": "face.png", "o": "job-1.png", "template": "3-sided Cube, Left Rotation"}\n')
        f.write('{"front": "face.png", "o": "job-2.png", "width": 999}\n')
        f.write('\n')
        f.write('{"front": "face.png", "o": "job-3.jpg", "rotation1": 45, "size": "300x200"}\n')
    rc, stdout, err = render("--jobs", win(jobs))
    check(rc == 1, f"a batch with a failed job ends with status 1 ({rc})")
    check("[2/3] line 2: --width \"999\"" in err, f"the bad line is reported with its number ({err.strip()})")
    check(os.path.exists(out("job-1.png")) and os.path.exists(out("job-3.jpg")) and not os.path.exists(out("job-2.png")),
          "the other jobs are rendered")
    check(Image(out("job-3.jpg")).width == 300 and "2 of 3 pictures" in err, "each with its own size; a summary at the end")

    # A spin's frames take part in the duplicate check: a still writing one of them is refused
    # and the frame kept. A jobs file that opens but cannot be read is a usage error, not an
    # empty batch. Options that do nothing are named in one note.
    os.makedirs(out("spins"), exist_ok=True)
    with open(out("spins/jobs.jsonl"), "w") as f:
        f.write('{"o": "s.png", "spin": 2, "size": "120x90"}\n{"o": "s-01.png", "size": "120x90"}\n')
    rc, stdout, err = render("--jobs", win(out("spins/jobs.jsonl")))
    check(rc == 1 and "line 2: -o" in err and "line 1 writes this picture already" in err and
          stdout.count("s-01.png") == 1, f"a still onto a spin's frame is refused, the frame written once ({err.strip()})")
    rc, _, err = render("--jobs", "Z:\\proc\\self\\mem")
    check(rc == 2 and "cannot be read" in err and "pictures" not in err,
          f"an unreadable jobs file is a usage error with the reason ({err.strip()})")
    rc, _, err = render("--spin-delay", "50", "--trim", "6x9in", "--size", "60x60", "-o", win(out("spins/idle.png")))
    notes = [line for line in err.splitlines() if "do nothing" in line]
    check(rc == 0 and len(notes) == 1 and "--spin-delay" in notes[0] and "--trim" in notes[0],
          f"options that do nothing are named in one note ({notes})")
    with open(out("spins/slow.zelmora"), "w") as f:
        f.write('{"zelmora-scene": 1, "supersample": 2, "size": "60x60"}\n')
    rc, _, err = render("--scene", win(out("spins/slow.zelmora")), "--spin", "2", "-o", win(out("spins/slow.png")))
    check(rc == 0 and "supersampling 2 x 2 for 2 pictures" in err and "size 60x60" in err,
          f"a scene's supersampling and size in force for a spin are said ({err.strip().splitlines()[0]})")

    # Hostile jobs files: a name the system would cut, two lines writing one picture, a
    # device name, a line too long, UTF-16 from a Windows editor, an endless file, and a
    # temporary file a killed run left behind.
    os.makedirs(out("hostile"), exist_ok=True)
    stale = out("hostile/~zelmora-7ffffff0-1.tmp")
    with open(stale, "wb") as f:
        f.write(b"left by a run killed while writing")
    with open(out("hostile/jobs.jsonl"), "w", encoding="utf-8") as f:
        f.write('{"o": "m11\\u0000evil.png"}\n')
        f.write('{"o": "dup.png", "rotation1": 10}\n')
        f.write('{"o": "other.png"}\n')
        f.write('{"o": "./DUP.png", "rotation1": 20}\n')
        f.write('{"o": "CON.png"}\n')
        f.write('{"o": "long.png", "front": "' + "x" * (2 << 20) + '"}\n')
        f.write('{"o": "last.png"}\n')
    rc, stdout, err = render("--jobs", win(out("hostile/jobs.jsonl")))
    names = sorted(os.listdir(out("hostile")))
    check(rc == 1 and "line 1: -o \"m11\\u0000evil.png\": control characters are not allowed" in err,
          f"a name with a NUL is refused with its line ({err.strip()})")
    check("line 4: -o" in err and "line 2 writes this picture already" in err and stdout.count("dup.png") == 1,
          "the second line naming the same picture fails with both lines named; the first writes it once")
    check("line 5:" in err and "device" in err, "a device name is refused with its line")
    check("line 6: the line is longer than 1 MB" in err, "a line too long is refused with its number")
    check(names == ["dup.png", "jobs.jsonl", "last.png", "other.png"],
          f"the other pictures are written, the stale temporary file is gone, nothing else ({names})")
    with open(out("hostile/utf16.jsonl"), "w", encoding="utf-16") as f:  # with its byte order mark
        f.write('{"o": "wide-1.png"}\r\n{"o": "wide-2.png", "template": "3-sided Cube, Left Rotation"}\r\n')
    rc, _, err = render("--jobs", win(out("hostile/utf16.jsonl")))
    check(rc == 0 and os.path.exists(out("hostile/wide-2.png")), f"a UTF-16 jobs file is read ({err.strip()})")
    # A link to a folder is that folder: the second line writing through it is refused.
    os.makedirs(out("hostile/real"), exist_ok=True)
    os.symlink(out("hostile/real"), out("hostile/outlink"))
    with open(out("hostile/linked.jsonl"), "w") as f:
        f.write('{"o": "real/s.png"}\n{"o": "outlink/s.png", "rotation1": 50}\n')
    rc, _, err = render("--jobs", win(out("hostile/linked.jsonl")))
    check(rc == 1 and "line 2: -o" in err and "line 1 writes this picture already" in err,
          f"a folder reached through a link is the same folder ({err.strip()})")
    # Devices are never opened, and a terminal never gets a stranger's escape sequence.
    rc, _, err = render("--front", "COM1", "-o", win(out("hostile/com.png")))
    check(rc == 1 and "COM1: it names a device" in err, f"a device as a face picture is refused ({err.strip()})")
    with open(out("hostile/network.jsonl"), "w") as f:
        f.write('{"front": "\\\\\\\\host\\\\share\\\\a.png", "o": "unc.png"}\n')
    rc, _, err = render("--jobs", win(out("hostile/network.jsonl")))
    check(rc == 1 and "another computer" in err and not os.path.exists(out("hostile/unc.png")),
          f"a jobs file's picture on another computer is not opened ({err.strip()})")
    rc, _, err = render("--jobs", "nul.jsonl")
    check(rc == 2 and "device" in err, f"a device as the jobs file is a usage error, not an empty batch ({err.strip()})")
    with open(out("hostile/escape.jsonl"), "w") as f:
        f.write('{"\\u001b[2J\\u009b2J": 1, "o": "esc.png"}\n')
    r = subprocess.run(["wine", EXE, "--jobs", win(out("hostile/escape.jsonl"))], capture_output=True)
    check(b"\x1b" not in r.stderr and b"\xc2\x9b" not in r.stderr and b"\\x1b[2J\\x9b2J" in r.stderr,
          f"control characters in a message are shown escaped ({r.stderr!r})")
    rc, _, err = render("--jobs", "Z:\\dev\\zero")
    check(rc == 2 and "device" in err, f"an endless device is refused, not read ({err.strip()})")

    # Ctrl+C during a batch: the picture in hand is finished, the summary printed, status 130.
    with open(out("hostile/many.jsonl"), "w") as f:
        for i in range(300):
            f.write(f'{{"o": "many-{i}.png", "size": "1600x1600", "rotation1": {i}}}\n')
    batch = subprocess.Popen(["wine", EXE, "--jobs", win(out("hostile/many.jsonl"))], stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, text=True)
    written = [batch.stdout.readline() for _ in range(5)]
    subprocess.run(["pkill", "-INT", "-f", "many.jsonl"])
    rest, err = batch.communicate(timeout=120)
    written = [w.strip() for w in written + rest.splitlines() if w.strip()]
    files = [n for n in os.listdir(out("hostile")) if n.startswith("many-")]
    check(batch.returncode == 130 and "stopped by Ctrl+C" in err and len(files) == len(written) < 300,
          f"Ctrl+C stops the batch with its summary and status 130 ({err.strip().splitlines()[-1]})")
    check(not any(n.startswith("~zelmora") for n in os.listdir(out("hostile"))), "no temporary file is left")

    # A batch split over three processes by GNU parallel: every picture written once, by one
    # of them, and equal to the single process's.
    for folder in ("single", "sharded"):
        os.makedirs(out(folder), exist_ok=True)
        with open(out(f"{folder}/jobs.jsonl"), "w") as f:
            for i in range(7):
                f.write(f'{{"rotation1": {40 * i}, "size": "160x120", "o": "pic-{i}.png"}}\n')
    rc, _, _ = render("--jobs", win(out("single/jobs.jsonl")))
    shards = subprocess.run(["parallel", "--will-cite", "--quote", "--tag", "wine", EXE, "--jobs", win(out("sharded/jobs.jsonl")),
                             "--shard", "{}/3", ":::", "1", "2", "3"], capture_output=True, text=True)
    written = sorted(line.split("\t")[1].rsplit("\\", 1)[1] for line in shards.stdout.splitlines())
    expected = sorted(f"pic-{i}.png" for i in range(7))
    check(rc == 0 and shards.returncode == 0 and written == expected,
          f"three shards wrote each of the 7 pictures exactly once ({written})")
    counts = sorted(int(n) for n in re.findall(r"(\d+) of \d+ pictures", shards.stderr))
    check(counts == [2, 2, 3], f"each shard counts its own part ({counts})")
    same = all(pixels_apart(out(f"single/{n}"), out(f"sharded/{n}"), "0%") == 0 for n in expected)
    check(same, "the sharded pictures equal the single process's")
    rc, _, err = render("--shard", "4/3", "--jobs", win(out("single/jobs.jsonl")))
    check(rc == 2 and "--shard" in err, f"a shard outside its count is a usage error ({err.strip()})")

    # A task run again (--resume): what an earlier run finished is kept, untouched; a picture
    # cut short or empty is made again. Outside an array job, --shard auto says what it looked for.
    with open(out("single/pic-0.png"), "r+b") as f:
        f.truncate(os.path.getsize(out("single/pic-0.png")) // 2)
    open(out("single/pic-1.png"), "wb").close()
    stamps = {n: os.stat(out(f"single/{n}")).st_mtime_ns for n in expected[2:]}
    rc, stdout, err = render("--jobs", win(out("single/jobs.jsonl")), "--resume")
    remade = sorted(line.rsplit("\\", 1)[1] for line in stdout.splitlines())
    check(rc == 0 and remade == ["pic-0.png", "pic-1.png"] and "7 of 7 pictures" in err and "5 kept" in err,
          f"--resume makes again only the cut-short and the empty picture ({remade}; {err.strip().splitlines()[-1]})")
    check(all(os.stat(out(f"single/{n}")).st_mtime_ns == t for n, t in stamps.items()) and
          all(pixels_apart(out(f"single/{n}"), out(f"sharded/{n}"), "0%") == 0 for n in expected[:2]),
          "the finished pictures are left untouched, the others made whole")
    # Kept only when it is the picture this job would write: the catalogue changed, a JPEG cut
    # short and closed again, a spin of another count, a PNG of zeros with an end chunk.
    with open(out("single/changed.jsonl"), "w") as f:
        f.write('{"size": "160x120", "background": "#FF0000", "o": "pic-2.png"}\n'
                '{"rotation1": 120, "size": "160x120", "o": "pic-3.png"}\n'
                '{"size": "96x96", "o": "photo.jpg"}\n')
    render("--size", "96x96", "-o", win(out("single/photo.jpg")))
    with open(out("single/photo.jpg"), "rb") as f:
        photo = f.read()
    with open(out("single/photo.jpg"), "wb") as f:
        f.write(photo[:len(photo) // 2] + b"\xff\xd9")
    with open(out("single/pic-3.png"), "wb") as f:
        f.write(bytes(108) + bytes.fromhex("0000000049454e44ae426082"))
    rc, stdout, err = render("--jobs", win(out("single/changed.jsonl")), "--resume")
    remade = sorted(line.rsplit("\\", 1)[1] for line in stdout.splitlines())
    check(rc == 0 and remade == ["photo.jpg", "pic-2.png", "pic-3.png"] and Image(out("single/pic-2.png")).width == 160,
          f"--resume remakes a picture whose job changed, a JPEG closed after a cut, a PNG of zeros ({remade})")
    render("--spin", "4", "--size", "48x48", "-o", win(out("spin-resume/box.png")))
    rc, stdout, err = render("--spin", "8", "--size", "48x48", "-o", win(out("spin-resume/box.png")), "--resume")
    check(rc == 0 and len(stdout.splitlines()) == 8, f"a spin of 4 resumed as a spin of 8 draws all 8 ({err.strip()[-60:]})")
    rc, stdout, err = render("--spin", "8", "--size", "48x48", "-o", win(out("spin-resume/box.png")), "--resume")
    check(rc == 0 and stdout == "" and "8 kept" in err, f"and run again keeps all 8 ({err.strip()[-60:]})")

    # A set: kept while every product's cover is the same file, remade when the second's changes.
    os.makedirs(out("set-resume"), exist_ok=True)
    for name, colour in (("a.png", "#C02020"), ("b.png", "#2040C0")):
        subprocess.run(["convert", "-size", "126x90", f"xc:{colour}", out(f"set-resume/{name}")], check=True)
    series = ("--shape", "paperback", "--covers", win(out("set-resume/a.png")) + "," + win(out("set-resume/b.png")),
              "--size", "64x48", "-o", win(out("set-resume/series.png")))
    render(*series)
    rc, stdout, err = render(*series, "--resume")
    kept = rc == 0 and stdout == ""
    subprocess.run(["convert", "-size", "126x90", "xc:#20C040", out("set-resume/b.png")], check=True)
    rc, stdout, err = render(*series, "--resume")
    check(kept and rc == 0 and stdout.strip().endswith("series.png"),
          f"--resume keeps a set's picture, and remakes it when a product's cover changes ({kept}, {stdout.strip()})")

    env = {k: v for k, v in os.environ.items() if not k.startswith(("SLURM_", "JOB_COMPLETION", "AWS_BATCH"))}
    r = subprocess.run(["wine", EXE, "--jobs", win(out("single/jobs.jsonl")), "--shard", "auto"], capture_output=True,
                       text=True, env=env)
    check(r.returncode == 2 and "SLURM_ARRAY_TASK_ID" in r.stderr and "JOB_COMPLETION_INDEX" in r.stderr,
          f"--shard auto outside an array job is a usage error naming the variables ({r.stderr.strip()})")

    books()
    nothing_in_silence()
    memory_follows_the_picture()
    grazing_light()
    progress_on_a_terminal()

    rc, stdout, _ = render("--help")
    check(rc == 0 and "1..300, default 80" in stdout and "3-sided Cube, Left Rotation" in stdout,
          "--help lists ranges, defaults and the template names")
    rc, stdout, _ = render("--version")
    check(rc == 0 and stdout.strip() == "zelmora-render 1.1", f"--version ({stdout.strip()})")


def books():
    # A print-ready 6 x 9 in cover for 300 pages of white paper at 100 dpi: 0.125 in bleed all
    # round, back, a 0.6756 in spine, front (1293 x 925 pixels).
    cover = out("cover-6x9-300.png")
    subprocess.run([CONVERT, "-size", "1293x925", "xc:#FF00FF", "-fill", "#2040C0", "-draw", "rectangle 12,12 612,912",
                    "-fill", "#E0C020", "-draw", "rectangle 613,12 680,912", "-fill", "#20A040",
                    "-draw", "rectangle 681,12 1280,912", cover], check=True)
    book = ["--shape", "paperback", "--trim", "6x9in", "--pages", "300", "--size", "400x400", "--fit", "5"]
    rc, _, err = render(*book, "--cover", win(cover), "-o", win(out("paperback.png")))
    magenta = subprocess.run([CONVERT, out("paperback.png"), "-fuzz", "25%", "-fill", "black", "+opaque", "#FF00FF",
                              "-format", "%[fx:mean*w*h]", "info:"], capture_output=True, text=True).stdout
    check(rc == 0 and "note" not in err and float(magenta) == 0,
          f"a paperback from its print-ready cover, no bleed in sight ({err.strip()}; {magenta} bleed pixels)")
    rc, _, err = render(*book[:4], "--pages", "400", *book[6:], "--cover", win(cover), "-o", win(out("spine.png")))
    check(rc == 0 and "0.680 in" in err and "0.901 in" in err and os.path.exists(out("spine.png")),
          f"a cover whose spine is not the pages' is drawn, the two widths said ({err.strip()})")
    text = out("cover.txt")
    with open(text, "w") as f:
        f.write("not a picture\n")
    square = out("square.png")
    subprocess.run([CONVERT, "-size", "600x600", "xc:#20A040", square], check=True)
    for path, why in ((text, "not a picture"), (square, "is not a cover for this book")):
        rc, _, err = render(*book, "--cover", win(path), "-o", win(out("refused.png")))
        check(rc != 0 and why in err and not os.path.exists(out("refused.png")),
              f"--cover {os.path.basename(path)}: refused, nothing written ({err.strip()})")
    rc, _, err = render("--cover", win(cover), "-o", win(out("box-with-cover.png")))
    check(rc == 0 and "a box wraps no cover" in err, f"a cover on a box is drawn without it, said ({err.strip()})")


def nothing_in_silence():
    """What does nothing, goes nowhere or is no name is said, never dropped or written."""
    os.makedirs(out("root/in"), exist_ok=True)
    small = ["--size", "48x48"]
    rc, _, err = render(*small, "--output-root", win(out("root")), "-o", win(out("root/in/../../escaped.png")))
    check(rc == 2 and "outside --output-root" in err and not os.path.exists(out("escaped.png")),
          f"a picture outside --output-root is refused, nothing written ({err.strip()})")
    with open(out("root/jobs.jsonl"), "w") as f:
        f.write('{"o": "in/kept.png"}\n{"o": "../escaped.png"}\n{"o": "%s"}\n' % win(out("elsewhere.png")).replace("\\", "\\\\"))
    rc, _, err = render(*small, "--output-root", win(out("root")), "--jobs", win(out("root/jobs.jsonl")))
    check(rc == 1 and os.path.exists(out("root/in/kept.png")) and err.count("outside --output-root") == 2 and
          not os.path.exists(out("escaped.png")) and not os.path.exists(out("elsewhere.png")),
          f"a jobs line writing outside --output-root fails, the others are written ({err.strip()})")

    rc, _, err = render(*small, "--light-azimuth", "90", "--quality", "50", "--model-texture-size", "64",
                        "-o", win(out("idle.png")))
    check(rc == 0 and all(f"--{o}" in err for o in ("light-azimuth", "quality", "model-texture-size")),
          f"studio values in the eye's light, JPEG quality for a PNG, a model's texture size for a picture are said ({err.strip()})")
    rc, _, err = render("--shape", "paperback", "--width", "100", "--edge-radius", "5", *small, "-o", win(out("idle-book.png")))
    check(rc == 0 and "--width" in err and "--edge-radius" in err, f"box values on a book are said ({err.strip()})")
    rc, _, err = render(*small, "--supersample", "2", "--background", "transparent", "-o", win(out("idle.glb")))
    check(rc == 0 and "--size" in err and "--supersample" in err and "--background" in err,
          f"picture options for a .glb are said ({err.strip()})")

    rc, _, err = render("--width", "1", "--height", "1", "--depth", "1", "--size", "64x64", "-o", win(out("speck.png")))
    check(rc == 1 and "out of view" in err and not os.path.exists(out("speck.png")),
          f"a box too small to show is said as out of view, nothing written ({err.strip()})")

    rc, _, err = render("--help", "--bogus")
    check(rc == 2 and "unknown option --bogus" in err, f"an unknown option is said to be unknown ({err.strip()})")
    rc, _, err = render("-o")
    check(rc == 2 and err.startswith("zelmora-render: -o needs"), f"-o is called -o ({err.strip()})")
    rc, _, err = render("--scene", win(OUT), "-o", win(out("x.png")))
    check(rc == 2 and "a folder, not a scene file" in err, f"a folder as the scene is said to be one ({err.strip()})")
    with open(out("null.jsonl"), "w", encoding="utf-8") as f:
        f.write('{"light": null, "o": "n.png"}\n{"size": "32x32", "o": "a\u202egnp.png"}\n')
    rc, _, err = render("--jobs", win(out("null.jsonl")))
    check(rc == 1 and '"light": null is not a value' in err and "\\u202e" in err and "\u202e" not in err,
          f"null is named; a direction override is shown escaped, never reordering the line ({err.strip()})")

    # Two hard links to one file are one picture: the second line is refused.
    with open(out("linked-a.png"), "wb") as f:
        f.write(b"old")
    if os.path.exists(out("linked-b.png")):
        os.remove(out("linked-b.png"))
    os.link(out("linked-a.png"), out("linked-b.png"))
    with open(out("linked.jsonl"), "w") as f:
        f.write('{"size": "32x32", "o": "linked-a.png"}\n{"size": "32x32", "o": "linked-b.png"}\n')
    rc, _, err = render("--jobs", win(out("linked.jsonl")))
    check(rc == 1 and "writes this picture already" in err, f"two hard links to one file are one output ({err.strip()})")


def memory_follows_the_picture():
    """Artwork far larger than a picture can show is held at what the picture shows: a
    catalogue's task fits its memory limit whatever its artwork."""
    faces = []
    for face, colour in (("front", "#C03020"), ("left", "#2040C0"), ("top", "#20A040")):
        faces += [f"--{face}", win(out(f"big-{face}.png"))]
        subprocess.run([CONVERT, "-size", "8192x8192", f"xc:{colour}", "-fill", "white", "-draw",
                        "circle 4096,4096 4096,200", out(f"big-{face}.png")], check=True)
    r = subprocess.run(["/usr/bin/time", "-f", "%M", "wine", EXE, *faces, "--size", "512x512",
                        "-o", win(out("big-faces.png"))], capture_output=True, text=True)
    peak_mb = int(r.stderr.strip().splitlines()[-1]) // 1024
    # Held whole, the three faces and their textures took 3.3 GB.
    check(r.returncode == 0 and peak_mb < 1500,
          f"three 8192 x 8192 faces in a 512 x 512 picture take {peak_mb} MB at most (each alone is 256 MB decoded)")
    red = subprocess.run([CONVERT, out("big-faces.png"), "-fuzz", "10%", "-fill", "black", "+opaque", "#C03020",
                          "-format", "%[fx:mean*w*h]", "info:"], capture_output=True, text=True).stdout
    check(float(red or 0) > 1000, f"and the faces show their artwork ({red} red pixels)")


def grazing_light():
    """A key light along the floor casts the same solid shadow as one a little higher: not a
    paler one, striped and dithered."""
    def shadow(elevation):
        path = out(f"graze-{elevation}.png")
        render("--light", "studio", "--light-elevation", str(elevation), "--light-samples", "1", "--shadow", "60",
               "--size", "512x512", "-o", win(path))
        raw = subprocess.run([CONVERT, path, "-crop", "110x200+0+200", "+repage", "-colorspace", "gray", "-depth", "8",
                              "gray:-"], capture_output=True).stdout
        rows = [raw[r * 110:(r + 1) * 110] for r in range(200)]
        dark = [v for row in rows for v in row if v < 200]
        steps = [abs(row[i + 1] - row[i]) for row in rows for i in range(109) if row[i] < 200]
        return sum(dark) / max(1, len(dark)), sum(steps) / max(1, len(steps))
    (flat, flat_steps), (higher, _) = shadow(0), shadow(10)
    # Striped, it was 66 levels paler than at 10 degrees, its neighbours 6 levels apart.
    check(abs(flat - higher) < 15 and flat_steps < 4,
          f"a grazing key light's shadow is solid ({flat:.0f} against {higher:.0f} at 10 degrees; "
          f"neighbours {flat_steps:.1f} levels apart)")


def progress_on_a_terminal():
    """A studio picture's drawings counted on a terminal (scripts/render.sh says when standard
    error is one), the line rubbed out before the next; nothing of it in a log."""
    args = ["--light", "studio", "--size", "96x96", "-o", win(out("progress.png"))]
    r = subprocess.run(["wine", EXE, *args], capture_output=True, env=dict(os.environ, ZELMORA_PROGRESS="1"))
    err = r.stderr.decode("utf-8", "replace")
    counted = re.findall(r"progress\.png: drawing (\d+) of (\d+)\.\.\.\r", err)
    check(r.returncode == 0 and counted and counted[0][0] == "1" and counted[-1][0] == counted[-1][1] != "1" and
          re.search(r"\.\.\. *\r\r +\r\[1/1\] ", err),
          f"a terminal sees each drawing of a studio picture counted, then the line cleared ({err[-120:]!r})")
    rc, _, err = render(*args)
    check(rc == 0 and "drawing" not in err, f"a log has none of it ({err.strip()!r})")


run(main)
