#!/usr/bin/env python3
"""One coordinate system for a run: sources and labels in other systems are
transformed into the output's, and a layer that names none beside one that
does is an error, not a guess.

    LOOPWEAVE_TOOL=path/to/loopweave python3 crs_test.py [TestCase ...]
"""

import json
import unittest

from osgeo import osr

from coverage_test import features, square
from tool_test import WINDOW, ToolCase, run_tool

osr.UseExceptions()


def srs(code):
    system = osr.SpatialReference()
    system.ImportFromEPSG(code)
    system.SetAxisMappingStrategy(osr.OAMS_TRADITIONAL_GIS_ORDER)
    return system


def write_geojson_in(path, epsg, geometries, properties=None):
    """GeoJSON naming its system in the old "crs" member, which GDAL reads."""
    collection = {"type": "FeatureCollection",
                  "crs": {"type": "name", "properties": {"name": "urn:ogc:def:crs:EPSG::%d" % epsg}},
                  "features": [{"type": "Feature", "properties": (properties or [{}] * len(geometries))[i],
                                "geometry": geometry} for i, geometry in enumerate(geometries)]}
    with open(path, "w", encoding="utf-8") as f:
        json.dump(collection, f)


def line(points):
    return {"type": "LineString", "coordinates": points}


class CoordinateSystems(ToolCase):
    def setUp(self):
        super().setUp()
        # A square of 0.02 degrees around (-75, 40), and one of 200 m around
        # the same point drawn in UTM zone 18N: an island in the lake.
        self.degrees = self.path("degrees.geojson")
        write_geojson_in(self.degrees, 4326, [line(square(-75.01, 39.99, 0.02))])
        x, y, _ = osr.CoordinateTransformation(srs(4326), srs(32618)).TransformPoint(-75, 40)
        self.metres = self.path("metres.geojson")
        write_geojson_in(self.metres, 32618, [line(square(x - 100, y - 100, 200))])
        self.plain = self.path("plain.csv")  # CSV with WKT names no system
        with open(self.plain, "w") as f:
            f.write('WKT,id\n"LINESTRING (-75.005 39.995,-74.995 39.995,-74.995 40.005,-75.005 40.005,-75.005 39.995)",1\n')

    def faces(self, *args):
        out = self.path("out.gpkg")
        result = self.run_ok(*args, "-o", out, "--overwrite")
        found = features(out)
        return result, found

    def test_sources_in_several_systems_come_out_in_the_first(self):
        result, found = self.faces(self.degrees, self.metres)
        self.assertIn("transformed into WGS 84, that of " + self.degrees, result.stderr)
        island = min(found, key=lambda f: f[1].GetArea())[1]
        self.assertAlmostEqual(island.Centroid().GetX(), -75, places=6)
        self.assertAlmostEqual(island.Centroid().GetY(), 40, places=6)
        self.assertEqual(sorted(items["holes"] for items, _ in found), [0, 1])
        self.assertEqual(run_tool(self.degrees, self.metres, "-q", "--svg", self.path("q.svg")).stderr, "")

    def test_a_source_without_a_system_beside_one_with_one(self):
        result = run_tool(self.degrees, self.plain, "-o", self.path("out.gpkg"))
        self.assertEqual(result.returncode, 1)
        self.assertIn(self.plain + " has no coordinate system, but " + self.degrees + " is in WGS 84", result.stderr)
        _, found = self.faces(self.degrees, self.plain, "-s_srs", "EPSG:4326")
        self.assertEqual(len(found), 2)  # an island in the square

    def test_target_system(self):
        from osgeo import gdal
        out = self.path("mercator.gpkg")
        self.run_ok(self.plain, "-s_srs", "EPSG:4326", "-t_srs", "EPSG:3857", "-o", out)
        dataset = gdal.OpenEx(out)
        layer = dataset.GetLayerByName("polygons")
        self.assertTrue(layer.GetSpatialRef().IsSame(srs(3857)))
        x, _, _ = osr.CoordinateTransformation(srs(4326), srs(3857)).TransformPoint(-75.005, 39.995)
        envelope = [feature.GetGeometryRef().GetEnvelope() for feature in layer]
        self.assertAlmostEqual(min(e[0] for e in envelope), x, places=3)
        del dataset
        result = run_tool(self.plain, "-t_srs", "EPSG:3857", "-o", out, "--overwrite")
        self.assertIn("has no coordinate system, but -t_srs is in", result.stderr)
        self.assertEqual(run_tool(self.plain, "-t_srs", "EPSG:nonsense", "-o", out).returncode, 1)

    def test_a_tolerance_in_degrees_that_looks_meant_in_metres(self):
        svg = self.path("map.svg")
        warned = self.run_ok(self.degrees, "--tolerance", "0.05", "--svg", svg).stderr
        self.assertIn("--tolerance 0.05 is in degrees, the unit of the coordinates: 5552 m north-south and "
                      "4270 m east-west at latitude 40.0", warned)  # as pyproj's geodesic measures them
        self.assertEqual(self.run_ok(self.degrees, "--tolerance", "0.001", "--svg", svg, "--overwrite").stderr, "")
        self.assertEqual(self.run_ok(self.metres, "--tolerance", "5", "--svg", svg, "--overwrite").stderr, "")

    def test_labels_in_another_system_land_in_their_faces(self):
        lines = self.path("window.geojson")  # in WGS 84, as GeoJSON without "crs" is
        to_mercator = osr.CoordinateTransformation(srs(4326), srs(3857))
        labels = self.path("labels.geojson")
        corners = {"sw": (1, 1), "se": (3, 1), "nw": (1, 3), "ne": (3, 3)}
        points = [to_mercator.TransformPoint(x, y)[:2] for x, y in corners.values()]
        write_geojson_in(labels, 3857, [{"type": "Point", "coordinates": list(p)} for p in points],
                         [{"name": name} for name in corners])
        _, found = self.faces(lines, "--cross", "--labels", labels)
        placed = {items["name"]: geometry.Centroid() for items, geometry in found if items["labels"] == 1}
        self.assertEqual(sorted(placed), sorted(corners))
        for name, (x, y) in corners.items():
            self.assertEqual((round(placed[name].GetX()), round(placed[name].GetY())), (x, y))
        result = run_tool(lines, "--labels", self.plain, "-o", self.path("x.gpkg"))
        self.assertIn("the labels " + self.plain + " has no coordinate system", result.stderr)


if __name__ == "__main__":
    unittest.main()
