#!/usr/bin/env python3
"""Boards on paper, timed: a 21 x 21 board of 441 distinct pictures (500 x 500 PNG pictograms, then
1600 x 1200 JPEG photographs) printed to PDF, and books of 10, 30 and 100 linked boards (16 pictures
each, drawn from the same 441: from 30 boards on, pictures come back after being let go) printed with
--book. Each case runs RUNS times in a process of its
own; the medians of wall time, processor time (user + system: what a loaded machine does not
inflate), peak memory (maximum resident size), the PDF's size and its image objects are reported. A
flat memory use shows as the same peak for 30 and for 100 boards; each picture embedded once as 441
image objects however many boards draw them.
Usage: bench/print_bench.py BUILD_DIR [RUNS]"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
tool = os.path.join(build, "bin", "nexoquadrix-tool")
maker = os.path.join(build, "bench", "make_bench_pictures")
pictures = os.path.join(tempfile.gettempdir(), "nq-bench-pictures")  # shared with the board benchmarks


def write_book(folder, boards):
    """boards linked as a tree: board i links to boards 3i+1..3i+3; every cell a picture and a caption."""
    os.makedirs(folder, exist_ok=True)
    for i in range(boards):
        text = "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Grid]\r\nColumns=4\r\nRows=4\r\n"
        for n in range(1, 17):
            picture = os.path.join(pictures, "pictogram%03d.png" % ((i * 16 + n) % 441 + 1))
            text += "[Cell %d]\r\nCaption=b%dc%d\r\nPicture=%s\r\n" % (n, i, n, picture)
            child = 3 * i + n
            if n <= 3 and child < boards:
                text += "Link=board%03d.qdx\r\n" % child
        with open(os.path.join(folder, "board%03d.qdx" % i), "w") as f:
            f.write(text)


def measure(args, output):
    times, cpus, peaks = [], [], []
    for _ in range(runs):
        start = time.monotonic()
        result = subprocess.run(["/usr/bin/time", "-f", "%M %U %S", tool, "print", *args, "-o", output],
                                capture_output=True, text=True)
        times.append(time.monotonic() - start)
        if result.returncode != 0:
            sys.exit("print failed: " + result.stderr)
        peak, user, system = result.stderr.strip().splitlines()[-1].split()
        peaks.append(int(peak) / 1024)
        cpus.append(float(user) + float(system))
    listing = subprocess.run(["pdfimages", "-list", output], capture_output=True, text=True).stdout.splitlines()[2:]
    objects = len({tuple(line.split()[10:12]) for line in listing})
    return (statistics.median(times), statistics.median(cpus), statistics.median(peaks),
            os.path.getsize(output) / 1e6, objects)


def main():
    subprocess.run([maker, pictures], check=True, stdout=subprocess.DEVNULL)
    os.environ["QT_QPA_PLATFORM"] = "offscreen"
    with tempfile.TemporaryDirectory(prefix="nq-print-bench-") as work:
        cases = [("21 x 21, 441 PNG pictograms", [os.path.join(pictures, "pictograms.qdx")]),
                 ("21 x 21, 441 JPEG photographs", [os.path.join(pictures, "photos.qdx")])]
        for boards in (10, 30, 100):
            folder = os.path.join(work, "book%d" % boards)
            write_book(folder, boards)
            cases.append(("book of %d boards" % boards, [os.path.join(folder, "board000.qdx"), "--book"]))
        print("%-32s %8s %8s %8s %8s %8s" % ("case (medians of %d runs)" % runs, "wall s", "cpu s", "peak MB",
                                             "PDF MB", "images"))
        for name, args in cases:
            seconds, cpu, peak, size, objects = measure(args, os.path.join(work, "out.pdf"))
            print("%-32s %8.2f %8.2f %8.0f %8.1f %8d" % (name, seconds, cpu, peak, size, objects), flush=True)


if __name__ == "__main__":
    main()
