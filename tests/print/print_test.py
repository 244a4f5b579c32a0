#!/usr/bin/env python3
"""nexoquadrix-tool print, read back through poppler: a printed board has its cells where the player's
own painting (the render command) has them, its captions are text, a large board is cut across the
pages it needs with every cell on exactly one, a book's link cells name the pages their boards start
on, each picture file is embedded once at print resolution (in a book too, whether its pictures were held
or let go and drawn again), and bad input fails with a message and
no file. Usage: print_test.py TOOL FIXTURES"""
import hashlib
import os
import re
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

TOOL = os.path.abspath(sys.argv[1])
FIXTURES = os.path.abspath(sys.argv[2])
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL: " + what)


def mm_to_px(mm):
    return round(mm / 25.4 * 96)


def write_png(path, width, height, rgb):
    row = b"\x00" + bytes(rgb) * width
    raw = zlib.compress(row * height, 6)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", raw) + chunk(b"IEND", b""))


def write_board(path, columns, rows, cells, bars=True):
    """cells: {number: {"Caption":..., "Picture":..., "Link":..., "Frame cell color":...}}, texts cp1252."""
    text = "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Grid]\r\nColumns=%d\r\nRows=%d\r\n" % (columns, rows)
    if not bars:
        text += "[Menu Options 2]\r\nShow Button Bar=0\r\nShow Message Bar=0\r\n"
    for n, fields in sorted(cells.items()):
        text += "[Cell %d]\r\n" % n + "".join("%s=%s\r\n" % kv for kv in fields.items())
    with open(path, "wb") as f:
        f.write(text.encode("cp1252"))


def run(*args):
    return subprocess.run([TOOL, *args], capture_output=True, text=True, timeout=300)


def pdf_pages(pdf):
    out = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout
    match = re.search(r"^Pages:\s+(\d+)", out, re.M)
    return int(match.group(1)) if match else 0


def page_text(pdf, page):
    return subprocess.run(["pdftotext", "-f", str(page), "-l", str(page), "-layout", pdf, "-"],
                          capture_output=True, text=True).stdout


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
    width, height = int(fields.group(1)), int(fields.group(2))
    return width, height, data[fields.end():]


def raster(pdf, page, folder):
    prefix = os.path.join(folder, "page%d" % page)
    subprocess.run(["pdftoppm", "-r", "96", "-f", str(page), "-l", str(page), "-singlefile", pdf, prefix],
                   check=True)
    return read_ppm(prefix + ".ppm")


def png_to_ppm(png, folder):
    ppm = os.path.join(folder, "render.ppm")
    subprocess.run(["convert", png, "-depth", "8", ppm], check=True)
    return read_ppm(ppm)


def colour_box(image, rgb, tolerance=60):
    """Bounding box (left, top, right, bottom) of the pixels near the colour, or None."""
    width, height, pixels = image
    left, top, right, bottom = width, height, -1, -1
    for y in range(height):
        line = pixels[y * width * 3:(y + 1) * width * 3]
        for x in range(width):
            r, g, b = line[3 * x], line[3 * x + 1], line[3 * x + 2]
            if abs(r - rgb[0]) <= tolerance and abs(g - rgb[1]) <= tolerance and abs(b - rgb[2]) <= tolerance:
                left, top, right, bottom = min(left, x), min(top, y), max(right, x), max(bottom, y)
    return None if right < 0 else (left, top, right, bottom)


def board_sums(folder):
    sums = {}
    for name in sorted(os.listdir(folder)):
        if name.lower().endswith(".qdx"):
            with open(os.path.join(folder, name), "rb") as f:
                sums[name] = hashlib.sha256(f.read()).hexdigest()
    return sums


# Frame colours are stored with red in the low byte.
FRAMES = {1: (0, 200, 0), 2: (0, 0, 230), 3: (230, 0, 0), 4: (200, 0, 200)}


def stored_colour(rgb):
    return str(rgb[0] | rgb[1] << 8 | rgb[2] << 16)


