#!/usr/bin/env python3
"""Writes board sets (.obz) of a few kilobytes that unpack into millions of JSON values.

Usage: make_hostile_sets.py FOLDER

Each must be refused or imported by the player within a bounded memory; before the importer
counted values and converted board by board, the first took 731 MB from 16 KB. Prints one set a
line: its name and "refuse" or "import".
"""
import json
import os
import sys
import zipfile


def board(board_id, rows=1, columns=1, order="[[null]]", extra="", buttons="[]"):
    return ('{"format":"open-board-0.1","id":"%s","grid":{"rows":%d,"columns":%d,"order":%s},"buttons":%s%s}'
            % (board_id, rows, columns, order, buttons, extra))


def write(folder, name, entries, expect="refuse"):
    with zipfile.ZipFile(os.path.join(folder, name), "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for entry, text in entries:
            z.writestr(entry, text)
    print(name, expect)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    # Three million empty rows in the order of a 1 x 1 grid.
    write(folder, "order-rows.obz", [("b.obf", board("b", order="[" + ",".join(["[]"] * 3000000) + "]"))])
    # A grid that says 10000 x 10000 and lists three million places in it.
    row = "[" + ",".join(["null"] * 300) + "]"
    write(folder, "order-places.obz",
          [("b.obf", board("b", 10000, 10000, "[" + ",".join([row] * 10000) + "]"))])
    # A manifest of four million values.
    write(folder, "manifest-values.obz",
          [("manifest.json", '{"root":"b.obf","x":[' + ",".join(["0"] * 4000000) + "]}"), ("b.obf", board("b"))])
    # 300 boards, each under the ceiling of one board, all linked from the first.
    junk = ',"x":[' + ",".join(["0"] * 240000) + "]"
    links = ",".join('{"id":"l%d","load_board":{"path":"b%d.obf"}}' % (i, i) for i in range(300))
    entries = [("manifest.json", '{"root":"root.obf"}'),
               ("root.obf", board("root", 1, 1, '[["l0"]]', buttons="[" + links + "]"))]
    entries += [("b%d.obf" % i, board("b%d" % i, extra=junk)) for i in range(300)]
    write(folder, "many-boards.obz", entries)
    # 300 boards of 2000 buttons: a few bytes of JSON each, but held all at once they took 400 MB.
    buttons = "[" + ",".join('{"id":"b%d"}' % i for i in range(2000)) + "]"
    order = "[" + ",".join(["[" + ",".join('"b%d"' % (r * 21 + c) for c in range(21)) + "]" for r in range(21)]) + "]"
    links = ",".join('{"id":"l%d","load_board":{"path":"b%d.obf"}}' % (i, i) for i in range(300))
    entries = [("manifest.json", '{"root":"root.obf"}'),
               ("root.obf", board("root", 1, 1, '[["l0"]]', buttons="[" + links + "]"))]
    entries += [("b%d.obf" % i, board("b%d" % i, 21, 21, order, buttons=buttons)) for i in range(300)]
    write(folder, "full-boards.obz", entries, "import")


if __name__ == "__main__":
    main()
