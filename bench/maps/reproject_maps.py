#!/usr/bin/python3
"""Writes the benchmarks' maps in metres and feet, reprojected from the maps in degrees.

    /usr/bin/python3 bench/maps/reproject_maps.py DATA_DIR

For each map NAME in degrees (longitude, latitude) that fetch_maps.py wrote to
DATA_DIR, writes NAME-5070.segments in EPSG:5070 (NAD83 / Conus Albers, the
U.S. national equal-area grid) and NAME-3857.segments in EPSG:3857 (Web
Mercator): coordinates of millions of metres, as national and web maps have
them; and counties-10m-2263.segments in EPSG:2263 (NAD83 / New York Long
Island, in US survey feet), as a city's GIS has its layers. Needs GDAL's Python bindings (Debian's python3-gdal, for Debian's
interpreter). A file already there is kept; a new one is written under a
temporary name and renamed, so that a reader never sees half of it.

Each distinct point is transformed once and reused wherever it appears, so
that ends shared in degrees stay shared, bit for bit, when projected. Keys are
kept. A segment whose two ends become one point is left out, as
topojson_segments.py leaves out repeated points, and counted. Albers' cone is
cut along the meridian opposite its centre, 84 degrees east: the few
segments of the world map that cross it become chords across the whole map,
as any reprojection of straight segments makes them. Exits 1, after
trying every map, when a map in degrees is missing or a point cannot be
transformed.
"""

import math
import os
import pathlib
import sys
import tempfile

from osgeo import osr

# Web Mercator sends the poles to infinity: it is cut off at the latitude
# where the map is square, and latitudes beyond are clamped to it first.
WEB_MERCATOR_LATITUDE = 85.0511
# (map, EPSG code, latitude limit): a state plane's cone reaches across the
# U.S., not across the world.
PROJECTIONS = [
    ("counties-10m", 5070, None),
    ("countries-10m", 5070, None),
    ("counties-10m", 3857, WEB_MERCATOR_LATITUDE),
    ("countries-10m", 3857, WEB_MERCATOR_LATITUDE),
    ("counties-10m", 2263, None),
]


class ReprojectionError(Exception):
    pass


def reference_system(epsg):
    system = osr.SpatialReference()
    system.ImportFromEPSG(epsg)
    # x is the longitude (the easting), y the latitude (the northing), as in
    # the files, not EPSG:4326's official latitude first.
    system.SetAxisMappingStrategy(osr.OAMS_TRADITIONAL_GIS_ORDER)
    return system


def read_segments(path):
    """The header comment and (sx, sy, ex, ey, key1, key2) for every segment."""
    header, segments = "", []
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            if line.startswith("#"):
                header = header or line[1:].split(":")[0].strip()
            elif line.strip():
                sx, sy, ex, ey, key1, key2 = line.split()
                segments.append((float(sx), float(sy), float(ex), float(ey), int(key1), int(key2)))
    return header, segments


def transform_points(segments, epsg, latitude_limit):
    """Every distinct point of the segments, mapped to its point in the target system."""
    points = sorted({point for s in segments for point in (s[0:2], s[2:4])})
    clamped = points
    if latitude_limit is not None:
        clamped = [(x, min(max(y, -latitude_limit), latitude_limit)) for x, y in points]
    transform = osr.CoordinateTransformation(reference_system(4326), reference_system(epsg))
    moved = transform.TransformPoints(clamped)
    failed = [p for p, m in zip(points, moved) if not (math.isfinite(m[0]) and math.isfinite(m[1]))]
    if failed:
        raise ReprojectionError(f"{len(failed)} points cannot be transformed to EPSG:{epsg}, "
                                f"the first {failed[:5]}")
    return {p: (m[0], m[1]) for p, m in zip(points, moved)}


def reproject(data_dir, name, epsg, latitude_limit):
    path = data_dir / f"{name}-{epsg}.segments"
    if path.exists():
        print(f"{path}: already there")
        return
    source = data_dir / f"{name}.segments"
    if not source.exists():
        raise ReprojectionError(f"{source} is missing: fetch_maps.py writes it")
    header, segments = read_segments(source)
    projected = transform_points(segments, epsg, latitude_limit)
    written = left_out = 0
    with tempfile.NamedTemporaryFile("w", dir=data_dir, prefix=path.name, suffix=".partial", delete=False,
                                     encoding="utf-8") as out:
        try:
            unit = reference_system(epsg).GetLinearUnitsName()
            out.write(f"# {header} in EPSG:{epsg}, {unit}: sx sy ex ey key1 key2\n")
            for sx, sy, ex, ey, key1, key2 in segments:
                start, end = projected[sx, sy], projected[ex, ey]
                if start == end:
                    left_out += 1
                    continue
                out.write(f"{start[0]!r} {start[1]!r} {end[0]!r} {end[1]!r} {key1} {key2}\n")
                written += 1
        except BaseException:
            os.unlink(out.name)
            raise
    os.chmod(out.name, 0o644)  # the temporary file was private to its writer
    os.replace(out.name, path)
    print(f"{path}: {written} segments from {source.name}, {left_out} left out with their ends made one")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip().split("\n\n")[1].strip())
    data_dir = pathlib.Path(sys.argv[1])
    osr.UseExceptions()
    failed = False
    for name, epsg, latitude_limit in PROJECTIONS:
        try:
            reproject(data_dir, name, epsg, latitude_limit)
        except (OSError, ValueError, RuntimeError, ReprojectionError) as error:
            print(f"cannot reproject {name} to EPSG:{epsg}: {error}", file=sys.stderr)
            failed = True
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
