#!/usr/bin/env python3
"""A polygon layer turned into its boundary lines and polygonized gives every
polygon back: each as one face, equal to it, holding its label. Public layers
(U.S. states and counties, countries) in degrees and projected to metres,
and a dense coverage of cells about ten metres across; through the tool and
the Python package. Each test prints one line per layer, for example

    roundtrip counties, degrees, defaults: 3467 of 3467 polygons came back (43 left out)

    LOOPWEAVE_TOOL=path/to/loopweave python3 roundtrip_test.py [TestCase ...]

The polygon layer is drawn as a user's conversion draws it: every ring of
every polygon a LineString of its own, so each shared border comes twice.
A polygon that is not valid is left out, as a GIS's validity check leaves it
out; one whose inside another polygon's ring enters cannot come back as one
face and is drawn but not expected back; the line says how many were left out.
"""

import functools
import json
import numbers
import os
import random
import sys
import tempfile
import unittest

from osgeo import gdal, ogr, osr
from shapely import wkb
from shapely.geometry import LineString, Polygon
from shapely.strtree import STRtree

from tool_test import run_tool

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data")
sys.path.insert(0, DATA)
from topojson_arcs import decode_arcs  # noqa: E402

gdal.UseExceptions()

# Equal: the symmetric difference is below this share of the polygon's area.
SAME_AREA = 1e-9
# Latitudes Web Mercator can draw.
MERCATOR_LATITUDE = 85.0511


def topojson_polygons(name, collection):
    """Every polygon of a collection in a TopoJSON file of data/, each part of
    a multipolygon on its own, as lists of rings (outer ring first) in
    degrees. A ring is its arcs joined end to end, reversed ones (~i) read
    backwards; points shared in the topology stay bit-equal."""
    with open(os.path.join(DATA, name), encoding="utf-8") as f:
        topology = json.load(f)
    arcs = decode_arcs(topology)

    def ring(indices):
        points = []
        for index in indices:
            arc = arcs[index] if index >= 0 else arcs[~index][::-1]
            points.extend(arc[1:] if points else arc)
        return points

    polygons = []
    for geometry in topology["objects"][collection]["geometries"]:
        parts = {"Polygon": [geometry.get("arcs")], "MultiPolygon": geometry.get("arcs")}.get(geometry["type"], [])
        polygons.extend([ring(indices) for indices in part] for part in parts)
    return polygons


def jittered_cells(columns, rows, size, west, south, seed=1):
    """A coverage of quadrilaterals: a grid of `size` whose nodes are moved
    by up to a quarter cell, each node computed once so that neighbouring
    cells share it to the bit."""
    jitter = random.Random(seed)
    nodes = [[(west + (i + jitter.uniform(-0.25, 0.25)) * size, south + (j + jitter.uniform(-0.25, 0.25)) * size)
              for j in range(rows + 1)] for i in range(columns + 1)]
    return [[[nodes[i][j], nodes[i + 1][j], nodes[i + 1][j + 1], nodes[i][j + 1], nodes[i][j]]]
            for i in range(columns) for j in range(rows)]


def spatial_reference(epsg):
    srs = osr.SpatialReference()
    srs.ImportFromEPSG(epsg)
    srs.SetAxisMappingStrategy(osr.OAMS_TRADITIONAL_GIS_ORDER)
    return srs


def projected(polygons, epsg, max_latitude=90.0):
    """The polygons in EPSG:`epsg`, each distinct point transformed once, so
    that points shared in degrees stay shared to the bit."""
    points = sorted({point for rings in polygons for ring in rings for point in ring})
    clamped = [(x, max(-max_latitude, min(max_latitude, y))) for x, y in points]
    transform = osr.CoordinateTransformation(spatial_reference(4326), spatial_reference(epsg))
    moved = dict(zip(points, ((x, y) for x, y, *_ in transform.TransformPoints(clamped))))
    return [[[moved[point] for point in ring] for ring in rings] for rings in polygons]


def valid_polygons(polygons):
    """The polygons as Shapely polygons, those that are not valid (rings that
    cross, or collapsed by quantization) left out, as a GIS's validity check
    leaves them out."""
    kept = []
    for rings in polygons:
        if len(rings[0]) >= 4:
            polygon = Polygon(rings[0], [ring for ring in rings[1:] if len(ring) >= 4])
            if polygon.is_valid and polygon.area > 0:
                kept.append(polygon)
    return kept


