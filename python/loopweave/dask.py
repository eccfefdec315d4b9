"""loopweave.polygonize on a Dask cluster: drawings larger than one
process's memory, and every core of one machine.

The drawing is split into contact groups (contact_groups.py): sets of
segments that cannot affect each other. The groups are dealt to bins of about
equal size, each bin is polygonized by one task with the whole drawing's
scale, and the bins' layers are put together in the single process's order
(assembly.py). The result is the single process's, bit for bit (the
design note gives the argument). With a tolerance, the drawing is first
snapped in sets of segments that snapping can join, and grouped by the
pieces it makes. With a frame, every segment is one group, run by one task.
A group larger than a task's budget is run in tiles (tiles.py): then the
faces, dangles and error points are the single process's as sets, each
within the library's rounding, and the result's `contract` says "tiled"
instead of "exact".

The client holds only small data: a summary of each partition, the boxes of
the groups each partition holds, and the place of each polygon.
"""

import os

import numpy as np

from . import _loopweave, assembly, contact_groups, inputs, results, tiles
from . import _warn_of, _frame, _tolerance

__all__ = ["local_cluster", "polygonize"]

_DIGIT_BITS = 16  # the median is selected 16 bits of its bit pattern at a time
# A run holds about this many bytes per segment at its peak (measured: 1 KB
# on a street map, 2.5 KB on dense random segments, whose cuts multiply
# them); what a worker's memory limit leaves over the memory it holds,
# divided by both, gives the segments a task may take. The safety also
# covers what the worker holds beside the run: its partitions, the results
# waiting to be gathered.
_BYTES_PER_SEGMENT = 1000
_SAFETY = 4
# Tiles run in parallel only where each is worth its task: a run on fewer
# segments takes a second or two at most (random segments; a street map, a
# fifth of that), and what tiling adds (the second run on the tiles' seams,
# a pass over the partitions) costs about what a second worker saves.
_LEAST_PARALLEL_TILE = 20000


def polygonize(lines, *, keys=None, client=None, cross=True, frame=None, frame_margin=0.0, tolerance=None,
               remove_returns=False, holes=True, labels=None, gather=True, tile_segments=None):
    """loopweave.polygonize with the drawing's partitions processed by Dask's
    workers: the same results, to the bit.

    lines: a Dask array of shape (n, 4) (sx, sy, ex, ey), partitioned by rows,
        or a Dask DataFrame with columns sx, sy, ex, ey and, optionally,
        key1 and key2.
    keys: a Dask array (n, 2) of integers (default: the row and 0, or the
        DataFrame's key1 and key2).
    client: a distributed.Client; None starts a local cluster of one worker
        per core for this call.
    gather: True gives GeoDataFrames, as polygonize; False leaves the layers
        on the workers, as Dask DataFrames of the pipeline's columns, the
        geometry as WKB ("wkb"), each row with its place in polygonize's
        layer ("place"; the partitions are not in that order: sort by it
        where it matters), faces that cross themselves marked needs_repair
        rather than repaired. scale, account and contract come along either way.
    labels: as polygonize's (in memory, sent to every run). With
        gather=False, faces keep the count ("labels") and the row of the
        first label inside ("first_label", -1 for none).
    tile_segments: the most segments one task takes: a larger contact group
        is run in tiles. None derives it from the workers' memory limit and
        from their threads: on several, a group of more than 20,000
        segments and more than half a thread's share of the drawing is run
        in tiles, about two a thread, so that every worker takes part. A
        number beyond the drawing's size keeps every group whole, for the
        exact contract. Not with a tolerance.
    The result's `contract` is "exact" (the single process's bits and order)
    or "tiled" (a group ran in tiles: the same faces, dangles and error
    points, each within the library's rounding, not in the same order; the
    account counts a segment in every run that held it).
    The other options are loopweave.polygonize's.
    """
    if client is None:
        from distributed import Client

        with local_cluster() as cluster, Client(cluster) as local:
            return polygonize(lines, keys=keys, client=local, cross=cross, frame=frame, frame_margin=frame_margin,
                              tolerance=tolerance, remove_returns=remove_returns, holes=holes, labels=labels,
                              gather=gather, tile_segments=tile_segments)
    label_points, label_table = (None, None) if labels is None else inputs.points_of(inputs.labels_in(labels, None))
    # Scattered under a key of its own: named by a hash of the points, a
    # second call with the same labels reused the first call's key, and the
    # first call's release of it could delete the points the second had just
    # scattered ("User asked for computation on lost data").
    options = dict(cross=cross, frame=_frame(frame), frame_margin=float(frame_margin), tolerance=_tolerance(tolerance),
                   remove_returns=remove_returns, holes=holes,
                   labels=None if labels is None else client.scatter(label_points, broadcast=True, hash=False))
    line_blocks, key_blocks = _blocks(lines, keys)
    line_blocks = client.persist(line_blocks)
    key_blocks = key_blocks if key_blocks[0] is None else client.persist(key_blocks)
    summaries = client.gather(client.compute([_summary(b, k) for b, k in zip(line_blocks, key_blocks)]))
    extent, firsts = _checked(summaries)
    if frame is not None:
        # The frame joins every segment: one group.
        runs, contract = [_run_whole(client, line_blocks, key_blocks, firsts, options)], "exact"
    else:
        runs, contract = _runs_in_groups(client, line_blocks, key_blocks, firsts, extent, options,
                                         _tile_budget(client, tile_segments, int(firsts[-1])))
    if not gather:
        kept = _kept(client, runs, labels is not None)
        kept.contract = contract
        return kept
    gathered = [run.columns for run in client.gather(runs)]
    columns = gathered[0] if len(gathered) == 1 else assembly.merged_columns(gathered)
    result = results.polygonized(columns, None, labels is not None, label_table)
    result.contract = contract
    _warn_of(result)
    return result