def small_board(folder, name, bars):
    write_png(os.path.join(folder, "groc.png"), 200, 100, (255, 230, 0))
    cells = {n: {"Frame cell color": stored_colour(rgb)} for n, rgb in FRAMES.items()}
    cells[1].update({"Caption": "Hola", "Picture": "groc.png"})
    cells[2].update({"Caption": "Adéu"})
    cells[4].update({"Caption": "Poma"})
    write_board(os.path.join(folder, name), 2, 2, cells, bars)


def test_matches_render_and_captions_are_text(work):
    small_board(work, "plain.qdx", bars=False)
    small_board(work, "bars.qdx", bars=True)
    cell = mm_to_px(40)
    margin = mm_to_px(10)
    before = board_sums(work)
    png = os.path.join(work, "render.png")
    check(run("render", os.path.join(work, "plain.qdx"), "--size", "%dx%d" % (2 * cell, 2 * cell), "-o", png)
          .returncode == 0, "render of the small board")
    rendered = png_to_ppm(png, work)
    for board, extra in (("plain.qdx", []), ("bars.qdx", ["--no-bars"])):
        pdf = os.path.join(work, board + ".pdf")
        result = run("print", os.path.join(work, board), "-o", pdf, "--cell-size", "40", "--margins", "10", *extra)
        check(result.returncode == 0, "%s printed (%s)" % (board, result.stderr.strip()))
        check(pdf_pages(pdf) == 1, "%s fits one page" % board)
        printed = raster(pdf, 1, work)
        for n, rgb in FRAMES.items():
            want, got = colour_box(rendered, rgb), colour_box(printed, rgb)
            check(want is not None and got is not None, "%s: frame of cell %d found in both" % (board, n))
            if want and got:
                moved = [g - w for g, w in zip(got, want)]
                check(all(abs(m - margin) <= 2 for m in moved),
                      "%s: cell %d where render has it, moved by the margin (moved %s)" % (board, n, moved))
        want, got = colour_box(rendered, (255, 230, 0), 40), colour_box(printed, (255, 230, 0), 40)
        check(want and got and all(abs(g - w - margin) <= 2 for g, w in zip(got, want)),
              "%s: picture where render has it (%s, %s)" % (board, want, got))
        words = page_text(pdf, 1).split()
        for caption in ("Hola", "Adéu", "Poma"):
            check(caption in words, "%s: caption %s is text in the PDF" % (board, caption))
    after = board_sums(work)
    check(after == before, "printing left the board files as they were (%s)"
          % [name for name in set(before) | set(after) if before.get(name) != after.get(name)])


