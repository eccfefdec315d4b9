#!/usr/bin/env python3
"""Runs the loopweave tool on small drawings with known faces and checks its
files with the standard library alone: GeoJSON with json, GeoPackage (SQLite)
with sqlite3, the picture with an XML parser.

    LOOPWEAVE_TOOL=path/to/loopweave python3 tool_test.py [TestCase ...]
"""

import json
import os
import sqlite3
import struct
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ET

TOOL = os.environ.get("LOOPWEAVE_TOOL", "loopweave")

# A square 0..4 (one closed LineString, FID 0) and a cross through it: a
# vertical line (FID 1) and a horizontal one (FID 2), each reaching 1 beyond
# it. Cut, they make four faces of area 4 and one outer boundary that runs out
# along each of the four stubs and back.
WINDOW = [
    ({"wall": 10, "part": 0, "label": "square"}, [[0, 0], [4, 0], [4, 4], [0, 4], [0, 0]]),
    ({"wall": 11, "part": 0, "label": "vertical"}, [[2, -1], [2, 5]]),
    ({"wall": 12, "part": 1, "label": "horizontal"}, [[-1, 2], [5, 2]]),
]
STUB_TIPS = {(2, -1), (5, 2), (2, 5), (-1, 2)}


def write_geojson(path, lines):
    features = [{"type": "Feature", "properties": properties,
                 "geometry": {"type": "LineString", "coordinates": points}}
                for properties, points in lines]
    with open(path, "w", encoding="utf-8") as f:
        json.dump({"type": "FeatureCollection", "features": features}, f)


