"""The columns of runs on disjoint parts of a drawing, put together in the
order one run on the whole drawing gives.

The library sorts its edges by start x, start y, end x, end y, the first
coordinate that differs by its tolerance (1e-6, in its units) or more
deciding, and traces a face from each edge's link at the end, then at the
start, in that order, skipping the links walked already. A walk ends on the
edge it started from, arriving at the end it started at: so the last element
of each traced polygon (the run reports it) gives the polygon's place. Edges
of two parts never lie within the tolerance of each other, so two parts'
polygons are ordered by those edges alone, and a part's own polygons keep
the order its run gave them. Every layer lists its rows by polygon (the
dangles in three runs of kinds, the error points in two: the library's,
then the collapsed faces'), so each layer is merged by its polygons' new
numbers.
"""

import functools
import heapq

import numpy as np

_TOLERANCE = 1e-6  # the library's, in its units
_COLLAPSED_FLAG = 3


def _seeds(closing):
    """The sort key of each polygon's starting edge: the edge turned as the
    library turns it (towards larger x, or larger y when its x extent is
    below the tolerance), then 0 when the walk started at its end, 1 at its
    start."""
    sx, sy, ex, ey = closing.T
    backwards = np.where(np.abs(sx - ex) >= _TOLERANCE, ex < sx, ey < sy)
    start_x, start_y = np.where(backwards, ex, sx), np.where(backwards, ey, sy)
    end_x, end_y = np.where(backwards, sx, ex), np.where(backwards, sy, ey)
    return np.column_stack([start_x, start_y, end_x, end_y, backwards.astype(np.float64)])


def _compare(a, b):
    for p, q in zip(a[0], b[0]):
        if abs(p - q) >= _TOLERANCE:
            return 1 if p > q else -1
    return (a[0][4] > b[0][4]) - (a[0][4] < b[0][4])


def polygon_numbers(closings):
    """For each part, the number (from 1) of each of its polygons in the whole."""
    numbers = [np.empty(len(c), dtype=np.int64) for c in closings]
    if len(closings) == 1:
        numbers[0][:] = np.arange(1, len(closings[0]) + 1)
        return numbers
    streams = [[(tuple(seed), part, i) for i, seed in enumerate(_seeds(c).tolist())]
               for part, c in enumerate(closings)]
    key = functools.cmp_to_key(_compare)
    for number, (_, part, i) in enumerate(heapq.merge(*streams, key=key), 1):
        numbers[part][i] = number
    return numbers


def _merged_table(tables, numbers, kinds=None):
    """The rows of a layer's tables by their kind (`kinds`, where the layer
    lists kinds one after the other), then by their polygons' new numbers,
    then as each part gave them."""
    if not tables:
        return {}
    polygon = np.concatenate([numbers[p][np.asarray(t["polygon"], dtype=np.int64) - 1]
                              for p, t in enumerate(tables)]).astype(np.int32)
    order = (np.argsort(polygon, kind="stable") if kinds is None
             else np.lexsort((polygon, np.concatenate(kinds))))
    merged = {}
    for name in tables[0]:
        if name == "polygon":
            merged[name] = polygon[order]
        elif isinstance(tables[0][name], list):
            column = [item for t in tables for item in t[name]]
            merged[name] = [column[i] for i in order]
        else:
            merged[name] = np.concatenate([np.asarray(t[name]) for t in tables])[order]
    return merged


def merged_columns(parts):
    """One set of pipeline columns from those of the parts, as a run on the
    whole drawing gives them; the parts were given the whole drawing's scale."""
    numbers = polygon_numbers([p["closing"] for p in parts])
    columns = {
        "faces": _merged_table([p["faces"] for p in parts], numbers),
        "polygons": _merged_table([p["polygons"] for p in parts], numbers),
        "dangles": _merged_table([p["dangles"] for p in parts], numbers,
                                 [np.asarray(p["dangle_origins"]) for p in parts]),
    }
    errors = [dict(p["errors"], x=p["errors"]["xy"][:, 0], y=p["errors"]["xy"][:, 1]) for p in parts]
    for table in errors:
        del table["xy"]
    merged_errors = _merged_table(errors, numbers, [np.asarray(t["flag"]) == _COLLAPSED_FLAG for t in errors])
    columns["errors"] = {"xy": np.column_stack([merged_errors.pop("x"), merged_errors.pop("y")]), **merged_errors}
    columns["scale"] = parts[0]["scale"]
    columns["account"] = {name: sum(p["account"][name] for p in parts) for name in parts[0]["account"]}
    return columns
