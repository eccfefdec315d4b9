#!/usr/bin/env python3
"""The engines that run in Python, for bench/run_bench.py, printing the same
line as the C++ drivers (see driver/driver_main.h):

    python_driver.py ENGINE BUILD_TREE INPUT

python   this library through the Python package, as the C++ driver runs it
         (entry_many, then insert_cross_point as the cut and making_polygon
         as the forming): what the binding costs over the C++ pipeline;
shapely  Shapely's noding (unary_union of the lines, GEOS's noder, what
         shapely.node does in Shapely 2) as the cut and polygonize_full as
         the forming; polygons counts the faces, dangles, cut edges and
         invalid rings it returns.

The input's segments come from the C++ driver (--dump), so that every engine
gets the same doubles. Run by Debian's interpreter, whose NumPy and Shapely
these are, with the package on PYTHONPATH.
"""

import os
import subprocess
import sys
import tempfile
import time

import numpy as np


def load(tree, input_name):
    with tempfile.NamedTemporaryFile(suffix=".f64") as dump:
        subprocess.run([os.path.join(tree, "bench", "loopweave_driver"), "--dump", input_name, dump.name], check=True)
        return np.fromfile(dump.name, dtype=np.float64).reshape(-1, 4)


def run_python(lines):
    import loopweave

    builder = loopweave.Builder()
    builder.entry_many(lines)
    start = time.perf_counter()
    builder.insert_cross_point()
    cut = time.perf_counter()
    edges = len(builder.elements()[0])
    polygons = builder.making_polygon()
    return edges, polygons, cut - start, time.perf_counter() - cut


def run_shapely(lines):
    from shapely.geometry import MultiLineString
    from shapely.ops import polygonize_full, unary_union

    start = time.perf_counter()
    noded = unary_union(MultiLineString(lines.reshape(-1, 2, 2).tolist()))
    cut = time.perf_counter()
    parts = polygonize_full(noded)
    formed = time.perf_counter()
    edges = len(getattr(noded, "geoms", [noded]))
    return edges, sum(len(part.geoms) for part in parts), cut - start, formed - cut


def peak_kib():
    with open("/proc/self/status") as status:
        return next(int(line.split()[1]) for line in status if line.startswith("VmHWM:"))


def main(engine, tree, input_name):
    lines = load(tree, input_name)
    edges, polygons, cut_s, form_s = {"python": run_python, "shapely": run_shapely}[engine](lines)
    print(f"engine={engine} input={input_name} status=ok elements={len(lines)} edges={edges} polygons={polygons} "
          f"cut_s={cut_s:.6f} form_s={form_s:.6f} peak_kib={peak_kib()}")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
