#!/usr/bin/env python3
"""Prints the rooms of the floor-plan demo's GeoPackage: each face's label,
how many labels it holds and its area. Standard library only.

    python3 examples/print_rooms.py rooms.gpkg
"""

import sqlite3
import sys

with sqlite3.connect(sys.argv[1]) as db:
    rows = db.execute("SELECT polygon, Text, labels, area, holes FROM polygons ORDER BY polygon").fetchall()
print(f"{'face':>4}  {'label':<8} {'labels':>6} {'area':>6} {'holes':>5}")
for polygon, text, labels, area, holes in rows:
    print(f"{polygon:>4}  {text or '-':<8} {labels:>6} {area:>6.1f} {holes:>5}")
