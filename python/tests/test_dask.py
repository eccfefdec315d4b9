"""loopweave.dask against loopweave.polygonize on a cluster of two workers:
the same layers to the bit, in the same order, and the same errors; or, for
groups run in tiles, the same faces, dangles and error points."""

import math
import os

import numpy as np
import pytest

da = pytest.importorskip("dask.array")
distributed = pytest.importorskip("distributed")

import loopweave  # noqa: E402
import loopweave.dask as lwdask  # noqa: E402
from loopweave import inputs  # noqa: E402


@pytest.fixture(scope="module")
def client():
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=":0") as cluster, distributed.Client(cluster) as client:
        yield client


def assert_same(expected, actual):
    for name in expected._fields:
        assert_same_rows(getattr(expected, name), getattr(actual, name), name)
    assert expected.account == actual.account
    assert expected.scale == actual.scale


def assert_same_rows(a, b, name):
    assert list(a.columns) == list(b.columns), name
    assert [g.wkb for g in a.geometry] == [g.wkb for g in b.geometry], name
    for column in a.columns.drop(a.geometry.name):
        assert a[column].tolist() == b[column].tolist(), (name, column)


def rectangle(x, y, w, h):
    return [(x, y, x + w, y), (x + w, y, x + w, y + h), (x + w, y + h, x, y + h), (x, y + h, x, y)]


def scattered_rooms(rng, count):
    """Rooms at random places, some with a wall left open or stopping short,
    an island inside, a partition ending in the room, or a fence out of it:
    many contact groups, holes across groups, dangles, runs stripped from
    faces, ends for a tolerance to join."""
    lines = []
    for _ in range(count):
        x, y = rng.integers(0, 60, 2) * 10.0
        w, h = rng.integers(3, 9, 2).astype(float)
        room = rectangle(x, y, w, h)
        kind = rng.integers(0, 6)
        if kind == 5:
            room[1] = (x + w, y + 0.3, x + w, y + h)  # a wall stopping short of its corner
        elif kind == 1:
            room[2] = (x + w, y + h, x + w / 2, y + h)  # a doorway
        elif kind == 2:
            room += rectangle(x + 1, y + 1, 1, 1)  # an island, a hole of the room
        elif kind == 3:
            room.append((x, y + h / 2, x + w / 2, y + h / 2))  # a partition ending inside
        elif kind == 4:
            room.append((x + w, y, x + w + 1.5, y - 1.5))  # a fence
        lines += room
    return np.array(lines)


def turned_grid(n, angle):
    c, s = math.cos(angle), math.sin(angle)
    lines = []
    for i in range(n + 1):
        for a, b in (((i, 0), (i, n)), ((0, i), (n, i))):
            lines.append((c * a[0] - s * a[1], s * a[0] + c * a[1], c * b[0] - s * b[1], s * b[0] + c * b[1]))
    return np.array(lines) * 3.7


def street_blocks(rng, n):
    """A street map drawn block by block: an n x n grid of blocks, each block
    side its own segment, the corners jittered and the whole turned."""
    corners = np.stack(np.meshgrid(np.arange(n + 1.0), np.arange(n + 1.0), indexing="ij"), -1)
    corners = (corners + rng.normal(0, 0.05, corners.shape)) @ np.array([[0.96, 0.28], [-0.28, 0.96]]) * 100
    across = np.concatenate([corners[:-1], corners[1:]], -1).reshape(-1, 4)
    along = np.concatenate([corners[:, :-1], corners[:, 1:]], -1).reshape(-1, 4)
    return np.vstack([across, along])


def labels_over(rng, lines):
    """Points over the drawing's extent, named by their rows."""
    geopandas = pytest.importorskip("geopandas")
    low, high = lines.reshape(-1, 2).min(axis=0), lines.reshape(-1, 2).max(axis=0)
    xy = low + rng.random((len(lines), 2)) * (high - low)
    return geopandas.GeoDataFrame({"name": [f"p{i}" for i in range(len(xy))]},
                                  geometry=geopandas.points_from_xy(xy[:, 0], xy[:, 1]))


def random_segments(rng, n):
    start = rng.random((n, 2)) * 100
    end = start + (rng.random((n, 2)) - 0.5) * 12
    return np.hstack([start, end])


def state_borders():
    """The U.S. state borders, each border once: a real map, one giant group."""
    geopandas = pytest.importorskip("geopandas")
    path = os.path.join(os.environ.get("LOOPWEAVE_DATA", "data"), "us_state_borders.geojson")
    return inputs.segments_of(geopandas.read_file(path))[0]


