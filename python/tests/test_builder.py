"""loopweave.Builder: the library's builder one to one, and its ownership
rules: a polygon lives until its builder forms again, never longer, and
never dangles."""

import gc

import numpy as np
import pytest

import loopweave

from conftest import WINDOW


def formed(lines=WINDOW, cut=True):
    builder = loopweave.Builder()
    builder.entry_many(lines, np.arange(2 * len(lines), dtype=np.int32).reshape(-1, 2))
    if cut:
        builder.insert_cross_point()
    builder.making_polygon()
    return builder


def test_the_window_cut_and_formed():
    builder = formed()
    ends, keys = builder.elements()
    assert ends.shape == (16, 4) and ends.dtype == np.float64 and keys.dtype == np.int32
    polygons = builder.polygons()
    assert sorted(p.round for p in polygons) == [-1, 1, 1, 1, 1]
    boundary = next(p for p in polygons if p.round < 0)
    assert boundary.returns and not boundary.critical and not boundary.cross
    chain, chain_keys = boundary.chain()
    assert chain.shape == (boundary.count, 4)
    assert set(map(tuple, chain_keys)) <= set(map(tuple, keys))  # keys survive every cut
    points, flags = boundary.error_points()
    assert {tuple(p) for p, f in zip(points, flags) if f == 2} >= {(2, -1), (5, 2), (2, 5), (-1, 2)}
    boundary.remove_return_line()
    assert not boundary.returns and boundary.count == 8


def test_entry_and_frame_one_by_one():
    builder = loopweave.Builder()
    builder.entry(1, 1, 3, 3, 5, 6)
    builder.add_frame_line(0, 0, 4, 4, -1, -1)
    builder.insert_cross_point()
    # The frame's face and outer boundary, and the diagonal, a group of its own.
    assert builder.making_polygon() == 3
    builder.remove_element()
    assert builder.elements()[0].shape == (0, 4)
    assert len(builder.polygons()) == 3  # polygons stay when the elements go


def test_polygons_outlive_their_builder():
    polygons = formed().polygons()
    gc.collect()
    assert sorted(p.count for p in polygons if p.round > 0) == [4, 4, 4, 4]
    assert all(p.chain()[0].shape[1] == 4 for p in polygons)


def test_a_builder_reused_deletes_the_polygons_before():
    builder = formed()
    old = builder.polygons()
    builder.remove_element()
    builder.entry_many(np.array([[0, 0, 1, 0], [1, 0, 0, 1], [0, 1, 0, 0]], dtype=np.float64))
    assert builder.making_polygon() == 2
    for read in (lambda p: p.round, lambda p: p.chain(), lambda p: p.remove_return_line()):
        with pytest.raises(RuntimeError, match="formed polygons again"):
            read(old[0])
    assert sorted(p.round for p in builder.polygons()) == [-1, 1]


@pytest.mark.parametrize("lines, keys, error, message", [
    (np.zeros((3, 4), dtype=np.float32), None, TypeError, "float64"),
    (np.zeros((3, 3)), None, ValueError, r"\(n, 4\)"),
    (np.zeros(4), None, ValueError, r"\(4,\)"),
    ([[0.0, 0, 1, 1]], None, TypeError, "NumPy array"),
    (np.zeros((3, 4)), np.zeros((3, 2), dtype=np.int64), TypeError, "int32"),
    (np.zeros((3, 4)), np.zeros((2, 2), dtype=np.int32), ValueError, r"\(3, 2\)"),
])
def test_entry_many_refuses_what_does_not_fit(lines, keys, error, message):
    builder = loopweave.Builder()
    with pytest.raises(error, match=message):
        builder.entry_many(lines, keys)
    assert builder.elements()[0].shape == (0, 4)
