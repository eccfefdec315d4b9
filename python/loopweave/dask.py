"""loopweave.polygonize on a Dask cluster: drawings larger than one
process's memory, and every core of one machine.

The drawing is split into contact groups (contact_groups.py): sets of
segments that cannot affect each other. The groups are dealt to bins of about
equal size, each bin is polygonized by one task with the whole drawing's
scale, and the bins' layers are put together in the single process's order
(assembly.py). The result is the single process's, bit for bit (the
design note gives the argument), with one exception: with a frame or a
tolerance every segment is one group, run by one task.

The client holds only small data: a summary of each partition, the boxes of
the groups each partition holds, and the place of each polygon.
"""

import os

import numpy as np

from . import _loopweave, assembly, contact_groups, inputs, results
from . import _warn_of, _frame

__all__ = ["polygonize"]

_DIGIT_BITS = 16  # the median is selected 16 bits of its bit pattern at a time


def polygonize(lines, *, keys=None, client=None, cross=True, frame=None, frame_margin=0.0, tolerance=None,
               remove_returns=False, holes=True, gather=True):
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
        rather than repaired. scale and account come along either way.
    The other options are loopweave.polygonize's (labels are not taken).
    """
    if client is None:
        from distributed import Client, LocalCluster

        with LocalCluster(n_workers=os.cpu_count() or 1, threads_per_worker=1, processes=True) as cluster, \
                Client(cluster) as local:
            return polygonize(lines, keys=keys, client=local, cross=cross, frame=frame, frame_margin=frame_margin,
                              tolerance=tolerance, remove_returns=remove_returns, holes=holes, gather=gather)
    if tolerance is not None and not tolerance > 0:
        raise ValueError(f"tolerance must be a positive distance, not {tolerance}")
    options = dict(cross=cross, frame=_frame(frame), frame_margin=float(frame_margin),
                   tolerance=0.0 if tolerance is None else float(tolerance), remove_returns=remove_returns,
                   holes=holes)
    line_blocks, key_blocks = _blocks(lines, keys)
    line_blocks = client.persist(line_blocks)
    key_blocks = key_blocks if key_blocks[0] is None else client.persist(key_blocks)
    summaries = client.gather(client.compute([_summary(b, k) for b, k in zip(line_blocks, key_blocks)]))
    extent, firsts = _checked(summaries)
    if frame is not None or tolerance is not None:
        # The frame joins every segment, and snapping can carry an end along a
        # chain of others of any length: one group.
        runs = [_run_whole(client, line_blocks, key_blocks, firsts, options)]
    else:
        runs = _runs_in_groups(client, line_blocks, key_blocks, firsts, extent, options)
    if not gather:
        return _kept(client, runs)
    gathered = client.gather(runs)
    columns = gathered[0] if len(gathered) == 1 else assembly.merged_columns(gathered)
    result = results.polygonized(columns, None, False, None)
    _warn_of(result)
    return result


def _kept(client, runs):
    """The layers as Dask DataFrames on the workers (see polygonize)."""
    import dask.dataframe

    if len(runs) == 1:
        parts = [client.submit(_numbered_as_formed, runs[0])]
    else:
        numbers, places = assembly.renumbering(client.gather([client.submit(assembly.order_keys, r) for r in runs]))
        parts = [client.submit(assembly.renumbered, r, n, p) for r, n, p in zip(runs, numbers, places)]
    layers = [dask.dataframe.from_delayed([_delayed(_frame_of)(part, layer) for part in parts])
              for layer in results.Polygonized._fields]
    kept = results.Polygonized(*layers)
    small = client.gather([client.submit(lambda run: (run["scale"], run["account"]), r) for r in runs])
    kept.scale = small[0][0]
    kept.account = assembly.summed_account([account for _, account in small])
    return kept


def _numbered_as_formed(run):
    places = {layer: np.arange(len(run[layer]["polygon"])) for layer in results.Polygonized._fields}
    return assembly.renumbered(run, np.arange(1, len(run["polygons"]["polygon"]) + 1), places)


def _frame_of(part, layer):
    import pandas

    table = {name: column for name, column in part[layer].items() if name not in ("labels", "first_label")}
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


def _run(lines, keys, options, whole):
    return _loopweave.run_pipeline(lines, keys, options["cross"], options["frame"], options["frame_margin"],
                                   options["tolerance"], options["remove_returns"], options["holes"], None, whole)


def _run_whole(client, line_blocks, key_blocks, firsts, options):
    """A future of the run on the whole drawing, by one worker."""
    def run(line_blocks, key_blocks, firsts):
        lines = np.ascontiguousarray(np.concatenate(line_blocks), dtype=np.float64)
        keys = np.concatenate([_block_keys(b, k, first) for b, k, first in zip(line_blocks, key_blocks, firsts)])
        return _run(lines, keys, options, None)

    return client.compute(_delayed(run)(line_blocks, key_blocks, list(firsts[:-1])))


def _runs_in_groups(client, line_blocks, key_blocks, firsts, extent, options):
    """Futures of the runs on the bins, each with the whole drawing's scale;
    or of one run on the whole drawing."""
    offsets = (_loopweave.centred_offset(extent[0], extent[2]), _loopweave.centred_offset(extent[1], extent[3]))
    moves = client.gather(client.compute([_delayed(_moves)(b, offsets) for b in line_blocks]))
    move_x, move_y = all(m[0] for m in moves), all(m[1] for m in moves)
    lengths = client.persist([_delayed(_lengths)(b) for b in line_blocks])
    whole = (*extent, move_x, move_y, _median(client, lengths))
    reach = contact_groups.LIBRARY_REACH / 2.0 ** _loopweave.scale_exponent(whole)

    local = client.persist([_delayed(_local_groups)(b, reach) for b in line_blocks])
    boxes = client.gather(client.compute([_delayed(lambda g: (g[1], g[2]))(g) for g in local]))
    component_boxes = np.concatenate([b for b, _ in boxes])
    component_sizes = np.concatenate([s for _, s in boxes])
    group_of, _ = contact_groups.merged(component_boxes)
    group_sizes = np.bincount(group_of, weights=component_sizes).astype(np.int64)
    workers = sum(client.nthreads().values())
    bin_of_group = contact_groups.balanced_bins(group_sizes, max(1, min(len(group_sizes), 2 * workers)))
    bins = int(bin_of_group.max()) + 1
    starts = np.concatenate([[0], np.cumsum([len(b) for b, _ in boxes])])
    splits = [_delayed(_split)(b, k, g, bin_of_group[group_of[starts[i]:starts[i + 1]]], firsts[i], bins)
              for i, (b, k, g) in enumerate(zip(line_blocks, key_blocks, local))]
    runs = client.compute(
        [_delayed(_run_bin)([split[index] for split in splits], options, whole) for index in range(bins)])
    if len(runs) > 1 and any(client.gather([client.submit(_stops_short, run) for run in runs])):
        # A chain that stops short does not end on the edge its walk started
        # from, so nothing places it among other groups' polygons: one run.
        return [_run_whole(client, line_blocks, key_blocks, firsts, options)]
    return runs


def _stops_short(run):
    return bool(run["polygons"]["open"].any())


def _moves(lines, offsets):
    return (_loopweave.moves_exactly(lines[:, 0::2], offsets[0]), _loopweave.moves_exactly(lines[:, 1::2], offsets[1]))


def _lengths(lines):
    """The finite lengths of the segments, as the pipeline measures them."""
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


def _local_groups(lines, reach):
    """(label of each row, boxes and sizes of the partition's groups)."""
    labels, boxes = contact_groups.merged(contact_groups.grown_boxes(lines, reach))
    return labels, boxes, np.bincount(labels, minlength=len(boxes))


def _split(lines, keys, local, bin_of_label, first, bins):
    """The partition's rows of each bin, with their keys, in their order."""
    bin_of_row = bin_of_label[local[0]]
    all_keys = _block_keys(lines, keys, first)
    return [(np.ascontiguousarray(lines[bin_of_row == b], dtype=np.float64), all_keys[bin_of_row == b])
            for b in range(bins)]


def _run_bin(parts, options, whole):
    lines = np.concatenate([lines for lines, _ in parts])
    keys = np.concatenate([keys for _, keys in parts])
    return _run(lines, keys, options, whole)
