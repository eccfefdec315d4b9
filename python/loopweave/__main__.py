"""python3 -m loopweave SOURCE... -o OUT [--workers N | --scheduler ADDRESS]:
the command-line tool's main run on a Dask cluster.

The sources are read through GDAL (OGR), each layer in partitions of
features read by the workers; every pair of consecutive points of a feature
is a segment, keyed by the feature's number across the sources and the
segment's index within it. Labels (--labels), a small set of points, are
read on the client. The faces, dangles and error points stay on the workers
and are written in pieces as the partitions complete (layer_writer.py), so
the client never holds the whole result, to one GeoPackage (three layers,
in the single process's order by FID) or FlatGeobuf (the faces) through a
temporary file beside the output, renamed onto it on success only: an
existing output is kept unless --overwrite is given, and a failed or
interrupted run leaves nothing behind.
"""

import argparse
import os
import signal
import sys

import numpy as np

from loopweave import inputs, layer_writer

_FEATURES_PER_PARTITION = 50000
_DRIVERS = {".gpkg": "GPKG", ".fgb": "FlatGeobuf"}
_CONTRACTS = {"exact": "the single process's result, bit for bit",
              "tiled": "run in tiles: the single process's faces, not its bits"}


def _arguments(argv):
    parser = argparse.ArgumentParser(prog="python3 -m loopweave", description=__doc__.split("\n\n")[0])
    parser.add_argument("sources", nargs="+", metavar="SOURCE", help="files or datasets GDAL reads")
    parser.add_argument("-o", "--output", required=True, help="a .gpkg or .fgb file")
    where = parser.add_mutually_exclusive_group()
    where.add_argument("--workers", type=int, help="a local cluster of N workers (default: one per core)")
    where.add_argument("--scheduler", help="the address of a running Dask scheduler, tcp://host:8786")
    parser.add_argument("--cross", action="store_true", help="cut the lines where they cross")
    parser.add_argument("--tolerance", type=float, help="ends closer than this meet, and land on lines")
    parser.add_argument("--frame", help="extent, or x1,y1,x2,y2: a rectangle added around the lines")
    parser.add_argument("--frame-margin", type=float, default=0.0)
    parser.add_argument("--remove-returns", action="store_true")
    parser.add_argument("--labels", metavar="SOURCE", help="points whose fields go onto the faces that hold them")
    parser.add_argument("--overwrite", action="store_true", help="replace an existing output")
    options = parser.parse_args(argv)
    if os.path.splitext(options.output)[1].lower() not in _DRIVERS:
        parser.error(f"-o: the output must end in {' or '.join(_DRIVERS)}")
    if os.path.lexists(options.output) and not options.overwrite:
        parser.error(f"{options.output} exists; give --overwrite to replace it")
    if options.frame not in (None, "extent"):
        try:
            options.frame = tuple(float(c) for c in options.frame.split(","))
        except ValueError:
            parser.error("--frame: expected extent or x1,y1,x2,y2")
    if options.frame_margin and options.frame is None:
        parser.error("--frame-margin needs --frame")
    return options


def _layer_parts(sources):
    """(source, layer index, first feature, count, first key) of every
    partition, and the CRS (WKT) of the first layer."""
    from osgeo import ogr

    parts, crs, key = [], None, 0
    for source in sources:
        dataset = ogr.Open(source)
        if dataset is None:
            raise SystemExit(f"loopweave: cannot open {source}")
        for index in range(dataset.GetLayerCount()):
            layer = dataset.GetLayer(index)
            reference = layer.GetSpatialRef()
            if crs is None and reference is not None:
                crs = reference.ExportToWkt()
            count = layer.GetFeatureCount()
            for first in range(0, count, _FEATURES_PER_PARTITION):
                size = min(_FEATURES_PER_PARTITION, count - first)
                parts.append((source, index, first, size, key + first))
            key += count
    return parts, crs