def test_large_board_spans_pages(work):
    columns, rows = 10, 5
    cells = {(r - 1) * columns + c: {"Caption": "c%dr%d" % (c, r)} for r in range(1, rows + 1)
             for c in range(1, columns + 1)}
    board = os.path.join(work, "gran.qdx")
    write_board(board, columns, rows, cells, bars=False)
    pdf = os.path.join(work, "gran.pdf")
    check(run("print", board, "-o", pdf, "--cell-size", "40", "--margins", "10", "--paper", "A4").returncode == 0,
          "large board printed")
    per_page = (210 - 2 * 10) // 40  # columns that fit across an A4 page
    across = -(-columns // per_page)
    check(pdf_pages(pdf) == across, "a %d-column board of 40 mm cells takes %d A4 pages (got %d)"
          % (columns, across, pdf_pages(pdf)))
    seen = {}
    for page in range(1, pdf_pages(pdf) + 1):
        for word in page_text(pdf, page).split():
            match = re.fullmatch(r"c(\d+)r(\d+)", word)
            if match:
                seen.setdefault(word, []).append(page)
                column = int(match.group(1))
                check((column - 1) // per_page + 1 == page, "cell %s is on page %d" % (word, page))
    check(sorted(seen) == sorted(f["Caption"] for f in cells.values()), "every cell is printed")
    check(all(len(pages) == 1 for pages in seen.values()), "no cell is printed twice")

    # A board too large to fit readably is cut rather than shrunk: every cell still once.
    columns = rows = 21
    cells = {(r - 1) * columns + c: {"Caption": "c%dr%d" % (c, r)} for r in range(1, rows + 1)
             for c in range(1, columns + 1)}
    write_board(board, columns, rows, cells)
    check(run("print", board, "-o", pdf).returncode == 0, "21 x 21 board printed")
    words = [w for p in range(1, pdf_pages(pdf) + 1) for w in page_text(pdf, p).split() if re.fullmatch(r"c\d+r\d+", w)]
    check(pdf_pages(pdf) > 1, "a 21 x 21 board is not shrunk onto one A4 page")
    check(sorted(words) == sorted(f["Caption"] for f in cells.values()), "the 21 x 21 board's cells once each")


def test_book_link_cells_name_pages(work):
    book = os.path.join(work, "llibre")
    os.mkdir(book)
    # home -> b, c; b -> d; c -> home; unlinked boards are not part of a book from a board.
    write_board(os.path.join(book, "home.qdx"), 2, 1, {1: {"Caption": "anarB", "Link": "b.qdx"},
                                                         2: {"Caption": "anarC", "Link": "C.QDX"}})
    write_board(os.path.join(book, "b.qdx"), 1, 1, {1: {"Caption": "anarD", "Link": "d.qdx"}})
    write_board(os.path.join(book, "c.qdx"), 1, 1, {1: {"Caption": "casa", "Link": "home.qdx"}})
    write_board(os.path.join(book, "d.qdx"), 1, 1, {1: {"Caption": "final"}})
    pdf = os.path.join(work, "llibre.pdf")
    before = board_sums(book)
    result = run("print", os.path.join(book, "home.qdx"), "--book", "-o", pdf)
    check(board_sums(book) == before, "printing a book left its board files as they were")
    check(result.returncode == 0, "book printed (%s)" % result.stderr.strip())
    check(pdf_pages(pdf) == 5, "contents and four boards on five pages (got %d)" % pdf_pages(pdf))
    expected = {2: ["anarB", "→ p. 3", "anarC", "→ p. 4"], 3: ["anarD", "→ p. 5"], 4: ["casa", "→ p. 2"], 5: ["final"]}
    for page, texts in expected.items():
        text = " ".join(page_text(pdf, page).split())
        for t in texts:
            check(t in text, "book page %d shows %r: %r" % (page, t, text))
    check("p." not in " ".join(page_text(pdf, 5).split()).replace("p. 5", ""), "a cell without link names no page")
    contents = " ".join(page_text(pdf, 1).split())
    for name, page in (("home", 2), ("b", 3), ("c", 4), ("d", 5)):
        check(re.search(r"\b%s p\. %d\b" % (name, page), contents), "contents: %s on p. %d (%r)" % (name, page, contents))

    # A folder as a book starts at the board nothing links to and takes every board in it.
    write_board(os.path.join(book, "solta.qdx"), 1, 1, {1: {"Caption": "solta"}})
    check(run("print", book, "--book", "-o", pdf).returncode == 0, "folder printed as a book")
    check(pdf_pages(pdf) == 6, "a folder's book holds every board (got %d pages)" % pdf_pages(pdf))


def test_pictures_once_at_print_resolution(work):
    folder = os.path.join(work, "fotos")
    os.mkdir(folder)
    write_png(os.path.join(folder, "gran.png"), 1600, 1600, (20, 120, 200))
    cells = {n: {"Caption": "x%d" % n, "Picture": "gran.png"} for n in range(1, 4)}
    cells[4] = {"Caption": "falta", "Picture": "nothere.png"}
    write_board(os.path.join(folder, "a.qdx"), 2, 2, cells, bars=False)
    write_board(os.path.join(folder, "b.qdx"), 1, 1, {1: {"Picture": "GRAN.PNG"}}, bars=False)
    pdf = os.path.join(work, "fotos.pdf")
    result = run("print", folder, "-o", pdf, "--cell-size", "40")
    check(result.returncode == 0, "boards with a missing picture still print")
    check("nothere.png" in result.stderr, "the missing picture is listed: %r" % result.stderr)
    listing = subprocess.run(["pdfimages", "-list", pdf], capture_output=True, text=True).stdout.splitlines()[2:]
    objects = {tuple(line.split()[10:12]) for line in listing}
    check(len(objects) == 1, "one picture file drawn in four cells of two boards is embedded once (%d)" % len(objects))
    for line in listing:
        fields = line.split()
        ppi = int(fields[12])  # x-ppi of the first placement
        check(200 <= ppi <= 310, "the picture is embedded at about 300 dpi for its printed size (%d)" % ppi)


def image_objects(pdf):
    """(placements, distinct image objects) of a PDF, as pdfimages lists them."""
    listing = subprocess.run(["pdfimages", "-list", pdf], capture_output=True, text=True).stdout.splitlines()[2:]
    return len(listing), {tuple(line.split()[10:12]) for line in listing}


def test_book_embeds_each_picture_once(work):
    """Boards of a book sharing pictures, printed while holding all of them and while holding almost
    none (each let go after its cell and drawn again later): both PDFs hold each file once and show
    the same pages."""
    folder = os.path.join(work, "compartides")
    os.mkdir(folder)
    colours = [(230, 30, 30), (30, 160, 30), (30, 30, 220), (220, 200, 0), (200, 0, 200), (0, 190, 190),
               (120, 60, 0), (255, 140, 0), (90, 90, 90), (160, 200, 255)]
    for i, rgb in enumerate(colours):
        write_png(os.path.join(folder, "p%d.png" % i), 900, 700, rgb)  # larger than printed: reduced on loading
    boards, used = 5, 0
    for k in range(boards):
        side = 3 if k % 2 == 0 else 4  # two cell sizes, so a picture is loaded at two sizes
        cells = {n: {"Caption": "b%dc%d" % (k, n), "Picture": "p%d.png" % ((k * 5 + n) % len(colours))}
                 for n in range(1, side * side + 1)}
        used += side * side
        if k == 0:
            for n in range(1, boards):
                cells[n]["Link"] = "b%d.qdx" % n
        write_board(os.path.join(folder, "b%d.qdx" % k), side, side, cells)
    pdfs = {}
    for budget in ("", "1"):
        pdf = pdfs[budget] = os.path.join(work, "compartides%s.pdf" % budget)
        env = dict(os.environ, NEXOQUADRIX_PRINT_PICTURE_MEMORY_MB=budget)
        result = subprocess.run([TOOL, "print", os.path.join(folder, "b0.qdx"), "--book", "-o", pdf],
                                capture_output=True, text=True, timeout=300, env=env)
        check(result.returncode == 0, "book of shared pictures printed (%s)" % result.stderr.strip())
        placements, objects = image_objects(pdf)
        check(placements == used, "every picture cell draws its picture (%d of %d)" % (placements, used))
        check(len(objects) == len(colours), "each of the %d picture files is embedded once (%d objects, budget %r)"
              % (len(colours), len(objects), budget))
        checked = subprocess.run(["qpdf", "--check", pdf], capture_output=True, text=True)
        check(checked.returncode == 0, "qpdf finds the PDF sound: %s" % checked.stdout[-300:])
    pages = pdf_pages(pdfs[""])
    check(pages == pdf_pages(pdfs["1"]) == boards + 1, "contents and one page a board (%d)" % pages)
    for page in range(1, pages + 1):
        held, let_go = (raster(pdfs[budget], page, os.path.join(work)) for budget in ("", "1"))
        check(held == let_go, "page %d looks the same whether its pictures were held or drawn again" % page)


def test_page_sizes(work):
    board = os.path.join(work, "mida.qdx")
    write_board(board, 1, 1, {1: {"Caption": "m"}})
    pdf = os.path.join(work, "mida.pdf")
    for args, (width, height) in ((["--paper", "A4"], (595, 842)), (["--paper", "a3", "--landscape"], (1191, 842)),
                                  (["--paper", "Letter"], (612, 792))):
        check(run("print", board, "-o", pdf, *args).returncode == 0, "printed with %s" % args)
        info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout
        size = re.search(r"Page size:\s+([\d.]+) x ([\d.]+)", info)
        check(size and abs(float(size.group(1)) - width) < 2 and abs(float(size.group(2)) - height) < 2,
              "page size for %s: %s" % (args, size and size.group(0)))


def test_bad_input(work):
    good = os.path.join(work, "bo.qdx")
    write_board(good, 1, 1, {1: {"Caption": "bo"}})
    empty = os.path.join(work, "buida")
    os.mkdir(empty)
    garbage = os.path.join(work, "dolent.obz")
    with open(garbage, "wb") as f:
        f.write(b"not a zip at all")
    not_board = os.path.join(work, "nota.txt")
    with open(not_board, "w") as f:
        f.write("[Grid]\nColumns=1\nRows=1\n")
    huge = os.path.join(work, "enorme.qdx")
    with open(huge, "wb") as f:
        f.write(b"[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Grid]\r\nColumns=99\r\nRows=99\r\n")
    kept = os.path.join(work, "kept.pdf")
    with open(kept, "wb") as f:
        f.write(b"an older file")
    cases = [
        ("a board that does not exist", [os.path.join(work, "cap.qdx"), "-o", kept], 1),
        ("a file that is not a board", [not_board, "-o", kept], 1),
        ("a board the player refuses", [huge, "-o", kept], 1),
        ("a folder with no boards", [empty, "-o", kept], 1),
        ("a set that is not a set", [garbage, "-o", kept], 1),
        ("an unwritable output", [good, "-o", os.path.join(work, "no", "such", "folder.pdf")], 1),
        ("an unknown paper", [good, "-o", kept, "--paper", "A9"], 2),
        ("no output", [good], 2),
    ]
    for what, args, status in cases:
        result = run("print", *args)
        check(result.returncode == status, "%s: exit status %d (got %d)" % (what, status, result.returncode))
        check(result.stderr.strip() != "", "%s: a message says why" % what)
        with open(kept, "rb") as f:
            check(f.read() == b"an older file", "%s: the existing output is left as it was" % what)
    check(not os.path.exists(os.path.join(work, "no")), "nothing made for an unwritable output")


def test_board_set(work):
    obz = os.path.join(work, "set.obz")
    source = os.path.join(FIXTURES, "obf", "set")
    with zipfile.ZipFile(obz, "w") as z:
        for root, _, files in os.walk(source):
            for name in files:
                path = os.path.join(root, name)
                z.write(path, os.path.relpath(path, source))
    pdf = os.path.join(work, "set.pdf")
    result = run("print", obz, "--book", "-o", pdf)
    check(result.returncode == 0, "an .obz set printed as a book (%s)" % result.stderr.strip())
    contents = page_text(pdf, 1)
    check("home" in contents and "food" in contents, "the set's contents list its boards: %r" % contents)
    check(pdf_pages(pdf) == 3, "contents and two boards (got %d pages)" % pdf_pages(pdf))


def main():
    tests = [test_matches_render_and_captions_are_text, test_large_board_spans_pages,
             test_book_link_cells_name_pages, test_pictures_once_at_print_resolution,
             test_book_embeds_each_picture_once, test_page_sizes,
             test_bad_input, test_board_set]
    for test in tests:
        with tempfile.TemporaryDirectory(prefix="nq-print-") as work:
            before = len(failures)
            test(work)
            print("%s %s" % ("ok  " if len(failures) == before else "FAIL", test.__name__))
    print("FAIL" if failures else "PASS")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