def local_cluster(n_workers=None, **options):
    """A distributed.LocalCluster as polygonize starts one without a client:
    `n_workers` worker processes (default: one per core) of one thread each;
    `options` go to LocalCluster (memory_limit, for one).

    Its workers keep the C library's own policy for giving memory back.
    Dask's default asks the C library to return freed memory to the system
    at once, and each step then pays again to map and clear the pages it
    had: on this project's 2-core machine, 10^6 segments in rooms took 11.0 s
    on 2 workers with it and 7.0 s without (the single process 14.5 to
    16 s), and each worker's contact groups took five times as long. A
    cluster made for one call has no idle memory to give back between
    calls."""
    import dask
    from distributed import LocalCluster

    environ = {name: value for name, value in dask.config.get("distributed.nanny.pre-spawn-environ").items()
               if name != "MALLOC_TRIM_THRESHOLD_"}
    with dask.config.set({"distributed.nanny.pre-spawn-environ": environ}):
        return LocalCluster(n_workers=n_workers or os.cpu_count() or 1, threads_per_worker=1, processes=True,
                            dashboard_address=":0", **options)


def _tile_budget(client, tile_segments, segments):
    """The most segments a task takes, of a drawing of `segments`; None for no limit."""
    if tile_segments is not None:
        return int(tile_segments)
    workers = client.scheduler_info()["workers"].values()
    threads = sum(client.nthreads().values())
    budgets = []
    if threads > 1:
        # Two tiles a thread, as bins go, so that a thread that finishes
        # early takes one more.
        budgets.append(max(_LEAST_PARALLEL_TILE, -(-segments // (2 * threads))))
    if workers and all(worker.get("memory_limit") for worker in workers):
        # Data Dask manages can be spilled to disk; the rest (the interpreter,
        # its libraries, memory not given back) stays.
        free = min(worker["memory_limit"] - (worker["metrics"]["memory"] - worker["metrics"]["managed_bytes"])
                   for worker in workers)
        budgets.append(max(1, free // (_BYTES_PER_SEGMENT * _SAFETY)))
    return min(budgets, default=None)


def _kept(client, runs, with_labels):
    """The layers as Dask DataFrames on the workers (see polygonize)."""
    import dask.dataframe

    if len(runs) == 1:
        parts = [client.submit(_numbered_as_formed, runs[0])]
    else:
        numbers, places = assembly.renumbering(client.gather([client.submit(_order_keys, r) for r in runs]))
        # A place for every row of a run's layers: tens of MB for a large
        # run, sent as data rather than inside the task graph. Not hashed:
        # naming them by their content would cost a pass over them, and
        # would share one name between calls, as the labels once did.
        orders = client.scatter(list(zip(numbers, places)), hash=False)
        parts = [client.submit(_renumbered, r, order) for r, order in zip(runs, orders)]
    layers = [dask.dataframe.from_delayed([_delayed(_frame_of)(part, layer, with_labels) for part in parts])
              for layer in results.Polygonized._fields]
    kept = results.Polygonized(*layers)
    small = client.gather([client.submit(lambda run: (run.columns["scale"], run.columns["account"]), r)
                           for r in runs])
    kept.scale = small[0][0]
    kept.account = assembly.summed_account([account for _, account in small])
    return kept


def _order_keys(run):
    return assembly.order_keys(run.columns)


def _renumbered(run, order):
    numbers, places = order
    return assembly.renumbered(run.columns, numbers, places)


def _numbered_as_formed(run):
    columns = run.columns
    places = {layer: np.arange(len(columns[layer]["polygon"])) for layer in results.Polygonized._fields}
    return assembly.renumbered(columns, np.arange(1, len(columns["polygons"]["polygon"]) + 1), places)


def _frame_of(part, layer, with_labels):
    import pandas

    # The geometry and the keys come as lists: an empty one would make a
    # column of floats, and the layer's partitions would disagree on its type.
    table = {name: pandas.Series(column, dtype=object) if isinstance(column, list) else column
             for name, column in part[layer].items() if with_labels or name not in ("labels", "first_label")}
    return pandas.DataFrame(table)


def _blocks(lines, keys):
    """Lists of delayed NumPy blocks of the lines and of their keys (None where
    the rows' own numbers are the keys), partitioned alike."""
    if hasattr(lines, "columns"):  # a Dask DataFrame
        missing = [name for name in ("sx", "sy", "ex", "ey") if name not in lines.columns]
        if missing:
            raise ValueError(f"lines: a Dask DataFrame needs the columns sx, sy, ex, ey; {missing} are missing")
        if keys is None and "key1" in lines.columns:
            keys = lines[["key1", "key2"] if "key2" in lines.columns else ["key1"]]
            keys = keys.to_dask_array(lengths=True)
            if keys.shape[1] == 1:
                keys = keys.map_blocks(lambda k: np.column_stack([k[:, 0], np.zeros(len(k), k.dtype)]),
                                       chunks=(keys.chunks[0], (2,)))
        lines = lines[["sx", "sy", "ex", "ey"]].to_dask_array(lengths=True)
    if not hasattr(lines, "to_delayed"):
        raise TypeError(f"lines must be a Dask array or DataFrame, not {type(lines).__name__}; "
                        "loopweave.polygonize takes arrays in memory")
    inputs.check_array_types(lines, keys)
    lines = lines.rechunk({1: 4})
    line_blocks = list(lines.to_delayed().ravel())
    if keys is None:
        return line_blocks, [None] * len(line_blocks)
    return line_blocks, list(keys.rechunk((lines.chunks[0], 2)).to_delayed().ravel())


def _delayed(function):
    import dask

    return dask.delayed(function, pure=True)


def _summary(lines, keys):
    def summarize(lines, keys):
        bad = ~np.isfinite(lines).all(axis=1)
        if keys is not None:
            inputs.checked_keys(keys, "keys")
        finite = lines[~bad]
        extent = None
        if len(finite):
            xs, ys = finite[:, 0::2], finite[:, 1::2]
            extent = (float(xs.min()), float(ys.min()), float(xs.max()), float(ys.max()))
        return {"rows": len(lines), "bad_row": int(np.argmax(bad)) if bad.any() else -1, "extent": extent}

    return _delayed(summarize)(lines, keys)


def _checked(summaries):
    """The drawing's extent and the first row of each partition; the errors
    polygonize gives for the whole, at its first bad row."""
    firsts = np.concatenate([[0], np.cumsum([s["rows"] for s in summaries])])
    for first, summary in zip(firsts, summaries):
        if summary["bad_row"] >= 0:
            raise ValueError(f"lines: a coordinate of row {first + summary['bad_row']} is not finite")
    if firsts[-1] == 0:
        raise ValueError("no line segments to polygonize")
    if firsts[-1] - 1 > np.iinfo(np.int32).max:
        raise ValueError("keys must fit in 32 bits, as the library's keys do")
    extents = np.array([s["extent"] for s in summaries if s["extent"] is not None])
    return (extents[:, 0].min(), extents[:, 1].min(), extents[:, 2].max(), extents[:, 3].max()), firsts


def _block_keys(lines, keys, first):
    if keys is not None:
        return inputs.checked_keys(keys, "keys")
    return np.column_stack([np.arange(first, first + len(lines)), np.zeros(len(lines), dtype=np.int64)]).astype(
        np.int32)


class _Run:
    """A run's columns, sent between processes as one pickle: Dask would
    serialize its lists of WKB item by item, at a hundred times the cost."""

    def __init__(self, columns, stops_short=None):
        self.columns = columns
        # A chain that stops short does not end on the edge its walk started
        # from, so nothing places it among other runs' polygons.
        self.stops_short = bool(columns["polygons"]["open"].any()) if stops_short is None else stops_short


def _run(lines, keys, options, whole):
    return _Run(_columns(lines, keys, options, whole))


def _columns(lines, keys, options, whole, along=False):
    return _loopweave.run_pipeline(lines, keys, options["cross"], options["frame"], options["frame_margin"],
                                   options["tolerance"], options["remove_returns"], options["holes"],
                                   options["labels"], whole, along)


def _run_whole(client, line_blocks, key_blocks, firsts, options):
    """A future of the run on the whole drawing, by one worker."""
    def run(line_blocks, key_blocks, firsts, options):
        lines = np.ascontiguousarray(np.concatenate(line_blocks), dtype=np.float64)
        keys = np.concatenate([_block_keys(b, k, first) for b, k, first in zip(line_blocks, key_blocks, firsts)])
        return _run(lines, keys, options, None)

    # The options go as an argument, where Dask puts the labels' data for their future.
    return client.compute(_delayed(run)(line_blocks, key_blocks, list(firsts[:-1]), options))


def _runs_in_groups(client, line_blocks, key_blocks, firsts, extent, options, budget):
    """Futures of the runs on the bins and tiles, each with the whole
    drawing's scale, or of one run on the whole drawing; and the contract."""
    offsets = (_loopweave.centred_offset(extent[0], extent[2]), _loopweave.centred_offset(extent[1], extent[3]))
    tolerance = options["tolerance"]
    if tolerance:
        # Snapping joins ends closer than the tolerance and lands ends on
        # lines closer than it, through chains of any length: it runs on
        # the sets of boxes grown by it, and the drawing is what it makes.
        snap_sets = _Sets(client, line_blocks, tolerance)
        snap_bins = snap_sets.bins(client, np.ones(len(snap_sets.sizes), dtype=bool))
        splits = snap_sets.splits(line_blocks, key_blocks, firsts, snap_bins)
        drawing = client.persist([_delayed(_snapped)(_bin_parts(splits, b), tolerance)
                                  for b in range(int(snap_bins.max()) + 1)])
    else:
        drawing = line_blocks
    moves = client.gather(client.compute([_delayed(_moves)(d, offsets) for d in drawing]))
    lengths = client.persist([_delayed(_lengths)(d) for d in drawing])
    whole = (*extent, all(m[0] for m in moves), all(m[1] for m in moves), _median(client, lengths))
    reach = contact_groups.LIBRARY_REACH / 2.0 ** _loopweave.scale_exponent(whole)
    if tolerance:
        # Each snap set goes where its pieces, grown by the reach, take it.
        set_boxes = client.gather(client.compute([_delayed(_set_boxes)(d, reach) for d in drawing]))
        ids = np.concatenate([i for i, _ in set_boxes])
        boxes = np.empty((len(snap_sets.sizes), 4))
        boxes[ids] = np.concatenate([b for _, b in set_boxes])
        final_of_set, _ = contact_groups.merged(boxes)
        sets = snap_sets.regrouped(final_of_set)
    else:
        sets = _Sets(client, line_blocks, reach)
    # Snapping reaches through chains of any length, so a tolerance keeps groups whole.
    tiled = sets.sizes > budget if budget and not tolerance else np.zeros(len(sets.sizes), dtype=bool)
    runs = []
    if not tiled.all():
        bins = sets.bins(client, ~tiled)
        splits = sets.splits(line_blocks, key_blocks, firsts, bins)
        runs = client.compute([_delayed(_run_bin)(_bin_parts(splits, b), options, whole)
                               for b in range(int(bins.max()) + 1)])
    for group in np.flatnonzero(tiled):
        grid = tiles.Grid(sets.boxes[group], -(-int(sets.sizes[group]) // budget))
        runs += _runs_in_tiles(client, line_blocks, key_blocks, firsts, sets, group, grid, reach, options, whole)
    if len(runs) > 1 and any(client.gather([client.submit(_stops_short, run) for run in runs])):
        return [_run_whole(client, line_blocks, key_blocks, firsts, options)], "exact"
    return runs, "tiled" if tiled.any() else "exact"


def _runs_in_tiles(client, line_blocks, key_blocks, firsts, sets, group, grid, margin, options, whole):
    """Futures of the runs on a group's tiles and of its second run (tiles.py)."""
    splits = [_delayed(_tile_split)(b, k, g, sets.set_of[sets.starts[i]:sets.starts[i + 1]] == group, grid, margin,
                                    firsts[i])
              for i, (b, k, g) in enumerate(zip(line_blocks, key_blocks, sets.local))]
    splits = client.persist(splits)
    sizes = np.sum(client.gather(client.compute([_delayed(_part_sizes)(split) for split in splits])), axis=0)
    runs = client.compute([_delayed(_run_tile)(_bin_parts(splits, t), options, whole, grid, t, margin)
                           for t in np.flatnonzero(sizes)])
    second = np.unique(np.concatenate(client.gather([client.submit(_second_of, run) for run in runs])))
    if not len(second):
        return runs
    parts = [_delayed(_picked)(b, k, firsts[i], second) for i, (b, k) in enumerate(zip(line_blocks, key_blocks))]
    return runs + client.compute([_delayed(_run_second)(parts, options, whole, grid)])


def _part_sizes(split):
    return [len(lines) for lines, _, _ in split]


def _tile_split(lines, keys, local, in_group, grid, margin, first):
    """The partition's rows of the group in each tile: (lines, keys, rows)."""
    rows = np.flatnonzero(in_group[local[0]])
    all_keys = _block_keys(lines, keys, first)
    row, tile = grid.tiles_of(lines[rows], margin)
    order = np.argsort(tile, kind="stable")
    row, bounds = rows[row[order]], np.searchsorted(tile[order], np.arange(grid.count + 1))
    picked = [row[bounds[t]:bounds[t + 1]] for t in range(grid.count)]
    return [(np.ascontiguousarray(lines[p], dtype=np.float64), all_keys[p], first + p) for p in picked]


def _picked(lines, keys, first, rows):
    """The partition's rows among `rows` (of the drawing): (lines, keys, rows)."""
    chosen = rows[(rows >= first) & (rows < first + len(lines))] - first
    return np.ascontiguousarray(lines[chosen], dtype=np.float64), _block_keys(lines, keys, first)[chosen], first + chosen


def _joined(parts):
    return tuple(np.concatenate([part[i] for part in parts]) for i in range(3))


def _run_tile(parts, options, whole, grid, tile, margin):
    """A tile's final chains, and the rows its second run needs."""
    lines, keys, rows = _joined(parts)
    columns = _columns(lines, keys, options, whole, along=True)
    final = grid.core_of(tiles.chain_boxes(columns, lines)) == tile
    run = _Run(tiles.kept(columns, final), bool(columns["polygons"]["open"].any()))
    run.second = rows[tiles.second_rows(columns, lines, final, margin)]
    return run


def _second_of(run):
    return run.second


def _run_second(parts, options, whole, grid):
    """The group's chains that lie inside no single core."""
    lines, keys, _ = _joined(parts)
    columns = _columns(lines, keys, options, whole, along=True)
    outside = grid.core_of(tiles.chain_boxes(columns, lines)) < 0
    return _Run(tiles.kept(columns, outside), bool(columns["polygons"]["open"].any()))


class _Sets:
    """The rows of the partitions in sets whose boxes, grown by `grow`,
    neither overlap nor surround each other's (contact_groups.merged):
    each partition's own sets on the workers, merged on the client."""

    def __init__(self, client, line_blocks, grow):
        self.local = client.persist([_delayed(_local_groups)(b, grow) for b in line_blocks])
        boxes = client.gather(client.compute([_delayed(lambda g: (g[1], g[2]))(g) for g in self.local]))
        self.starts = np.concatenate([[0], np.cumsum([len(b) for b, _ in boxes])])
        self.set_of, self.boxes = contact_groups.merged(np.concatenate([b for b, _ in boxes]))
        self.sizes = np.bincount(self.set_of, weights=np.concatenate([s for _, s in boxes])).astype(np.int64)

    def regrouped(self, group_of_set):
        """These sets merged into groups, numbered by `group_of_set`."""
        self.set_of = group_of_set[self.set_of]
        self.boxes = contact_groups.union_boxes(self.boxes, group_of_set, int(group_of_set.max()) + 1)
        self.sizes = np.bincount(group_of_set, weights=self.sizes).astype(np.int64)
        return self

    def bins(self, client, chosen):
        """The bin of each set chosen (-1 for the others): about as many rows
        in each, two bins a worker."""
        workers = sum(client.nthreads().values())
        bins = np.full(len(self.sizes), -1)
        bins[chosen] = contact_groups.balanced_bins(self.sizes[chosen], max(1, min(int(chosen.sum()), 2 * workers)))
        return bins

    def splits(self, line_blocks, key_blocks, firsts, bin_of_set):
        bins = int(bin_of_set.max()) + 1
        return [_delayed(_split)(b, k, g, self.set_of[self.starts[i]:self.starts[i + 1]], bin_of_set, firsts[i], bins)
                for i, (b, k, g) in enumerate(zip(line_blocks, key_blocks, self.local))]


def _bin_parts(splits, index):
    return [split[index] for split in splits]


def _snapped(parts, tolerance):
    """The snapped pieces of a bin's rows, and the set of each piece."""
    pieces, origins = _loopweave.snapped(np.concatenate([lines for lines, _, _ in parts]), tolerance)
    return pieces, np.concatenate([sets for _, _, sets in parts])[origins]


def _set_boxes(drawing, reach):
    """The sets of a bin's pieces, and the box of each set's pieces grown by `reach`."""
    pieces, sets = drawing
    ids, which = np.unique(sets, return_inverse=True)
    return ids, contact_groups.union_boxes(contact_groups.grown_boxes(pieces, reach), which, len(ids))


def _stops_short(run):
    return run.stops_short


def _moves(drawing, offsets):
    lines = _segments_of(drawing)
    return (_loopweave.moves_exactly(lines[:, 0::2], offsets[0]), _loopweave.moves_exactly(lines[:, 1::2], offsets[1]))


def _lengths(drawing):
    """The finite lengths of the segments, as the pipeline measures them."""
    lines = _segments_of(drawing)
    lengths = np.hypot(lines[:, 2] - lines[:, 0], lines[:, 3] - lines[:, 1])
    return lengths[np.isfinite(lengths)]


def _median(client, lengths):
    """The element at the middle of the sorted lengths (at half their count,
    from 0), selected exactly from counts of their bit patterns, which order
    non-negative doubles as their values."""
    counts = client.gather(client.compute([_delayed(len)(part) for part in lengths]))
    rank, prefix = sum(counts) // 2, 0
    for shift in range(64 - _DIGIT_BITS, -1, -_DIGIT_BITS):
        histogram = sum(client.gather(client.compute(
            [_delayed(_digit_counts)(part, prefix, shift) for part in lengths])))
        cumulative = np.cumsum(histogram)
        digit = int(np.searchsorted(cumulative, rank, side="right"))
        rank -= int(cumulative[digit - 1]) if digit else 0
        prefix = (prefix << _DIGIT_BITS) | digit
    return float(np.array([prefix], dtype=np.uint64).view(np.float64)[0])


def _digit_counts(lengths, prefix, shift):
    bits = lengths.view(np.uint64)
    above = shift + _DIGIT_BITS
    chosen = bits if above >= 64 else bits[(bits >> np.uint64(above)) == np.uint64(prefix)]
    digits = (chosen >> np.uint64(shift)) & np.uint64((1 << _DIGIT_BITS) - 1)
    return np.bincount(digits.astype(np.int64), minlength=1 << _DIGIT_BITS)


def _segments_of(drawing):
    """The segments of a partition of the lines, or of a bin's snapped pieces."""
    return drawing[0] if isinstance(drawing, tuple) else drawing


def _local_groups(lines, reach):
    """(label of each row, boxes and sizes of the partition's groups)."""
    labels, boxes = contact_groups.merged(contact_groups.grown_boxes(lines, reach))
    return labels, boxes, np.bincount(labels, minlength=len(boxes))


def _split(lines, keys, local, set_of_label, bin_of_set, first, bins):
    """The partition's rows of each bin, with their keys and their sets, in
    their order."""
    set_of_row = set_of_label[local[0]]
    bin_of_row = bin_of_set[set_of_row]
    all_keys = _block_keys(lines, keys, first)
    return [(np.ascontiguousarray(lines[bin_of_row == b], dtype=np.float64), all_keys[bin_of_row == b],
             set_of_row[bin_of_row == b]) for b in range(bins)]


def _run_bin(parts, options, whole):
    lines = np.concatenate([lines for lines, _, _ in parts])
    keys = np.concatenate([keys for _, keys, _ in parts])
    return _run(lines, keys, options, whole)
