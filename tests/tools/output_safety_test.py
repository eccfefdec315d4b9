#!/usr/bin/env python3
"""The tool's promise about files: it creates, replaces or removes no file but
its own outputs, on success, failure and signal alike; and what it writes
reads back whole, in every format a GIS exchanges.

    LOOPWEAVE_TOOL=path/to/loopweave python3 output_safety_test.py [TestCase ...]
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

from osgeo import gdal

from tool_test import TOOL, WINDOW, ToolCase, write_geojson

gdal.UseExceptions()
FLOOR_PLAN = os.path.join(os.path.dirname(__file__), "..", "..", "data", "floor_plan.dxf")


# rename(2), failing once for a destination that ends as FAIL_RENAME_TO says.
FAILING_RENAME = r"""
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdlib.h>
#include <string.h>
int rename(const char* from, const char* to) {
    static int failed;
    const char* end = getenv("FAIL_RENAME_TO");
    size_t n = strlen(to), m = end ? strlen(end) : 0;
    if (!failed && end && n >= m && strcmp(to + n - m, end) == 0) {
        failed = 1;
        errno = EIO;
        return -1;
    }
    int (*real)(const char*, const char*) = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
    return real(from, to);
}
"""


class OutputSafety(ToolCase):
    """Each run goes wrong in its own way in a folder of the user's files;
    after each, every file that was there is unchanged, byte for byte, and no
    temporary is left."""

    def setUp(self):
        super().setUp()
        shutil.copy(FLOOR_PLAN, self.path("floor_plan.dxf"))
        with open(self.path("notes.txt"), "w") as f:
            f.write("keep\n")
        self.run_ok(self.window, "-o", self.path("roads.shp"))
        self.run_ok(self.window, "--cross", "-o", self.path("multi.gpkg"), "-nln", "roads")
        os.mkdir(self.path("shpdir"))
        self.before = self.snapshot()

    def snapshot(self):
        files = {}
        for folder, _, names in os.walk(self.directory.name):
            for name in names:
                with open(os.path.join(folder, name), "rb") as f:
                    files[os.path.relpath(os.path.join(folder, name), self.directory.name)] = f.read()
        return files

    def assert_untouched(self, new=()):
        after = self.snapshot()
        for name, content in self.before.items():
            self.assertEqual(after.get(name), content, name + " changed or went")
        self.assertEqual(sorted(set(after) - set(self.before)), sorted(new))

    def fails(self, message, *args):
        result = subprocess.run([TOOL, *args], capture_output=True, text=True, timeout=120)
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertIn(message, result.stderr)
        self.assert_untouched()

    def test_names_without_an_extension_are_files_like_any_other(self):
        self.fails("does not support arbitrary field creation", self.path("floor_plan.dxf"), "--cross",
                   "-o", self.path("rooms"), "-f", "DXF")
        self.run_ok(self.path("floor_plan.dxf"), "--cross", "-o", self.path("out"), "-f", "GPKG",
                    "--svg", self.path("picture"))
        self.assert_untouched(new=["out", "picture"])

    def test_a_directory_is_no_output(self):
        self.fails("names a directory", self.window, "-o", self.path("shpdir/"), "-f", "ESRI Shapefile")
        self.fails("is a directory", self.window, "-o", self.path("out.gpkg"), "--svg", self.path("shpdir"))

    def test_an_input_is_never_an_output(self):
        gpkg, shp = self.path("multi.gpkg"), self.path("roads.shp")
        self.fails("is an input of this run", gpkg, "--layer", "roads", "-o", gpkg, "--overwrite")
        self.fails("is an input of this run", shp, "-o", shp, "--overwrite")
        self.fails("is an input of this run", shp, "--svg", self.path("roads.dbf"), "--overwrite")  # a sidecar
        dxf = self.path("floor_plan.dxf")
        self.fails("is an input of this run", dxf, "-o", dxf, "-f", "GeoJSON", "--overwrite")
        self.fails("two outputs would be written to one file", dxf, "-o", self.path("same.gpkg"),
                   "--svg", self.path("same.gpkg"))
        self.fails("two outputs would be written to one file", dxf, "-o", self.path("a.geojson"),
                   "--svg", self.path("a_errors.geojson"))

    def test_an_existing_output_is_replaced_only_when_asked(self):
        out = self.path("multi.gpkg")
        self.fails("multi.gpkg exists; give --overwrite", self.window, "-o", out)
        os.chmod(out, 0o444)
        self.fails("is write-protected", self.window, "-o", out, "--overwrite")
        os.chmod(out, 0o644)
        # With --overwrite a Shapefile goes whole: the stale .prj, .cpg and
        # .qix of the older one would misdescribe the new one.
        for sidecar in ("roads.cpg", "roads.qix"):
            with open(self.path(sidecar), "w") as f:
                f.write("stale\n")
        self.run_ok(self.path("floor_plan.dxf"), "-o", self.path("roads.shp"), "--overwrite")
        self.assertFalse({"roads.prj", "roads.cpg", "roads.qix"} & set(self.files()))

    def test_a_replaced_file_is_kept_apart_from_the_staged_ones(self):
        # The old file, moved aside while the new one takes its place, must
        # not land on a staged file, whatever its name.
        for name in ("replaced-0", "0"):
            picture = self.path(name)
            with open(picture, "w") as f:
                f.write("old\n")
            self.run_ok(self.window, "--svg", picture, "--overwrite")
            with open(picture) as f:
                self.assertTrue(f.read().startswith("<?xml"), name)

    def test_a_failing_second_output_leaves_the_first_as_it_was(self):
        self.fails("cannot write", self.window, "--cross", "-o", self.path("multi.gpkg"), "--overwrite",
                   "--svg", self.path("no/such/folder/map.svg"))
        self.fails("cannot write", self.window, "-o", self.path("no/such/folder/out.gpkg"))

    def test_a_rename_that_fails_while_committing_undoes_the_others(self):
        # A rename(2) that fails once, moving the picture into its place,
        # after the GeoPackage has replaced the old one: both must be undone.
        with tempfile.TemporaryDirectory() as build:
            shim = os.path.join(build, "failing_rename.so")
            with open(os.path.join(build, "failing_rename.c"), "w") as f:
                f.write(FAILING_RENAME)
            subprocess.run(["cc", "-shared", "-fPIC", "-o", shim, f.name, "-ldl"], check=True)
            environment = dict(os.environ, LD_PRELOAD=shim, FAIL_RENAME_TO=os.sep + "map.svg",
                               ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0")
            result = subprocess.run([TOOL, self.window, "-o", self.path("multi.gpkg"), "--overwrite",
                                     "--svg", self.path("map.svg")], capture_output=True, text=True, timeout=120,
                                    env=environment)
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertIn("cannot write", result.stderr)
        self.assert_untouched()

    def test_a_file_on_another_device_is_no_input_for_sharing_an_inode_number(self):
        # Two fresh tmpfs mounts number their first files alike: the input
        # and the old output have one inode number on two devices.
        inputs, outputs = self.path("inputs"), self.path("outputs")
        os.mkdir(inputs)
        os.mkdir(outputs)
        script = ('mount -t tmpfs none "$1" && mount -t tmpfs none "$2" || exit 77; '
                  'cp "$3" "$1/in.geojson" && echo old > "$2/out.geojson" && '
                  '[ "$(stat -c %i "$1/in.geojson")" = "$(stat -c %i "$2/out.geojson")" ] || exit 77; '
                  '"$4" "$1/in.geojson" -o "$2/out.geojson" --overwrite')
        result = subprocess.run(["unshare", "-m", "sh", "-c", script, "sh", inputs, outputs, self.window, TOOL],
                                capture_output=True, text=True, timeout=120)
        if result.returncode == 77 or "unshare failed" in result.stderr:
            self.skipTest("no private tmpfs mounts here: " + result.stderr.strip())
        self.assertEqual(result.returncode, 0, result.stderr)

    def test_a_killed_run_leaves_no_temporary(self):
        grid = self.path("grid.geojson")
        write_geojson(grid, [({}, [[i, -1], [i, 300]]) for i in range(300)] +
                            [({}, [[-1, i], [300, i]]) for i in range(300)])
        self.before = self.snapshot()
        run = subprocess.Popen([TOOL, grid, "--cross", "-q", "-o", self.path("grid.gpkg")],
                               stderr=subprocess.PIPE)
        deadline = time.monotonic() + 60
        while not any(n.startswith(".loopweave-") for n in os.listdir(self.directory.name)):
            self.assertIsNone(run.poll(), "the run ended before it wrote")
            self.assertLess(time.monotonic(), deadline)
            time.sleep(0.01)
        run.send_signal(signal.SIGTERM)
        self.assertEqual(run.wait(timeout=60), -signal.SIGTERM)
        run.stderr.close()
        self.assert_untouched()


def layer_of(path, name=None):
    dataset = gdal.OpenEx(path, gdal.OF_VECTOR)
    return dataset, dataset.GetLayerByName(name) if name else dataset.GetLayer(0)


class RoundTrips(ToolCase):
    """The window, cut, through each format and read back with GDAL: its
    geometry, coordinate system and every field."""

    def test_every_exchange_format_keeps_geometry_crs_and_fields(self):
        _, source = layer_of(self.window)
        crs = source.GetSpatialRef()
        for name in ("gpkg.gpkg", "shp.shp", "csv.csv", "fgb.fgb"):
            with self.subTest(format=name):
                out = self.path(name)
                self.run_ok(self.window, "--cross", "-o", out)
                dataset, layer = layer_of(out, "polygons" if name.endswith(".gpkg") else None)
                self.assertTrue(layer.GetSpatialRef().IsSame(crs))
                fields = [field.GetName() for field in layer.schema]
                self.assertEqual([f for f in fields if f != "WKT"],
                                 ["polygon", "round", "holes", "self_cross", "runs_back", "elements", "area", "keys"])
                features = list(layer)
                self.assertEqual(sorted(f["polygon"] for f in features), [2, 3, 4, 5])
                for feature in features:
                    geometry = feature.GetGeometryRef()
                    self.assertEqual(geometry.GetGeometryName(), "POLYGON")
                    self.assertTrue(geometry.IsValid())
                    self.assertAlmostEqual(geometry.GetArea(), feature["area"])
                    self.assertEqual(len(feature["keys"].split()), feature["elements"])
                del dataset


class OgrHabits(ToolCase):
    """ogr2ogr's options where they fit, on the window."""

    def faces(self, *args):
        out = self.path("out.geojson")
        if os.path.exists(out):
            os.remove(out)
        self.run_ok("--faces", "--cross", "-o", out, "--errors", self.path("side.gpkg"), "--overwrite", *args)
        _, layer = layer_of(out)
        return sorted(feature["area"] for feature in layer)

    def test_source_selection(self):
        self.assertEqual(self.faces(self.window), [4, 4, 4, 4])
        self.assertEqual(self.faces(self.window, "-where", "wall <> 12"), [8, 8])
        self.assertEqual(self.faces(self.window, "-sql", "SELECT * FROM window WHERE label <> 'vertical'"), [8, 8])
        self.assertEqual(self.faces(self.window, "-spat", "-2", "-2", "-0.5", "-0.5"), [])  # no line comes near

    def test_several_sources_are_one_drawing(self):
        square, lines = self.path("square.geojson"), self.path("-lines.geojson")
        write_geojson(square, WINDOW[:1])
        write_geojson(lines, WINDOW[1:])
        self.assertEqual(self.faces(square, "--", lines), [4, 4, 4, 4])

    def test_layer_name_version_and_stream(self):
        out = self.path("rooms.gpkg")
        self.run_ok(self.window, "--cross", "-o", out, "-nln", "rooms")
        dataset, _ = layer_of(out)
        self.assertEqual(sorted(dataset.GetLayer(i).GetName() for i in range(3)), ["dangles", "errors", "rooms"])
        self.assertRegex(self.run_ok("--version").stdout, r"^loopweave \d+\.\d+\.\d+ \(GDAL ")
        streamed = self.run_ok(self.window, "--cross", "-o", "/vsistdout/", "-f", "GeoJSON",
                               "--errors", self.path("errors.gpkg")).stdout
        self.assertEqual(streamed.count('"type": "Feature"'), 4)


if __name__ == "__main__":
    unittest.main()
