"""Line segments from every arc of a TopoJSON topology, for the benchmarks.

The arcs are decoded by data/topojson_arcs.py (delta-decoded, then scaled
and translated by the topology's transform). Each consecutive pair of an
arc's points is one segment, key1 the arc's index in the topology and key2
the pair's index along the arc; a pair whose two points are one point (a
repeated point of the quantized arc) is left out, since it bounds nothing.

The segment file has one segment a line, "sx sy ex ey key1 key2", with
coordinates written by repr(), which reads back to the same doubles.
"""

import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "data"))
from topojson_arcs import decode_arcs  # noqa: E402


def arc_segments(topology):
    """(sx, sy, ex, ey, key1, key2) for every segment of every arc, in order."""
    for arc_index, points in enumerate(decode_arcs(topology)):
        for pair_index, (start, end) in enumerate(zip(points, points[1:])):
            if start != end:
                yield (*start, *end, arc_index, pair_index)


def write_segment_file(segments, path, source):
    """Writes the segments under a comment naming their source; returns how many."""
    count = 0
    with open(path, "w", encoding="utf-8") as out:
        out.write(f"# {source}: sx sy ex ey key1 (arc) key2 (segment along it)\n")
        for sx, sy, ex, ey, key1, key2 in segments:
            out.write(f"{sx!r} {sy!r} {ex!r} {ey!r} {key1} {key2}\n")
            count += 1
    return count