def boundary_lines(polygons):
    return [LineString(ring.coords) for polygon in polygons for ring in [polygon.exterior, *polygon.interiors]]


def unentered(polygons):
    """The polygons whose inside no other polygon's ring enters: where two
    overlap, neither can be a face."""
    lines = boundary_lines(polygons)
    tree = STRtree(lines)
    # Shapely 1.8's tree gives the geometries near, later ones their indices.
    near = lambda polygon: (lines[hit] if isinstance(hit, numbers.Integral) else hit for hit in tree.query(polygon))
    return [polygon for polygon in polygons
            if not any(polygon.relate_pattern(line, "T********") for line in near(polygon))]


def write_layer(path, epsg, kind, features):
    """A GeoPackage layer of (pid or None, Shapely geometry) features; the
    coordinates go in as they are, in binary."""
    dataset = ogr.GetDriverByName("GPKG").CreateDataSource(path)
    layer = dataset.CreateLayer("layer", spatial_reference(epsg), kind)
    layer.CreateField(ogr.FieldDefn("pid", ogr.OFTInteger))
    layer.StartTransaction()
    for pid, geometry in features:
        feature = ogr.Feature(layer.GetLayerDefn())
        if pid is not None:
            feature.SetField("pid", pid)
        feature.SetGeometry(ogr.CreateGeometryFromWkb(geometry.wkb))
        layer.CreateFeature(feature)
    layer.CommitTransaction()
    del dataset


def read_faces(path):
    """The faces the tool wrote: (pid of the label they hold or None, Shapely polygon)."""
    dataset = gdal.OpenEx(path, gdal.OF_VECTOR)
    layer = dataset.GetLayerByName("polygons")
    has_pid = layer.GetLayerDefn().GetFieldIndex("pid") >= 0
    faces = [(feature.GetField("pid") if has_pid else None, wkb.loads(bytes(feature.GetGeometryRef().ExportToWkb())))
             for feature in layer]
    del dataset
    return faces


def came_back(expected, faces):
    """How many expected polygons equal the face that holds their label (pid
    = their index); and the pids of those that did not come back."""
    holding = {}
    for pid, face in faces:
        holding.setdefault(pid, []).append(face)
    missing = [pid for pid, polygon in enumerate(expected)
               if len(holding.get(pid, [])) != 1
               or polygon.symmetric_difference(holding[pid][0]).area > SAME_AREA * polygon.area]
    return len(expected) - len(missing), missing


@functools.lru_cache(maxsize=None)
def layers():
    """The layers of the round trip: (name, polygons, EPSG code, a tolerance
    small for their unit)."""
    states = topojson_polygons("counties-10m.json", "states")
    counties = topojson_polygons("counties-10m.json", "counties")
    countries = topojson_polygons("countries-110m.json", "countries")
    cells = jittered_cells(60, 60, 1e-4, -73.98, 40.75)
    return [
        ("states, degrees", states, 4326, 1e-7),
        ("states, metres (EPSG:5070)", projected(states, 5070), 5070, 0.01),
        ("counties, degrees", counties, 4326, 1e-7),
        ("counties, metres (EPSG:5070)", projected(counties, 5070), 5070, 0.01),
        ("countries 1:110m, degrees", countries, 4326, 1e-7),
        ("countries 1:110m, metres (EPSG:3857)", projected(countries, 3857, MERCATOR_LATITUDE), 3857, 0.01),
        ("cells of 1e-4 degrees, degrees", cells, 4326, 1e-7),
        ("cells of 1e-4 degrees, metres (EPSG:32618)", projected(cells, 32618), 32618, 0.01),
    ]


