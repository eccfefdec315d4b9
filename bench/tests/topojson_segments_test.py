"""The map conversion on a topology small enough to check by hand: a
rectangle drawn as one arc, with a repeated point, split in two by a second
arc. With LOOPWEAVE_BENCH_DRIVER set to this library's driver, the converted
file is also run through it."""

import os
import pathlib
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "maps"))
from topojson_segments import arc_segments, write_segment_file  # noqa: E402

# Quantized points (0,0) (4,0) (4,4) (0,4) on a grid of 0.5 by 0.25 from
# (10, 20): the rectangle from (10, 20) to (12, 21).
TOPOLOGY = {
    "type": "Topology",
    "transform": {"scale": [0.5, 0.25], "translate": [10, 20]},
    "objects": {},
    "arcs": [
        [[0, 0], [4, 0], [0, 4], [0, 0], [-4, 0], [0, -4]],
        [[2, 0], [0, 4]],
    ],
}

EXPECTED = [
    (10.0, 20.0, 12.0, 20.0, 0, 0),
    (12.0, 20.0, 12.0, 21.0, 0, 1),
    # pair 2 repeats the point (12, 21): left out
    (12.0, 21.0, 10.0, 21.0, 0, 3),
    (10.0, 21.0, 10.0, 20.0, 0, 4),
    (11.0, 20.0, 11.0, 21.0, 1, 0),
]


class TopojsonSegmentsTest(unittest.TestCase):
    def test_arcs_are_decoded_transformed_and_split_into_segments(self):
        self.assertEqual(list(arc_segments(TOPOLOGY)), EXPECTED)

    def test_arcs_without_a_transform_are_taken_as_they_are(self):
        topology = {"type": "Topology", "objects": {}, "arcs": [[[0.5, 1], [2, 3], [2, 3], [-1, 0]]]}
        self.assertEqual(list(arc_segments(topology)), [(0.5, 1, 2, 3, 0, 0), (2, 3, -1, 0, 0, 2)])

    def test_the_file_reads_back_to_the_same_doubles(self):
        third = (1 / 3, -2 / 7, 1e-9, 123456.789, 7, 8)
        with tempfile.TemporaryDirectory() as folder:
            path = pathlib.Path(folder) / "one.segments"
            self.assertEqual(write_segment_file([third], path, "a test"), 1)
            lines = path.read_text().splitlines()
        self.assertTrue(lines[0].startswith("# a test"))
        fields = lines[1].split()
        self.assertEqual(tuple(float(f) for f in fields[:4]) + tuple(int(f) for f in fields[4:]), third)

    @unittest.skipUnless(os.environ.get("LOOPWEAVE_BENCH_DRIVER"), "the driver is not named")
    def test_the_driver_cuts_and_forms_the_converted_map(self):
        with tempfile.TemporaryDirectory() as folder:
            write_segment_file(arc_segments(TOPOLOGY), pathlib.Path(folder) / "tiny.segments", "a test")
            done = subprocess.run([os.environ["LOOPWEAVE_BENCH_DRIVER"], "map:tiny"], capture_output=True,
                                  text=True, check=True, env=dict(os.environ, BENCH_DATA_DIR=folder))
        # The dividing arc ends on the insides of the long sides and cuts
        # them: 7 edges; two faces and the outer boundary.
        self.assertIn("input=map:tiny status=ok elements=5 edges=7 polygons=3 ", done.stdout)


if __name__ == "__main__":
    unittest.main()