@pytest.mark.parametrize("drawing", ["rooms", "grid", "random", "map"])
def test_same_layers_as_one_process(client, drawing):
    rng = np.random.default_rng(7)
    lines = {"rooms": lambda: scattered_rooms(rng, 400), "grid": lambda: turned_grid(12, 0.3),
             "random": lambda: random_segments(rng, 600), "map": state_borders}[drawing]()
    keys = np.column_stack([np.arange(len(lines)) * 3, np.arange(len(lines)) % 7])
    chunks = max(1, len(lines) // 5)
    labels = labels_over(rng, lines)
    for options in ({"labels": labels}, {"holes": False, "remove_returns": True}, {"cross": False},
                    {"tolerance": 0.6, "labels": labels.geometry}):
        expected = loopweave.polygonize(lines, keys=keys, **options)
        actual = lwdask.polygonize(da.from_array(lines, chunks=(chunks, 4)), keys=da.from_array(keys, chunks=(99, 2)),
                                   client=client, **options)
        assert_same(expected, actual)


@pytest.mark.parametrize("frame", [None, "extent"])
def test_layers_kept_on_the_workers_hold_the_same_rows(client, frame):
    rng = np.random.default_rng(11)
    lines = scattered_rooms(rng, 200)
    points = labels_over(rng, lines).geometry
    labels = np.column_stack([points.x, points.y])
    expected = loopweave.polygonize(lines, frame=frame, labels=labels)
    kept = lwdask.polygonize(da.from_array(lines, chunks=(150, 4)), client=client, frame=frame, labels=labels,
                             gather=False)
    assert kept.account == expected.account and kept.scale == expected.scale
    for name in ("polygons", "dangles", "errors"):
        rows = getattr(kept, name).compute().sort_values("place")
        assert rows["polygon"].tolist() == getattr(expected, name)["polygon"].tolist(), name
        if name != "errors":
            assert rows["wkb"].tolist() == [g.wkb for g in getattr(expected, name).geometry], name
    # A face that needs repair is one row here, its parts' rows there.
    faces = kept.faces.compute().sort_values("place")
    assert faces["polygon"].tolist() == expected.faces["polygon"].unique().tolist()
    assert faces["labels"].tolist() == expected.faces.drop_duplicates("polygon")["labels"].tolist()


def test_calls_with_the_same_labels_each_keep_their_own(client):
    # Scattered under one key named by their hash, the labels of one call
    # were deleted as the call before released them: lost data, about one
    # call in seven.
    rng = np.random.default_rng(5)
    lines = scattered_rooms(rng, 30)
    points = labels_over(rng, lines).geometry
    labels = np.column_stack([points.x, points.y])
    expected = loopweave.polygonize(lines, labels=labels).faces.drop_duplicates("polygon")["labels"].tolist()
    for _ in range(12):
        kept = lwdask.polygonize(da.from_array(lines, chunks=(40, 4)), client=client, labels=labels, gather=False)
        assert kept.faces.compute().sort_values("place")["labels"].tolist() == expected


def test_framed_dataframe_with_empty_partition(client):
    dd = pytest.importorskip("dask.dataframe")
    import pandas

    lines = scattered_rooms(np.random.default_rng(3), 50)
    table = pandas.DataFrame(lines, columns=["sx", "sy", "ex", "ey"]).assign(key1=np.arange(len(lines)) + 5, key2=1)
    frame = dd.from_pandas(table, npartitions=4)
    frame = dd.concat([frame, dd.from_pandas(table.iloc[:0], npartitions=1)])
    keys = table[["key1", "key2"]].to_numpy()
    assert_same(loopweave.polygonize(lines, keys=keys, frame="extent", frame_margin=2),
                lwdask.polygonize(frame, client=client, frame="extent", frame_margin=2))
    assert_same(loopweave.polygonize(lines, keys=keys), lwdask.polygonize(frame, client=client))


def test_bad_input_gives_the_single_process_errors(client):
    lines = turned_grid(6, 0.1)
    bad = lines.copy()
    bad[9:, :] = np.nan
    for wrong, keys in ((bad, None), (lines[:, :3], None), (lines, np.zeros((len(lines), 3), dtype=np.int64)),
                        (lines, np.zeros((len(lines), 2))), (lines[:0], None)):
        with pytest.raises((TypeError, ValueError)) as expected:
            loopweave.polygonize(wrong, keys=keys)
        with pytest.raises(expected.type) as actual:
            lwdask.polygonize(da.from_array(wrong, chunks=(4, -1)),
                              keys=None if keys is None else da.from_array(keys, chunks=(4, -1)), client=client)
        assert str(actual.value) == str(expected.value)


def test_command_writes_the_layers_once_and_safely(client, tmp_path, monkeypatch):
    geopandas = pytest.importorskip("geopandas")
    from shapely.geometry import LineString

    from loopweave import layer_writer
    from loopweave.__main__ import main

    # A row a piece: the polygons of a repaired face arrive apart.
    monkeypatch.setattr(layer_writer, "_ROWS_PER_PIECE", 1)

    rng = np.random.default_rng(5)
    source, labels = tmp_path / "rooms.geojson", tmp_path / "labels.geojson"
    # Lopsided bow ties, uncut, are faces that cross themselves: each
    # repaired into two polygons, two features, that move the FIDs after them on.
    bow_ties = [[(x, 0, x + 6, 4), (x + 6, 4, x + 6, 0), (x + 6, 0, x, 2), (x, 2, x, 0)] for x in (-90, 300, 700)]
    lines = np.vstack([scattered_rooms(rng, 60), *bow_ties])
    drawing = geopandas.GeoDataFrame(geometry=[LineString([l[:2], l[2:]]) for l in lines], crs="EPSG:3857")
    drawing.to_file(source)
    labels_over(rng, lines).set_crs("EPSG:3857").to_crs("EPSG:4326").to_file(labels)
    output = tmp_path / "faces.gpkg"
    address = ["--scheduler", client.scheduler.address]
    main([str(source), "-o", str(output), "--labels", str(labels), *address])
    expected = loopweave.polygonize(geopandas.read_file(source), cross=False, labels=geopandas.read_file(labels))
    assert expected.faces["polygon"].duplicated().any()
    gathered = tmp_path / "gathered.gpkg"
    for layer in ("faces", "dangles", "errors"):
        getattr(expected, layer).to_file(gathered, layer=layer)
        # Read in the order of the FIDs.
        written, wanted = (geopandas.read_file(path, layer=layer) for path in (output, gathered))
        assert_same_rows(wanted, written, layer)
        assert written.crs == wanted.crs
    with pytest.raises(SystemExit):  # no --overwrite
        main([str(source), "-o", str(output), *address])
    before = output.read_bytes()
    with pytest.raises(SystemExit):  # a source GDAL cannot open
        main([str(tmp_path / "missing.shp"), "-o", str(output), "--overwrite", *address])
    assert output.read_bytes() == before
    assert sorted(p.name for p in tmp_path.iterdir()) == ["faces.gpkg", "gathered.gpkg", "labels.geojson", "rooms.geojson"]


@pytest.mark.parametrize("stop", ["SIGINT", "SIGHUP"])
def test_command_stopped_by_a_signal_leaves_nothing(tmp_path, stop):
    import signal
    import subprocess
    import sys
    import time

    geopandas = pytest.importorskip("geopandas")
    from shapely.geometry import LineString

    lines = street_blocks(np.random.default_rng(23), 150)
    geopandas.GeoDataFrame(geometry=[LineString([l[:2], l[2:]]) for l in lines]).to_file(tmp_path / "streets.gpkg")
    # The package found from any directory; Ctrl-C heard even where a shell
    # running the tests in the background has its children ignore it.
    environment = {**os.environ, "PYTHONPATH": os.path.dirname(os.path.dirname(os.path.abspath(loopweave.__file__)))}
    command = subprocess.Popen([sys.executable, "-m", "loopweave", "streets.gpkg", "-o", "faces.gpkg",
                                "--workers", "1"], cwd=tmp_path, env=environment, stderr=subprocess.PIPE, text=True,
                               preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))
    while command.poll() is None and not any(".partial" in p.name for p in tmp_path.iterdir()):
        time.sleep(0.01)
    command.send_signal(getattr(signal, stop))
    assert command.wait(60) == -getattr(signal, stop)  # ended by the signal, after cleaning up
    assert "Traceback" not in command.stderr.read()
    assert [p.name for p in tmp_path.iterdir()] == ["streets.gpkg"]