def read_json(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def run_tool(*args):
    return subprocess.run([TOOL, *map(str, args)], capture_output=True, text=True, timeout=120)


def key1s(keys_field):
    """The key1 values along a chain, from the 'keys' field: "k1,k2 k1,k2 ..."."""
    return {int(pair.split(",")[0]) for pair in keys_field.split()}


class ToolCase(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        self.addCleanup(self.directory.cleanup)
        self.window = self.path("window.geojson")
        write_geojson(self.window, WINDOW)

    def path(self, name):
        return os.path.join(self.directory.name, name)

    def run_ok(self, *args):
        result = run_tool(*args)
        self.assertEqual(result.returncode, 0, result.stderr)
        return result

    def files(self):
        return sorted(os.listdir(self.directory.name))


class GeoJsonRoundTrip(ToolCase):
    def test_cut_window_gives_four_faces_and_four_dangling_stubs(self):
        out = self.path("out.geojson")
        self.run_ok(self.window, "--cross", "-o", out)
        faces = [f["properties"] for f in read_json(out)["features"]]
        self.assertEqual(len(faces), 4)
        for face in faces:
            self.assertAlmostEqual(face["area"], 4.0)
            self.assertEqual((face["round"], face["holes"], face["elements"], face["runs_back"], face["self_cross"]),
                             (1, 0, 4, False, False))
            self.assertEqual(key1s(face["keys"]), {0, 1, 2})  # the square's FID and both lines'

        # One output layer per GeoJSON file: the other two go beside it. The
        # outer boundary runs out along each stub and back: stripped of the
        # runs, it bounds the unbounded face and is no polygon; the stubs are
        # dangles, each drawn once, outwards.
        dangles = read_json(self.path("out_dangles.geojson"))["features"]
        self.assertEqual({tuple(d["geometry"]["coordinates"][-1]) for d in dangles}, STUB_TIPS)
        self.assertEqual({d["properties"]["elements"] for d in dangles}, {1})
        self.assertEqual(read_json(self.path("out_errors.geojson"))["features"], [])

    def test_chains_as_formed_put_the_boundary_running_back_among_the_dangles(self):
        out = self.path("out.geojson")
        self.run_ok(self.window, "--cross", "--chains", "-o", out)
        self.assertEqual(sorted(f["properties"]["polygon"] for f in read_json(out)["features"]), [2, 3, 4, 5])
        (boundary,) = read_json(self.path("out_dangles.geojson"))["features"]
        self.assertEqual((boundary["properties"]["polygon"], boundary["properties"]["elements"]), (1, 16))
        errors = read_json(self.path("out_errors.geojson"))["features"]
        tips = {tuple(e["geometry"]["coordinates"]) for e in errors if e["properties"]["flag"] == 2}
        self.assertEqual(tips, STUB_TIPS)
        self.assertEqual({e["properties"]["polygon"] for e in errors}, {1})

    def test_shapefile_sidecars_take_their_final_names_too(self):
        # GeoJSON comes in WGS 84, so each shapefile also gets a .prj.
        self.run_ok(self.window, "--cross", "--faces", "-o", self.path("faces.shp"))
        stems = ["faces", "faces_dangles", "faces_errors"]
        self.assertEqual(self.files(), sorted([s + e for s in stems for e in (".dbf", ".prj", ".shp", ".shx")] +
                                              ["window.geojson"]))

    def test_faces_read_back_form_the_same_faces(self):
        first, second = self.path("first.geojson"), self.path("second.geojson")
        self.run_ok(self.window, "--cross", "--faces", "-o", first)
        # Each shared edge now comes twice, once from each face's ring; the
        # first one entered stands for both.
        self.run_ok(first, "--faces", "-o", second)
        areas = lambda path: sorted(f["properties"]["area"] for f in read_json(path)["features"])
        self.assertEqual(areas(second), areas(first))
        self.assertEqual(len(areas(second)), 4)

    def test_stripping_returns_leaves_the_bare_outline(self):
        out = self.path("out.geojson")
        self.run_ok(self.window, "--cross", "--remove-returns", "--boundaries", "-o", out)
        (boundary,) = [f for f in read_json(out)["features"]]
        self.assertEqual((boundary["properties"]["elements"], boundary["properties"]["runs_back"]), (8, False))
        self.assertEqual(boundary["geometry"]["type"], "Polygon")
        self.assertEqual(read_json(self.path("out_errors.geojson"))["features"], [])

    def test_frame_around_the_extent_encloses_the_drawing(self):
        out = self.path("out.geojson")
        self.run_ok(self.window, "--cross", "--frame", "extent", "--frame-margin", "1", "--faces", "-o", out)
        areas = sorted(f["properties"]["area"] for f in read_json(out)["features"])
        # The frame -2..6 touches nothing: its face has the window as a hole it does not know about.
        self.assertEqual(areas, [4, 4, 4, 4, 64])


def gpkg_points(blob):
    """The WKB coordinates of a GeoPackage geometry blob, as a flat list of pairs."""
    flags = blob[3]
    envelope = {0: 0, 1: 32, 2: 48, 3: 48, 4: 64}[(flags >> 1) & 7]
    wkb = blob[8 + envelope:]
    order = "<" if wkb[0] == 1 else ">"
    kind = struct.unpack(order + "I", wkb[1:5])[0]
    if kind == 1:
        return [struct.unpack(order + "dd", wkb[5:21])]
    assert kind == 3, kind
    points = struct.unpack(order + "I", wkb[9:13])[0]
    return [struct.unpack(order + "dd", wkb[13 + 16 * i:29 + 16 * i]) for i in range(points)]


class GeoPackageRoundTrip(ToolCase):
    def test_every_layer_in_one_file_and_fields_as_keys(self):
        out = self.path("out.gpkg")
        self.run_ok(self.window, "--cross", "--chains", "--keys", "wall,part", "-o", out)
        self.assertEqual(self.files(), ["out.gpkg", "window.geojson"])
        with sqlite3.connect(out) as db:
            rows = db.execute("SELECT polygon, round, area, keys, geom FROM polygons ORDER BY polygon").fetchall()
            errors = db.execute("SELECT flag, polygon, geom FROM errors").fetchall()
            dangles = db.execute("SELECT polygon FROM dangles").fetchall()
        faces = [r for r in rows if r[1] == 1]
        self.assertEqual(len(rows), 4)
        self.assertEqual(len(faces), 4)
        self.assertEqual(dangles, [(1,)])
        for _, _, area, keys, geometry in faces:
            self.assertAlmostEqual(area, 4.0)
            self.assertEqual(key1s(keys), {10, 11, 12})  # from the field "wall", not the FID
            ring = gpkg_points(geometry)
            self.assertEqual((len(ring), ring[0]), (5, ring[-1]))
        self.assertEqual({gpkg_points(g)[0] for f, _, g in errors if f == 2}, STUB_TIPS)

    def test_polygons_layer_read_back(self):
        out, again = self.path("out.gpkg"), self.path("again.geojson")
        self.run_ok(self.window, "--cross", "--faces", "-o", out)
        self.run_ok(out, "--layer", "polygons", "--keys", "polygon,elements", "--faces", "-o", again)
        faces = [f["properties"] for f in read_json(again)["features"]]
        self.assertEqual(sorted(f["area"] for f in faces), [4, 4, 4, 4])
        self.assertTrue(all(key1s(f["keys"]) <= {2, 3, 4, 5} for f in faces))

    def test_one_key_field_numbers_the_segments_as_the_second(self):
        out = self.path("out.gpkg")
        self.run_ok(self.window, "--cross", "--keys", "wall", "-o", out)
        with sqlite3.connect(out) as db:
            (keys,) = db.execute("SELECT keys FROM polygons LIMIT 1").fetchone()
        self.assertTrue(all(pair.split(",")[0] in ("10", "11", "12") for pair in keys.split()))
        second_keys = {int(pair.split(",")[1]) for pair in keys.split() if pair.startswith("10,")}
        self.assertTrue(second_keys and second_keys <= {0, 1, 2, 3})  # the square's sides, numbered


class SvgPicture(ToolCase):
    def paths(self, svg, cls):
        root = ET.parse(svg).getroot()
        return [e for e in root.iter("{http://www.w3.org/2000/svg}path") if e.get("class") == cls]

    def test_one_filled_path_per_enclosed_face(self):
        svg = self.path("map.svg")
        self.run_ok(self.window, "--cross", "--svg", svg)
        faces = self.paths(svg, "face")
        self.assertEqual(len(faces), 4)
        self.assertEqual(len({f.get("fill") for f in faces}), 4)  # each its own colour
        self.assertTrue(all(f.get("fill").startswith("hsl(") for f in faces))
        (dangles,) = self.paths(svg, "dangle")
        self.assertEqual(dangles.get("d").count("M"), 4)
        root = ET.parse(svg).getroot()
        texts = {e.get("class"): e for e in root.iter("{http://www.w3.org/2000/svg}text")}
        self.assertEqual(texts["title"].text, self.window)
        (scale,) = [g for g in root.iter("{http://www.w3.org/2000/svg}g") if g.get("class") == "scale"]
        self.assertTrue(scale.find("{http://www.w3.org/2000/svg}text").text.endswith(" degrees"))  # GeoJSON's WGS 84

    def test_labels_written_in_their_faces(self):
        labels, svg = self.path("labels.geojson"), self.path("map.svg")
        with open(labels, "w") as f:
            json.dump({"type": "FeatureCollection", "features": [
                {"type": "Feature", "properties": {"name": "A&B"}, "geometry": {"type": "Point", "coordinates": [1, 1]}},
                {"type": "Feature", "properties": {"name": None}, "geometry": {"type": "Point", "coordinates": [3, 3]}}]}, f)
        self.run_ok(self.window, "--cross", "--labels", labels, "--svg-labels", "name", "--svg", svg)
        root = ET.parse(svg).getroot()
        texts = [e.text for e in root.iter("{http://www.w3.org/2000/svg}text") if e.get("class") == "label"]
        self.assertEqual(texts, ["A&B"])
        result = run_tool(self.window, "--labels", labels, "--svg-labels", "colour", "--svg", svg, "--overwrite")
        self.assertIn('no field "colour" in the labels', result.stderr)

    def test_the_face_along_a_frame_is_background(self):
        svg = self.path("map.svg")
        self.run_ok(self.window, "--cross", "--frame", "extent", "--frame-margin", "1", "--svg", svg)
        fills = [f.get("fill") for f in self.paths(svg, "face")]
        self.assertEqual((len(fills), fills.count("#fff")), (5, 1))

    def test_y_grows_upwards(self):
        triangle, svg = self.path("triangle.geojson"), self.path("triangle.svg")
        write_geojson(triangle, [({}, [[0, 0], [10, 0], [0, 10], [0, 0]])])
        self.run_ok(triangle, "--faces", "--svg", svg)
        (face,) = self.paths(svg, "face")
        # "Mx y lx y x y ... z": the first point, then steps relative to the last.
        words = face.get("d").replace("M", " ").replace("l", " ").replace("z", " ").split()
        corners = [(int(words[0]), int(words[1]))]
        for dx, dy in zip(words[2::2], words[3::2]):
            corners.append((corners[-1][0] + int(dx), corners[-1][1] + int(dy)))
        rightmost = max(corners)  # the corner (10, 0), lowest in the drawing
        self.assertEqual(rightmost[1], max(y for _, y in corners))
        self.assertEqual(len({c for c in corners}), 3)

    def test_empty_source_gives_an_empty_picture(self):
        empty, svg = self.path("empty.geojson"), self.path("empty.svg")
        write_geojson(empty, [])
        result = self.run_ok(empty, "--svg", svg, "-o", self.path("empty.gpkg"))
        self.assertIn("no line segments in " + empty, result.stderr)
        self.assertEqual(self.paths(svg, "face"), [])
        with sqlite3.connect(self.path("empty.gpkg")) as db:
            self.assertEqual(sorted(db.execute("SELECT table_name FROM gpkg_contents")),
                             [("dangles",), ("errors",), ("polygons",)])


class Progress(ToolCase):
    def test_a_line_per_stage_on_large_inputs_unless_quiet(self):
        # 26000 unit squares apart from each other: 104000 elements, just
        # over the size where a run starts to take long enough to need it.
        squares = [({}, [[x, y], [x + 1, y], [x + 1, y + 1], [x, y + 1], [x, y]])
                   for x in range(0, 600, 3) for y in range(0, 390, 3)]
        large = self.path("large.geojson")
        write_geojson(large, squares)
        loud = self.run_ok(large, "--remove-returns", "-o", self.path("large.gpkg")).stderr.splitlines()
        self.assertEqual(loud, ["loopweave: enter (104,000 elements)...",
                                "loopweave: form (104,000 elements)...",
                                "loopweave: strip returns (104,000 elements)...",
                                "loopweave: arrange (104,000 elements)...",
                                "loopweave: write (26,000 polygons and 0 dangles)...",
                                "0...10...20...30...40...50...60...70...80...90...100 - done, 26,000 features written."])
        self.assertEqual(self.run_ok(large, "-q", "-o", self.path("quiet.gpkg")).stderr, "")
        self.assertEqual(run_tool(self.window, "--svg", self.path("w.svg")).stderr, "")  # small inputs are quiet anyway


class BadInput(ToolCase):
    def assert_fails(self, expected_message, *args, status=1):
        before = self.files()
        if not {"-o", "--svg"} & set(args):
            args = ("-o", self.path("never.gpkg")) + args
        result = run_tool(*args)
        self.assertEqual(result.returncode, status, result.stderr)
        self.assertIn(expected_message, result.stderr)
        self.assertEqual(self.files(), before, "a failed run left files behind")

    def test_unreadable_source(self):
        self.assert_fails("cannot read " + self.path("missing.shp") + " as vector data", self.path("missing.shp"))
        text = self.path("notes.txt")
        with open(text, "w") as f:
            f.write("not a drawing\n")
        self.assert_fails("as vector data", text)

    def test_unknown_layer_names_the_layers_there_are(self):
        self.assert_fails('no layer "rooms" in ' + self.window + " (it has: window)", self.window, "--layer", "rooms")

    def test_key_fields_must_be_integers_with_values(self):
        self.assert_fails('key field "label" of layer window is String, not an integer',
                          self.window, "--keys", "wall,label")
        self.assert_fails('no field "storey" in layer window', self.window, "--keys", "storey,part")
        gaps = self.path("gaps.geojson")
        write_geojson(gaps, [({"wall": 1, "part": 0}, [[0, 0], [1, 0]]), ({"wall": None, "part": 0}, [[1, 0], [1, 1]])])
        self.assert_fails('key field "wall" of feature 1 has no value', gaps, "--keys", "wall,part")

    def test_unknown_format(self):
        self.assert_fails('unknown output format "Nonsense"', self.window, "-o", self.path("out.x"), "-f", "Nonsense")
        self.assert_fails("cannot tell the output format from the name", self.window, "-o", self.path("out.unknown"))

    def test_ambiguous_or_unfit_output(self):
        self.assert_fails("fits several output formats (Geoconcept, VDV); choose one with -f",
                          self.window, "-o", self.path("out.txt"))
        self.assert_fails("a stream and takes one layer", self.window, "-o", "/vsistdout/", "-f", "GeoJSON")
        self.assert_fails("outputs go to files or /vsistdout/", self.window, "-o", "/vsizip/" + self.path("a.zip/a.shp"))

    def test_values_a_format_cannot_hold_are_errors(self):
        # 80 elements along one line: its keys take more than a Shapefile's 254 characters.
        long_line = self.path("long.geojson")
        write_geojson(long_line, [({}, [[i, i % 2] for i in range(81)])])
        self.assert_fails('the field "keys" needs', long_line, "-o", self.path("out.shp"))
        self.run_ok(long_line, "-o", self.path("bare.shp"), "--no-keys")
        with open(self.path("bare_dangles.dbf"), "rb") as f:
            self.assertNotIn(b"keys", f.read(200))
        # A 32-bit field that cannot hold the value: GDAL reads the limit instead.
        with open(self.path("big.csv"), "w") as f:
            f.write('WKT,k1,k2\n"LINESTRING (0 0,1 1)",3000000000,1\n')
        with open(self.path("big.csvt"), "w") as f:
            f.write('"WKT","Integer","Integer"\n')
        self.assert_fails('key field "k1" of feature 1 is too large for a key', self.path("big.csv"), "--keys", "k1,k2")

    def test_command_line_errors_exit_with_2(self):
        self.assert_fails("unknown option --colour", self.window, "--colour", status=2)
        self.assert_fails('--frame: expected x1,y1,x2,y2 or extent, got "1,2,3"', self.window, "--frame", "1,2,3", status=2)
        self.assert_fails('--frame-margin: "wide" is not a finite number', self.window, "--frame", "extent",
                          "--frame-margin", "wide", status=2)
        self.assert_fails("--faces and --boundaries exclude each other", self.window, "--faces", "--boundaries", status=2)
        self.assert_fails("no source given", "--cross", status=2)
        self.assertEqual(run_tool(self.window, "--summary").returncode, 2)  # nothing to write
        self.assert_fails("-spat needs four numbers", self.window, "-spat", "0", "1", status=2)
        self.assert_fails("-lco: expected NAME=VALUE", self.window, "-o", self.path("o.gpkg"), "-lco", "FID", status=2)


if __name__ == "__main__":
    unittest.main()