def _read_part(source, index, first, count, first_key):
    """(segments (n, 4), keys (n, 2)) of the features [first, first + count)."""
    from osgeo import ogr

    dataset = ogr.Open(source)  # held while its layer is read: the layer does not keep it alive
    layer = dataset.GetLayer(index)
    layer.SetNextByIndex(first)
    segments, keys = [], []
    for number in range(count):
        feature = layer.GetNextFeature()
        geometry = feature.GetGeometryRef() if feature is not None else None
        if geometry is None:
            continue
        points = []
        _add_paths(geometry, points)
        n = 0
        for path in points:
            if len(path) > 1:
                segments.append(np.hstack([path[:-1], path[1:]]))
                keys.append(np.column_stack([np.full(len(path) - 1, first_key + number),
                                             np.arange(n, n + len(path) - 1)]))
                n += len(path) - 1
    if not segments:
        return np.empty((0, 4)), np.empty((0, 2), dtype=np.int64)
    return np.vstack(segments), np.vstack(keys).astype(np.int64)


def _add_paths(geometry, paths):
    if geometry.GetGeometryCount() > 0:
        for i in range(geometry.GetGeometryCount()):
            _add_paths(geometry.GetGeometryRef(i), paths)
    elif geometry.GetPointCount() > 1:
        paths.append(np.array(geometry.GetPoints(), dtype=np.float64)[:, :2])


def _lines(parts):
    import dask
    import dask.array as da

    read = [dask.delayed(_read_part, nout=2)(*part) for part in parts]
    sizes = dask.compute(*[dask.delayed(len)(segments) for segments, _ in read])
    lines = da.concatenate([da.from_delayed(s, (n, 4), np.float64) for (s, _), n in zip(read, sizes)])
    keys = da.concatenate([da.from_delayed(k, (n, 2), np.int64) for (_, k), n in zip(read, sizes)])
    return lines, keys


def _labels(source, crs):
    """The labels' points in the lines' coordinates, without a CRS (the lines
    on the workers have none), or None."""
    if source is None:
        return None
    import geopandas

    labels = geopandas.read_file(source)
    if labels.crs is not None and crs is not None:
        labels = labels.to_crs(crs)
    labels.crs = None
    return labels


def _write(client, kept, label_table, crs, output):
    """Writes the layers to a temporary file beside `output`, then renames it
    onto the output; nothing is left behind on any failure or interruption.
    The features written per layer."""
    directory, name = os.path.split(os.path.abspath(output))
    extension = os.path.splitext(name)[1].lower()
    temporary = os.path.join(directory, f".{name}.{os.getpid()}.partial{extension}")
    try:
        names = ["faces"] + (["dangles", "errors"] if _DRIVERS[extension] == "GPKG" else [])
        counts = layer_writer.write(client, kept, label_table, temporary, _DRIVERS[extension], names, crs)
        os.replace(temporary, output)
        return counts
    finally:
        if os.path.lexists(temporary):
            os.remove(temporary)


def main(argv=None):
    options = _arguments(sys.argv[1:] if argv is None else argv)
    from distributed import Client

    import loopweave.dask

    if options.scheduler:
        client, cluster = Client(options.scheduler), None
    else:
        cluster = loopweave.dask.local_cluster(options.workers)
        client = Client(cluster)
    try:
        parts, crs = _layer_parts(options.sources)
        lines, keys = _lines(parts)
        labels = _labels(options.labels, crs)
        kept = loopweave.dask.polygonize(lines, keys=keys, client=client, cross=options.cross, frame=options.frame,
                                         frame_margin=options.frame_margin, tolerance=options.tolerance,
                                         remove_returns=options.remove_returns, labels=labels, gather=False)
        label_table = None if labels is None else inputs.points_of(labels)[1]
        counts = _write(client, kept, label_table, crs, options.output)
        print(f"loopweave: {counts['faces']} faces, {counts.get('dangles', 0)} dangles, "
              f"{counts.get('errors', 0)} error points written to {options.output} ({_CONTRACTS[kept.contract]})")
    finally:
        client.close()
        if cluster is not None:
            cluster.close()


def _stop(number, frame):
    _stopped_by.append(number)
    raise KeyboardInterrupt


_stopped_by = []

if __name__ == "__main__":
    # Ctrl-C, a termination and a closed terminal unwind through the clean-up
    # of the output (SIGHUP's default killed the run outright and left the
    # partial output behind), then end the process by the same signal, as
    # the tool does, so that a calling shell sees how it ended.
    for stop in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(stop, _stop)
    try:
        main()
    except KeyboardInterrupt:
        number = _stopped_by[0] if _stopped_by else signal.SIGINT
        signal.signal(number, signal.SIG_DFL)
        os.kill(os.getpid(), number)
