#!/usr/bin/env python3
"""What a GIS expects of the polygons: faces with their holes and valid
geometry only, attributes from labels, and the same faces wherever the
drawing lies and in whatever unit it is drawn.

    LOOPWEAVE_TOOL=path/to/loopweave python3 coverage_test.py [TestCase ...]
"""

import os
import unittest

from osgeo import gdal

from tool_test import WINDOW, ToolCase, write_geojson

gdal.UseExceptions()
FLOOR_PLAN = os.path.join(os.path.dirname(__file__), "..", "..", "data", "floor_plan.dxf")


def square(x, y, side):
    return [[x, y], [x + side, y], [x + side, y + side], [x, y + side], [x, y]]


def features(path, layer="polygons"):
    dataset = gdal.OpenEx(path, gdal.OF_VECTOR)
    found = [(f.items(), f.GetGeometryRef().Clone()) for f in dataset.GetLayerByName(layer)]
    del dataset
    return found


class Coverage(ToolCase):
    def faces(self, drawing, *args):
        source, out = self.path("drawing.geojson"), self.path("faces.gpkg")
        write_geojson(source, [({}, line) for line in drawing])
        self.run_ok(source, *args, "-o", out, "--check", "--overwrite")
        found = features(out)
        for _, geometry in found:
            self.assertTrue(geometry.IsValid())
        return sorted((round(geometry.GetArea(), 9), items["holes"]) for items, geometry in found)

    def test_islands_are_holes_at_every_depth(self):
        # A square with an island, the island with a lake, the lake with an
        # islet: every face has the next group inside as its hole.
        self.assertEqual(self.faces([square(0, 0, 10), square(3, 3, 4)]), [(16, 0), (84, 1)])
        self.assertEqual(self.faces([square(0, 0, 10), square(3, 3, 4), square(4, 4, 2), square(4.5, 4.5, 1)]),
                         [(1, 0), (3, 1), (12, 1), (84, 1)])

    def test_faces_that_touch_themselves_are_repaired(self):
        # Two squares sharing one corner, uncut: the face around both is a
        # figure eight in the chains as formed, two polygons here.
        bow_tie = [[0, 0], [2, 0], [2, 2], [4, 2], [4, 4], [2, 4], [2, 2], [0, 2], [0, 0]]
        self.assertEqual(self.faces([bow_tie]), [(4, 0), (4, 0)])
        # Two islands touching at a corner: their group's outer boundary, the
        # hole of the face around them, passes the corner twice.
        islands = [[[2, 2], [5, 5], [2, 5], [2, 2]], [[5, 5], [8, 8], [8, 5], [5, 5]]]
        self.assertEqual(self.faces([square(0, 0, 10), *islands]), [(4.5, 0), (4.5, 0), (91, 1)])


class Labels(ToolCase):
    def test_rooms_carry_their_names(self):
        out = self.path("rooms.gpkg")
        self.run_ok(FLOOR_PLAN, "--cross", "--labels", FLOOR_PLAN, "--label-where", "Layer = 'ROOMS'", "-o", out)
        rooms = {items["Text"]: (items["labels"], round(items["area"], 6)) for items, _ in features(out)}
        # Living and dining are one face through the doorway: two labels.
        self.assertEqual(rooms, {"Living": (2, 56), "Study": (1, 19), "Bedroom": (1, 20), "Column": (1, 1),
                                 "Garden": (1, 43)})


class Placement(ToolCase):
    def test_far_from_the_origin_the_faces_are_the_same(self):
        far = [(properties, [[x + 500000, y + 5000000] for x, y in line]) for properties, line in WINDOW]
        moved, near_out, far_out = self.path("far.geojson"), self.path("near.gpkg"), self.path("far.gpkg")
        write_geojson(moved, far)
        self.run_ok(self.window, "--cross", "-o", near_out)
        self.run_ok(moved, "--cross", "-o", far_out)
        near_rings = [g.GetGeometryRef(0).GetPoints() for _, g in features(near_out)]
        far_rings = [g.GetGeometryRef(0).GetPoints() for _, g in features(far_out)]
        self.assertEqual(far_rings, [[(x + 500000, y + 5000000) for x, y in ring] for ring in near_rings])

    def test_a_tolerance_joins_ends_that_far_apart(self):
        # A triangle in metres whose last end misses its first by half a millimetre.
        gap = self.path("gap.geojson")
        write_geojson(gap, [({}, [[0, 0], [10, 0], [10, 10], [0.0005, 0]])])
        out = self.path("out.gpkg")
        self.run_ok(gap, "-o", out)
        self.assertEqual(features(out), [])
        self.run_ok(gap, "--tolerance", "0.001", "-o", out, "--overwrite")
        (face,) = features(out)
        self.assertAlmostEqual(face[1].GetArea(), 50, places=2)


if __name__ == "__main__":
    unittest.main()
