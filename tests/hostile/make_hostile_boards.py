#!/usr/bin/env python3
"""Writes a corpus of malformed and hostile boards into a folder, with a manifest.

Usage: make_hostile_boards.py FOLDER

Every board lands in FOLDER (pictures and links beside it), and FOLDER/manifest.tsv lists one board
a line: the file name (as bytes, escaped with backslashes where not printable ASCII), what the
player must do with it ("refuse", "fault": opens but has a fault that check must report, "open":
opens with nothing to report) and a short description. Generated at test time, so no hostile blob
lives in the repository.
"""
import os
import random
import struct
import sys
import zlib

CRLF = b"\r\n"


def board(grid=(2, 2), cells=None, header=b"[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n", extra=b"", menu=True):
    """A board as the player writes them, with optional cells {n: {key: value}} and extra text."""
    out = bytearray(header)
    out += b"[Position]\r\nLeft=0\r\nTop=0\r\nWidth=600\r\nHeight=400\r\n"
    if grid is not None:
        out += b"[Grid]\r\nColumns=%s\r\nRows=%s\r\n" % (str(grid[0]).encode(), str(grid[1]).encode())
    if menu:
        out += b"[Menu Options 2]\r\nShow Button Bar=0\r\nShow Message Bar=0\r\n"
    for n, keys in (cells or {}).items():
        out += b"[Cell %d]\r\n" % n
        for k, v in keys.items():
            out += k + b"=" + v + CRLF
    out += extra
    return bytes(out)


def png(width, height, rows=None, corrupt_crc=False):
    def chunk(kind, data):
        crc = zlib.crc32(kind + data) & 0xFFFFFFFF
        if corrupt_crc:
            crc ^= 0xDEADBEEF
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", crc)

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0)  # 8-bit grey
    if rows is None:
        rows = zlib.compress(b"\x00" * (width + 1) * min(height, 64), 9)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", rows) + chunk(b"IEND", b"")


def png_bomb(side, rows):
    """A grey PNG that says side x side zero pixels; only the first rows are in its stream."""
    z = zlib.compressobj(9)
    row = b"\x00" * (side + 1)
    data = bytearray()
    for _ in range(rows):
        data += z.compress(row)
    data += z.flush()
    return png(side, side, bytes(data))


