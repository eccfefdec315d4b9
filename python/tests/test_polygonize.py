"""loopweave.polygonize: faces with holes as a GIS expects them, the same
bits as the command-line tool, a round trip through GeoPackage, and input
it cannot take refused with a clear error."""

import _thread
import os
import subprocess
import threading

import geopandas as gpd
import numpy as np
import pytest
from shapely.geometry import LineString, MultiLineString, Point

import loopweave

from conftest import SQUARE_WITH_ISLAND, random_segments

STATES = os.path.join(os.environ.get("LOOPWEAVE_DATA", "data"), "us_state_borders.geojson")
TOOL = os.environ.get("LOOPWEAVE_TOOL", "loopweave")


def test_an_island_is_a_hole_of_the_face_around_it():
    result = loopweave.polygonize(SQUARE_WITH_ISLAND)
    assert sorted(result.faces.area) == [16, 84]
    assert sorted(result.faces.holes) == [0, 1]
    assert result.faces.is_valid.all()
    assert len(result.polygons) == 4 and result.dangles.empty and result.errors.empty
    # Keys: the row and 0 for an array.
    assert set(result.faces["keys"][result.faces.holes == 1].iloc[0].split()) == {"0,0", "1,0", "2,0", "3,0"}


def test_shapely_lines_labels_and_dangles():
    walls = [LineString([(0, 0), (4, 0), (4, 4), (0, 4), (0, 0)]),
             MultiLineString([[(2, 0), (2, 1)], [(2, 3), (2, 4)]])]  # a wall with a doorway
    labels = gpd.GeoDataFrame({"name": ["hall", "yard"]}, geometry=[Point(1, 1), Point(9, 9)])
    result = loopweave.polygonize(walls, labels=labels)
    face = result.faces.iloc[0]
    assert len(result.faces) == 1 and face["area"] == 16 and face["labels"] == 1 and face["name"] == "hall"
    # The two halves of the broken wall bound no area: dangles, keyed by feature and segment.
    assert sorted(result.dangles["keys"]) == ["1,0", "1,1"]
    assert result.errors.empty
    # As formed, the face runs back along the stubs: no simple ring, and the
    # diagnosis points at the turning points.
    as_formed = loopweave.polygonize(walls, holes=False)
    assert as_formed.faces.empty and set(as_formed.errors.flag) == {2}


def test_a_tolerance_is_a_distance_and_every_segment_is_accounted_for():
    # A 10 m room whose walls stop 5 cm short of each other, a wall drawn
    # twice, and a post of no length: at 0.1 m the room closes.
    gap = np.array([[0, 0, 10, 0], [10, 0, 10, 10], [10, 10, 0, 10], [0, 10, 0, 0.05],
                    [10, 0, 10, 10], [20, 20, 20, 20]], dtype=float)
    assert loopweave.polygonize(gap).faces.empty
    result = loopweave.polygonize(gap, tolerance=0.1)
    assert list(result.faces.area) == [100]
    assert result.account == dict(result.account, in_faces=4, drawn_again=1, zero_length=1, lost=0)
    assert result.scale["meeting_distance"] < 1e-8 and result.scale["resolved"]


def test_keys_from_integer_columns():
    walls = gpd.GeoDataFrame({"wall": [10, 11], "part": [7, 8]},
                             geometry=[LineString([(0, 0), (4, 0), (4, 4)]), LineString([(4, 4), (0, 4), (0, 0)])])
    both = loopweave.polygonize(walls, keys=["wall", "part"]).faces["keys"].iloc[0].split()
    assert sorted(both) == ["10,7", "10,7", "11,8", "11,8"]
    first = loopweave.polygonize(walls, keys="wall").faces["keys"].iloc[0].split()
    assert sorted(first) == ["10,0", "10,1", "11,0", "11,1"]  # the segment's index within the feature
    with pytest.raises(TypeError, match="integers"):
        loopweave.polygonize(walls.assign(wall=["a", "b"]), keys="wall")


