#!/usr/bin/env python3
"""Draws the demo's floor plan as an ASCII DXF file of LINE entities.

    python3 data/floor_plan_dxf.py examples/data/floor_plan.txt data/floor_plan.dxf

Walls ("sx sy ex ey key1 key2") go on layer WALLS, each frame rectangle
("frame x1 y1 x2 y2 key1 key2") as its four sides on layer PLOT. The file
holds only what a reader needs: one ENTITIES section, each line's layer and
two end points, which every DXF reader, OGR's included, takes.
"""

import sys


def lines_of(path):
    """(layer, (sx, sy, ex, ey)) for every wall and every side of every frame."""
    for text in open(path, encoding="utf-8"):
        fields = text.split()
        if not fields or fields[0].startswith("#"):
            continue
        if fields[0] == "frame":
            x1, y1, x2, y2 = map(float, fields[1:5])
            corners = [(x1, y1), (x2, y1), (x2, y2), (x1, y2)]
            for i in range(4):
                (sx, sy), (ex, ey) = corners[i], corners[(i + 1) % 4]
                yield "PLOT", (sx, sy, ex, ey)
        else:
            yield "WALLS", tuple(map(float, fields[:4]))


def dxf(lines):
    codes = ["0", "SECTION", "2", "ENTITIES"]
    for layer, (sx, sy, ex, ey) in lines:
        codes += ["0", "LINE", "8", layer, "10", sx, "20", sy, "30", 0.0, "11", ex, "21", ey, "31", 0.0]
    codes += ["0", "ENDSEC", "0", "EOF"]
    return "".join(f"{code}\n" for code in codes)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    with open(sys.argv[2], "w", encoding="ascii", newline="\r\n") as f:
        f.write(dxf(lines_of(sys.argv[1])))


if __name__ == "__main__":
    main()