def bmp(width, height, bits=24, offset=54, body=None):
    row = ((width * bits + 31) // 32) * 4 if width > 0 and bits > 0 else 0
    pixels = body if body is not None else b"\x80" * min(row * abs(height), 1 << 16)
    header = b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def jpeg_header(width, height):
    """Start of a baseline JPEG whose frame header declares width x height, then nothing useful."""
    soi = b"\xff\xd8"
    app0 = b"\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"
    dqt = b"\xff\xdb\x00\x43\x00" + bytes([1] * 64)
    sof = b"\xff\xc0\x00\x0b\x08" + struct.pack(">HH", height, width) + b"\x01\x01\x11\x00"
    return soi + app0 + dqt + sof


class Corpus:
    def __init__(self, folder):
        self.folder = os.fsencode(folder)
        self.rows = []

    def file(self, name, data):
        path = os.path.join(self.folder, name if isinstance(name, bytes) else name.encode())
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(data)
        return path

    def add(self, name, data, expect, what):
        name = name if isinstance(name, bytes) else name.encode()
        if data is not None:
            self.file(name, data)
        self.rows.append((name, expect, what))

    def manifest(self):
        with open(os.path.join(self.folder, b"manifest.tsv"), "wb") as out:
            for name, expect, what in self.rows:
                escaped = name.decode("ascii", "backslashreplace") if name.isascii() else name.decode("latin-1").encode("ascii", "backslashreplace").decode()
                out.write(("%s\t%s\t%s\n" % (escaped, expect, what)).encode())


def one_cell(picture=None, link=None, read=None, special=None, caption=b"Hola"):
    keys = {b"Caption": caption}
    if picture is not None:
        keys[b"Picture"] = picture
    if link is not None:
        keys[b"Link"] = link
    if read is not None:
        keys[b"Read"] = read
    if special is not None:
        keys[b"Special Function"] = special
    return board((1, 1), {1: keys})


def build(c):
    rnd = random.Random(13)
    good = png(40, 40)
    c.file("ok.png", good)

    # Files that are not boards at all.
    c.add("empty.qdx", b"", "refuse", "an empty file")
    c.add("blanks.qdx", b"\r\n\r\n   \r\n", "refuse", "only blank lines")
    for i in range(6):
        c.add("binary%d.qdx" % i, bytes(rnd.getrandbits(8) for _ in range(1 << (8 + i))), "refuse", "random bytes")
    c.add("nul-only.qdx", b"\0" * 4096, "refuse", "only NUL bytes")
    c.add("nul-in-header.qdx", board().replace(b"[Quadrix]", b"[Quad\0rix]"), "refuse", "NUL inside the header name")
    c.add("nul-in-value.qdx", board((2, 2), {1: {b"Caption": b"Ho\0la", b"Read": b"\0\0\0"}}), "open", "NUL bytes inside values")
    c.add("nul-in-key.qdx", board((2, 2), {1: {b"Capt\0ion": b"x"}}), "open", "NUL inside a key")
    c.add("utf16.qdx", "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Grid]\r\nColumns=2\r\nRows=2\r\n".encode("utf-16"), "refuse", "a UTF-16 file")
    c.add("no-header.qdx", board(header=b""), "refuse", "no [Quadrix] section")
    c.add("other-program.qdx", board(header=b"[Quadrix]\r\nName=Quadrix\r\nautor=Other\r\n"), "refuse", "a header of another program")
    c.add("pdf.qdx", b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n" + bytes(rnd.getrandbits(8) for _ in range(2000)), "refuse", "a PDF renamed")
    c.add("png-as-board.qdx", good, "refuse", "a picture renamed as a board")
    c.add("not-a-board.txt", board(), "refuse", "a good board without the .qdx extension")

    # Huge lines and huge files.
    c.add("line-10mb.qdx", b"A" * (10 << 20), "refuse", "one line of 10 MB and nothing else")
    c.add("value-10mb.qdx", board((1, 1), {1: {b"Caption": b"x" * (10 << 20)}}), "open", "a 10 MB caption")
    c.add("key-10mb.qdx", board((1, 1), {1: {b"K" * (10 << 20): b"1"}}), "open", "a 10 MB key")
    c.add("section-10mb.qdx", board(extra=b"[" + b"S" * (10 << 20) + b"]\r\nA=1\r\n"), "open", "a 10 MB section name")
    c.add("no-newline-10mb.qdx", board() + b"X=" + b"y" * (10 << 20), "open", "a 10 MB last line without an end")
    many = bytearray(board((21, 21)))
    for n in range(1, 10001):
        many += b"[Cell %d]\r\nCaption=C%d\r\nRead=R%d\r\n" % (n, n, n)
    c.add("sections-10000.qdx", bytes(many), "fault", "10,000 cell sections, most beyond the grid")
    keys = bytearray(board((2, 2)))
    keys += b"[Cell 1]\r\n" + b"".join(b"Key%d=%d\r\n" % (i, i) for i in range(100000))
    c.add("keys-100000.qdx", bytes(keys), "open", "100,000 keys in one cell")
    c.add("lines-cr-only.qdx", board().replace(b"\r\n", b"\r"), "open", "lines ended by CR alone")
    c.add("lines-lf-only.qdx", board().replace(b"\r\n", b"\n"), "open", "lines ended by LF alone")
    c.add("utf8-bom.qdx", b"\xef\xbb\xbf" + board(), "refuse", "a UTF-8 byte-order mark before the header")

    # Columns and rows.
        # "refuse": the player says the grid does not fit; "fault": it opens with 1 (a malformed or
    # out-of-range size) or with no cells (a negative size), which check reports.
    for cols, rows, expect in [(0, 2, "refuse"), (-1, 2, "fault"), (22, 2, "refuse"), (2 ** 31, 2, "fault"),
                               (2 ** 31 - 1, 2, "refuse"), (2 ** 32 + 2, 2, "fault"), (-(2 ** 31), 2, "fault"),
                               (2, 0, "refuse"), (2, -1, "fault"), (2, 22, "refuse"), (2, 2 ** 31, "fault"),
                               (21, 21, "open"), (1, 1, "open"), ("abc", 2, "fault"), ("1e9", 2, "fault"),
                               (" 3 ", 3, "open"), ("0x10", 2, "open"), ("99999999999999999999999", 2, "fault"),
                               ("", "", "fault"), ("+2", 2, "open"), ("2.5", 2, "fault"), ("-0", 2, "refuse")]:
        name = "grid-%s-%s.qdx" % (str(cols).strip().replace(" ", "_") or "none", str(rows).strip() or "none")
        c.add(name, board((cols, rows)), expect, "grid of %r x %r" % (cols, rows))
    c.add("grid-missing.qdx", board(None), "fault", "no [Grid] section")

    # Absurd numbers elsewhere.
    absurd = [b"-2147483648", b"2147483647", b"99999999999999999999", b"-1", b"1e308", b"NaN", b"0x7fffffff", b"--5"]
    for i, value in enumerate(absurd):
        extra = (b"[Grid Font]\r\nSize=%s\r\nColor=%s\r\n" % (value, value) +
                 b"[Cell 1]\r\nFrame cell color=%s\r\nBackground color=%s\r\nCaption=x\r\n" % (value, value))
        data = board((2, 2), extra=extra).replace(b"Left=0", b"Left=" + value).replace(b"Width=600", b"Width=" + value)
        c.add("numbers-%d.qdx" % i, data, "open", "position, colours and font size %s" % value.decode())
    c.add("menu-options-absurd.qdx", board((2, 2), extra=b"[Menu Options 2]\r\nMenuQdxPosition=999\r\nScan Speed=-5\r\n"),
          "open", "absurd options")

    # Duplicates.
    c.add("dup-grid.qdx", board((2, 2), extra=b"[Grid]\r\nColumns=50\r\nRows=50\r\n"), "open", "[Grid] twice: the first wins")
    c.add("dup-keys.qdx", board((2, 2)).replace(b"Rows=2\r\n", b"Rows=2\r\nRows=99\r\nColumns=-3\r\n"), "open", "keys twice: the first wins")
    c.add("dup-cell.qdx", board((2, 2), {1: {b"Caption": b"A"}}, extra=b"[Cell 1]\r\nCaption=B\r\n[cell 1]\r\nCaption=C\r\n"), "open", "[Cell 1] three times")
    c.add("dup-header.qdx", b"[Quadrix]\r\nName=Other\r\n" + board(), "refuse", "two headers, the first of another program")
    c.add("unclosed-section.qdx", board() + b"[Cell 1\r\nCaption=x\r\n[\r\n]\r\n[]\r\n", "open", "broken section lines")
    c.add("cell-numbers.qdx", board((2, 2), extra=b"[Cell -1]\r\nCaption=x\r\n[Cell 0]\r\nCaption=y\r\n[Cell 99999999999]\r\nCaption=z\r\n"),
          "fault", "cell sections with absurd numbers")

    # Pictures.
    c.file("pics/text.png", b"this is not a picture\n" * 10)
    c.file("pics/text.jpg", b"neither is this\n" * 10)
    c.file("pics/text.bmp", b"nor this\n" * 10)
    c.file("pics/empty.png", b"")
    for ext in ("png", "jpg", "bmp"):
        c.add("picture-text-%s.qdx" % ext, one_cell(b"pics\\text." + ext.encode()), "fault", "a %s that is text" % ext)
    c.add("picture-empty.qdx", one_cell(b"pics/empty.png"), "fault", "an empty picture file")
    for cut in (8, 16, 33, 50, len(good) - 12, len(good) - 1):
        c.file("pics/cut%d.png" % cut, good[:cut])
        c.add("png-cut-%d.qdx" % cut, one_cell(b"pics/cut%d.png" % cut), "fault", "a PNG cut after %d bytes" % cut)
    c.file("pics/badcrc.png", png(40, 40, corrupt_crc=True))
    c.add("png-bad-crc.qdx", one_cell(b"pics/badcrc.png"), "fault", "a PNG with wrong checksums")
    c.file("pics/badzlib.png", png(40, 40, rows=b"\x78\x9c" + bytes(rnd.getrandbits(8) for _ in range(200))))
    c.add("png-bad-zlib.qdx", one_cell(b"pics/badzlib.png"), "fault", "a PNG whose pixels are not zlib")
    c.file("pics/zero.png", png(0, 0))
    c.add("png-zero-size.qdx", one_cell(b"pics/zero.png"), "fault", "a PNG of 0 x 0")
    c.file("pics/bomb.png", png_bomb(30000, 100))
    c.add("png-bomb-30000.qdx", one_cell(b"pics/bomb.png"), "fault", "a 30000 x 30000 PNG of a few KB")
    c.file("pics/bomb-whole.png", png_bomb(30000, 30000))
    c.add("png-bomb-whole.qdx", one_cell(b"pics/bomb-whole.png"), "fault", "a complete 30000 x 30000 PNG of 900 KB")
    c.file("pics/bomb-8k.png", png_bomb(8192, 8192))
    c.add("png-8k.qdx", one_cell(b"pics/bomb-8k.png"), "open", "a complete 8192 x 8192 PNG, the most pixels allowed")
    c.file("pics/huge-header.png", png(2 ** 31 - 1, 2 ** 31 - 1, rows=b""))
    c.add("png-header-2g.qdx", one_cell(b"pics/huge-header.png"), "fault", "a PNG that says 2^31 x 2^31")
    c.file("pics/tall.png", png(1, 1000000, rows=b""))
    c.add("png-tall.qdx", one_cell(b"pics/tall.png"), "fault", "a PNG of 1 x 1,000,000 with no pixels")
    c.file("pics/bomb.jpg", jpeg_header(65000, 65000))
    c.add("jpeg-bomb.qdx", one_cell(b"pics/bomb.jpg"), "fault", "a JPEG header of 65000 x 65000")
    c.file("pics/cut.jpg", jpeg_header(64, 64) + b"\xff\xc4\x00\x1f\x00")
    c.add("jpeg-cut.qdx", one_cell(b"pics/cut.jpg"), "fault", "a JPEG cut in its Huffman table")
    c.file("pics/soi.jpg", b"\xff\xd8\xff")
    c.add("jpeg-soi-only.qdx", one_cell(b"pics/soi.jpg"), "fault", "a JPEG of three bytes")
    c.file("pics/zero.jpg", jpeg_header(0, 0) + b"\xff\xd9")
    c.add("jpeg-zero.qdx", one_cell(b"pics/zero.jpg"), "fault", "a JPEG of 0 x 0")
    for name, data, what in [("bomb", bmp(30000, 30000, body=b""), "a BMP that says 30000 x 30000 and holds nothing"),
                             ("negative", bmp(-40, 40), "a BMP of negative width"),
                             ("minint", bmp(40, -(2 ** 31)), "a BMP of height -2^31"),
                             ("bits0", bmp(40, 40, bits=0), "a BMP of 0 bits a pixel"),
                             ("bits7", bmp(40, 40, bits=7), "a BMP of 7 bits a pixel"),
                             ("offset", bmp(40, 40, offset=0x7FFFFFFF), "a BMP whose pixels lie past its end"),
                             ("cut", bmp(40, 40)[:60], "a BMP cut after 60 bytes"),
                             ("palette", bmp(40, 40, bits=8)[:54] + b"\xff" * 10, "an 8-bit BMP without its palette")]:
        c.file("pics/%s.bmp" % name, data)
        c.add("bmp-%s.qdx" % name, one_cell(b"pics/%s.bmp" % name.encode()), "fault", what)
    c.add("picture-missing.qdx", one_cell(b"pics/none.png"), "fault", "a picture that does not exist")
    c.add("picture-dir.qdx", one_cell(b"pics"), "fault", "a picture that is a folder")
    c.add("picture-dev-zero.qdx", one_cell(b"/dev/zero"), "fault", "a picture that is /dev/zero")
    c.add("picture-dev-urandom.qdx", one_cell(b"/dev/urandom"), "fault", "a picture that is /dev/urandom")
    fifo = os.path.join(c.folder, b"pics", b"fifo.png")
    os.mkfifo(fifo)
    c.add("picture-fifo.qdx", one_cell(b"pics/fifo.png"), "fault", "a picture that is a named pipe")
    c.add("picture-dotdot.qdx", one_cell(b"..\\..\\..\\..\\..\\..\\etc\\passwd"), "fault", "a picture named with .. into /etc")
    c.add("picture-absolute.qdx", one_cell(b"/etc/shadow"), "fault", "a picture by absolute path")
    c.add("picture-long-name.qdx", one_cell(b"a" * 5000 + b".png"), "fault", "a picture name of 5000 letters")
    c.add("picture-deep.qdx", one_cell(b"/".join([b"d"] * 3000) + b".png"), "fault", "a picture 3000 folders deep")

    # Links.
    c.add("self-link.qdx", one_cell(b"ok.png", link=b"self-link.qdx"), "open", "a cell linking to its own board")
    c.add("cycle-a.qdx", one_cell(b"ok.png", link=b"cycle-b.qdx"), "open", "a cycle of two links")
    c.add("cycle-b.qdx", one_cell(b"ok.png", link=b"CYCLE-A.QDX"), "open", "a cycle of two links, other letter case")
    c.add("link-missing.qdx", one_cell(link=b"nowhere.qdx"), "fault", "a link to a board that does not exist")
    c.add("link-dotdot.qdx", one_cell(link=b"..\\..\\..\\..\\..\\..\\etc\\passwd"), "fault", "a link with .. into /etc")
    c.add("link-absolute.qdx", one_cell(link=b"/etc/passwd"), "fault", "a link by absolute path to a file of another kind")
    c.add("link-dev-zero.qdx", one_cell(link=b"/dev/zero"), "fault", "a link to /dev/zero")
    c.add("link-hashes.qdx", one_cell(link=b"###self-link.qdx###"), "fault", "a link made of hash marks")
    os.symlink(b"/dev/zero", os.path.join(c.folder, b"symlink-zero.qdx"))
    c.add("symlink-zero.qdx", None, "refuse", "a board that is a symbolic link to /dev/zero")
    os.symlink(b"symlink-loop-b.qdx", os.path.join(c.folder, b"symlink-loop-a.qdx"))
    os.symlink(b"symlink-loop-a.qdx", os.path.join(c.folder, b"symlink-loop-b.qdx"))
    c.add("symlink-loop-a.qdx", None, "refuse", "a board that is a loop of symbolic links")
    os.mkfifo(os.path.join(c.folder, b"fifo.qdx"))
    c.add("fifo.qdx", None, "refuse", "a board that is a named pipe")
    os.mkdir(os.path.join(c.folder, b"folder.qdx"))
    c.add("folder.qdx", None, "any", "a board that is a folder (check takes it for a folder of boards)")

    # Names in Windows-1252 and bytes that are not UTF-8.
    c.file(b"pics/caf\xc3\xa9.png", good)  # on disk in UTF-8, named in the board in Windows-1252
    c.add("name-cp1252-picture.qdx", one_cell(b"pics\\CAF\xc9.png"), "open", "a Windows-1252 picture name in another case")
    c.add(b"tauler-caf\xe9.qdx", one_cell(b"ok.png"), "open", "a board whose own file name is not UTF-8")
    c.file(b"pics/bad\xff\xfe.png", good)
    c.add("name-invalid-utf8.qdx", one_cell(b"pics/bad\xff\xfe.png"), "open", "a picture whose name on disk is not UTF-8")
    c.add("caption-invalid-utf8.qdx", one_cell(caption=b"\xc3\x28\xa0\xa1\xff\x80" * 50), "open", "a caption of broken UTF-8")
    c.add("name-control.qdx", one_cell(b"pics/\x01\x02\x1b[31m.png"), "fault", "a picture name with control characters")

    # Sounds, special functions.
    c.file("snd/text.wav", b"not a sound")
    c.add("sound-missing.qdx", one_cell(read=b"snd\\none.wav"), "fault", "a sound that does not exist")
    c.add("sound-text.qdx", one_cell(read=b"snd/text.wav"), "open", "a sound that is text")
    c.add("special-unknown.qdx", one_cell(special=b"<NO EXISTEIX>"), "fault", "an unknown special function")
    c.add("special-huge.qdx", one_cell(special=b"<EXECUTAR " + b"x" * 100000 + b">"), "open", "a program to start of 100,000 letters")
    c.add("special-angle.qdx", one_cell(special=b"<" * 5000), "fault", "a special function of opening brackets")

    # Every cell of a full grid broken at once.
    full = {n: {b"Caption": b"%d" % n, b"Picture": b"pics/cut16.png", b"Link": b"../../x%d.qdx" % n} for n in range(1, 442)}
    c.add("full-grid-broken.qdx", board((21, 21), full), "fault", "441 cells with broken pictures and links")
    full_ok = {n: {b"Caption": b"%d" % n, b"Picture": b"ok.png"} for n in range(1, 442)}
    c.add("full-grid-ok.qdx", board((21, 21), full_ok), "open", "441 good cells")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    corpus = Corpus(folder)
    build(corpus)
    corpus.manifest()
    print("%d boards in %s" % (len(corpus.rows), folder))


if __name__ == "__main__":
    main()