def test_one_crs_for_lines_and_labels():
    square = LineString([(-75.01, 39.99), (-74.99, 39.99), (-74.99, 40.01), (-75.01, 40.01), (-75.01, 39.99)])
    cross = [LineString([(-75, 39.98), (-75, 40.02)]), LineString([(-75.02, 40), (-74.98, 40)])]
    lines = [gpd.GeoSeries([square], crs=4326), gpd.GeoDataFrame({"wall": [1, 2]}, geometry=cross, crs=4326)]
    bare_labels = gpd.GeoDataFrame({"name": ["sw"]}, geometry=[Point(-75.005, 39.995)])
    labels = bare_labels.set_crs(4326).to_crs(3857)
    result = loopweave.polygonize(lines, labels=labels)
    assert len(result.faces) == 4 and result.faces.crs == lines[0].crs
    labelled = result.faces[result.faces["name"] == "sw"]  # the label, back in degrees, in the south-west face
    assert tuple(labelled.total_bounds.round(6)) == (-75.01, 39.99, -75, 40)
    assert {int(k.split(",")[0]) for k in " ".join(result.faces["keys"]).split()} == {0, 1, 2}  # rows continue
    with pytest.raises(ValueError, match=r"lines\[1\] is in WGS 84 / Pseudo-Mercator .* to_crs"):
        loopweave.polygonize([lines[0], lines[1].to_crs(3857)])
    with pytest.raises(ValueError, match="the labels have a CRS but the lines have none"):
        loopweave.polygonize([square, *cross], labels=labels)
    with pytest.raises(ValueError, match="the lines have a CRS but the labels have none"):
        loopweave.polygonize(lines, labels=bare_labels)


def test_same_faces_as_the_tool(tmp_path):
    output = tmp_path / "states.gpkg"
    subprocess.run([TOOL, STATES, "--cross", "--frame", "extent", "--frame-margin", "10", "-q",
                    "-o", str(output)], check=True, timeout=120)
    tool = gpd.read_file(output, layer="polygons")
    ours = loopweave.polygonize(gpd.read_file(STATES), frame="extent", frame_margin=10).faces
    assert len(ours) == len(tool) == 198
    for name in ("polygon", "round", "holes", "elements", "keys"):
        assert list(ours[name]) == list(tool[name]), name
    assert [g.wkb for g in ours.geometry] == [g.wkb for g in tool.geometry]  # bit for bit
    np.testing.assert_allclose(ours["area"], tool["area"], rtol=1e-12)


def test_geopackage_round_trip_keeps_geometry_and_crs(tmp_path):
    # Moved where a UTM zone puts a drawing, far from the origin, in metres.
    lines = gpd.read_file(STATES).geometry.translate(5e5, 5e6).set_crs(32615, allow_override=True)
    result = loopweave.polygonize(lines)
    assert result.faces.crs == lines.crs and result.errors.crs == lines.crs
    path = tmp_path / "faces.gpkg"
    result.faces.to_file(path, layer="faces", driver="GPKG")
    back = gpd.read_file(path, layer="faces")
    assert back.crs == lines.crs
    assert [g.wkb for g in back.geometry] == [g.wkb for g in result.faces.geometry]
    assert back.is_valid.all() and not back.self_cross.any()


def test_interrupted_between_stages_and_run_again():
    lines = random_segments(20000)
    timer = threading.Timer(0.05, _thread.interrupt_main)
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        loopweave.polygonize(lines)
    timer.join()
    assert len(loopweave.polygonize(lines[:100]).polygons) > 0


@pytest.mark.parametrize("lines, options, error, message", [
    (np.zeros((0, 4)), {}, ValueError, "no line segments"),
    (np.array([[0, 0, 1, np.nan]]), {}, ValueError, "not finite"),
    (np.zeros((3, 2)), {}, ValueError, r"\(n, 4\)"),
    (np.array([["a", "b", "c", "d"]]), {}, TypeError, "numbers"),
    (np.zeros((2, 4)), {"keys": np.zeros((2, 2))}, TypeError, "integers"),
    (np.zeros((2, 4)), {"keys": np.full((2, 2), 2**40)}, ValueError, "32 bits"),
    (np.ones((2, 4)), {"tolerance": -1}, ValueError, "positive"),
    (np.ones((2, 4)), {"frame": "around"}, ValueError, "extent"),
    (np.ones((2, 4)), {"frame": 5}, TypeError, "extent"),
    (np.ones((2, 4)), {"labels": np.zeros((2, 3))}, ValueError, r"\(n, 2\)"),
    ([Point(0, 0)], {}, ValueError, "no line segments"),
    (["not a line"], {}, TypeError, "Shapely geometries"),
    (42, {}, TypeError, "not int"),
])
def test_bad_input_is_refused(lines, options, error, message):
    with pytest.raises(error, match=message):
        loopweave.polygonize(lines, **options)