class RoundTripCase(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        self.addCleanup(self.directory.cleanup)

    def path(self, name):
        return os.path.join(self.directory.name, name)

    def through_tool(self, name, polygons, epsg, *options):
        """Draws the boundary lines of the valid polygons and a label in
        each, runs the tool with --cross and `options`, and checks that every
        polygon came back."""
        drawn = valid_polygons(polygons)
        expected = unentered(drawn)
        lines, labels, out = self.path("lines.gpkg"), self.path("labels.gpkg"), self.path("faces.gpkg")
        write_layer(lines, epsg, ogr.wkbLineString, [(None, line) for line in boundary_lines(drawn)])
        write_layer(labels, epsg, ogr.wkbPoint,
                    [(pid, polygon.representative_point()) for pid, polygon in enumerate(expected)])
        result = run_tool(lines, "--cross", "--labels", labels, "-q", "-o", out, "--overwrite", *options)
        self.assertEqual(result.returncode, 0, result.stderr)
        title = name + ", " + (" ".join(options) or "defaults")
        self.assert_came_back(title, expected, len(polygons) - len(expected), read_faces(out))

    def assert_came_back(self, title, expected, left_out, faces):
        equal, missing = came_back(expected, faces)
        print(f"roundtrip {title}: {equal} of {len(expected)} polygons came back ({left_out} left out)", flush=True)
        if missing:
            self.fail(f"{title}: {len(missing)} polygons are no face of their own, among them those at "
                      f"{[expected[pid].representative_point().coords[0] for pid in missing[:3]]}")


class RoundTripLayers(RoundTripCase):
    def test_every_polygon_comes_back_with_the_default_tolerance(self):
        for name, polygons, epsg, _ in layers():
            with self.subTest(name):
                self.through_tool(name, polygons, epsg)


class RoundTripLayersTolerance(RoundTripCase):
    def test_a_tolerance_small_for_the_data_changes_nothing(self):
        for name, polygons, epsg, tolerance in layers():
            with self.subTest(name):
                self.through_tool(name, polygons, epsg, "--tolerance", str(tolerance))


class RoundTripPython(RoundTripCase):
    def test_the_package_gives_the_states_back(self):
        import geopandas
        import loopweave

        polygons = topojson_polygons("counties-10m.json", "states")
        drawn = valid_polygons(polygons)
        expected = unentered(drawn)
        lines = geopandas.GeoDataFrame(geometry=boundary_lines(drawn), crs="EPSG:4326")
        labels = geopandas.GeoDataFrame({"pid": range(len(expected))},
                                        geometry=[p.representative_point() for p in expected], crs="EPSG:4326")
        faces = loopweave.polygonize(lines, labels=labels).faces
        # A face with no label has no pid: NaN in the column.
        found = [(int(pid) if pid == pid else None, face) for pid, face in zip(faces["pid"], faces.geometry)]
        self.assert_came_back("states, degrees, Python package", expected, len(polygons) - len(expected), found)


class Snapping(RoundTripCase):
    """--tolerance in metres joins what is closer than it and moves nothing else."""
    TOLERANCE = "0.1"

    def test_buildings_twice_the_tolerance_apart_stay_apart(self):
        # Two rows of 20 x 5 m buildings, 0.2 m between neighbours and rows,
        # where projected coordinates lie, far from the origin.
        buildings = [[[(x, y), (x + 20, y), (x + 20, y + 5), (x, y + 5), (x, y)]]
                     for x in (500000 + 20.2 * i for i in range(8)) for y in (4500000, 4500005.2)]
        self.through_tool("buildings 0.2 m apart, metres", buildings, 32618, "--tolerance", self.TOLERANCE)

    def test_gaps_below_the_tolerance_close(self):
        # A 10 m square whose ring stops 5 cm short of its start, and a wall
        # across it stopping 5 cm short of the far side: two rooms of 50 m².
        square = [(0, 0), (10, 0), (10, 10), (0, 10), (0, 0.05)]
        wall = [(5, 0), (5, 9.95)]
        lines, out = self.path("lines.gpkg"), self.path("faces.gpkg")
        write_layer(lines, 32618, ogr.wkbLineString, [(None, LineString(square)), (None, LineString(wall))])
        result = run_tool(lines, "--cross", "--tolerance", self.TOLERANCE, "-q", "-o", out)
        self.assertEqual(result.returncode, 0, result.stderr)
        rooms = sorted(round(face.area, 1) for _, face in read_faces(out))
        self.assertEqual(rooms, [50.0, 50.0])


if __name__ == "__main__":
    unittest.main()