def assert_same_sets(expected, actual):
    """The tiled contract: the same faces (keys, holes, rings within
    rounding), dangles (either way round) and error points, in any order."""
    def faces(result):
        named = [result.faces[name] for name in ("keys", "holes", "labels") if name in result.faces]
        return sorted(zip(*named, result.faces.geometry), key=lambda f: f[:-1])

    assert actual.contract == "tiled"
    assert [f[:-1] for f in faces(expected)] == [f[:-1] for f in faces(actual)]
    for a, b in zip(faces(expected), faces(actual)):
        assert a[-1].normalize().equals_exact(b[-1].normalize(), 1e-9)

    def dangles(result):
        ends = [np.round(np.array(g.coords), 9) for g in result.dangles.geometry]
        return sorted(sorted([c.tobytes(), c[::-1].tobytes()]) for c in ends)

    assert dangles(expected) == dangles(actual)
    errors = [sorted(zip(r.errors["flag"], r.errors.geometry.x, r.errors.geometry.y)) for r in (expected, actual)]
    assert errors[0] == errors[1]


@pytest.mark.parametrize("drawing", ["grid", "random", "map"])
def test_tiles_give_the_same_faces(client, drawing):
    rng = np.random.default_rng(17)
    lines, tile_segments = {"grid": lambda: (turned_grid(30, 0.3), 40),
                            "random": lambda: (random_segments(rng, 2000), 40),
                            "map": lambda: (state_borders(), 600)}[drawing]()
    for options in ({"labels": labels_over(rng, lines).geometry}, {"holes": False}):
        expected = loopweave.polygonize(lines, **options)
        actual = lwdask.polygonize(da.from_array(lines, chunks=(len(lines) // 3, 4)), client=client,
                                   tile_segments=tile_segments, **options)
        assert_same_sets(expected, actual)
    assert lwdask.polygonize(da.from_array(lines, chunks=(len(lines) // 3, 4)), client=client).contract == "exact"


def test_tiles_left_on_the_workers_where_a_layer_is_empty_in_some(client):
    # A fence at the grid's far corner: the first tile has no dangles, the
    # last one has, and each layer's columns keep their types either way.
    lines = turned_grid(30, 0.3)
    corner = lines[:, 2:].max(axis=0)
    lines = np.vstack([lines, [(*lines[np.argmax(lines[:, 3]), 2:], *(corner + 5))]])
    kept = lwdask.polygonize(da.from_array(lines, chunks=(len(lines) // 3, 4)), client=client, tile_segments=40,
                             gather=False)
    expected = loopweave.polygonize(lines)
    assert [len(getattr(kept, name).compute()) for name in expected._fields] == [len(layer) for layer in expected]


def test_workers_with_less_memory_than_one_process_run_a_street_map_in_tiles():
    # 180,600 segments. One process polygonizing them peaks at 299 MiB
    # (ru_maxrss of a fresh /usr/bin/python3 that imports loopweave and numpy,
    # draws them and calls loopweave.polygonize); each worker here may use
    # 267 MiB, of which its interpreter and libraries take 104: the budget
    # left gives four tiles, and the workers peaked at 187-197 MiB.
    lines = street_blocks(np.random.default_rng(19), 300)
    limit = 280_000_000
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, memory_limit=limit,
                                  dashboard_address=":0") as cluster, distributed.Client(cluster) as client:
        actual = lwdask.polygonize(da.from_array(lines, chunks=(len(lines) // 4, 4)), client=client)
        peaks = client.run(_peak_memory)
    assert_same_sets(loopweave.polygonize(lines), actual)
    assert max(peaks.values()) < limit


def _peak_memory():
    import resource

    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024


@pytest.mark.parametrize("tile_segments", [10**9, None])
def test_a_worker_killed_during_a_run_costs_only_its_tasks(client, tile_segments):
    import os
    import signal
    import threading
    import time

    lines = street_blocks(np.random.default_rng(13), 150)  # on two workers, run in tiles unless kept whole
    run = "_run_bin" if tile_segments else "_run_tile"
    pids, killed, done = client.run(os.getpid), [], threading.Event()

    def kill_a_worker_running(run):
        while not done.wait(0.005):
            running = [w for w, keys in client.processing().items() if any(str(k).startswith(run) for k in keys)]
            if running:
                os.kill(pids[running[0]], signal.SIGKILL)
                return killed.append(running[0])

    killer = threading.Thread(target=kill_a_worker_running, args=(run,))
    killer.start()
    try:
        actual = lwdask.polygonize(da.from_array(lines, chunks=(len(lines) // 4, 4)), client=client,
                                   tile_segments=tile_segments)
    finally:
        done.set()
        killer.join()
    assert killed
    expected = loopweave.polygonize(lines)
    if tile_segments:
        assert_same(expected, actual)
    else:
        assert_same_sets(expected, actual)
