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

import numpy as np

from . import _loopweave

_COLLAPSED_FLAG = 3


def polygon_numbers(closings):
    """For each part, the number (from 1) of each of its polygons in the
    whole, merged by the element each closed on (in the binding)."""
    if len(closings) == 1:
        return [np.arange(1, len(closings[0]) + 1, dtype=np.int64)]
    return _loopweave.merged_numbers([np.ascontiguousarray(c, dtype=np.float64) for c in closings])


def order_keys(part):
    """What a part's layers are ordered by, small beside the layers: the
    element each polygon closed on, each row's polygon, the dangles' kinds
    and which error points are collapsed faces'."""
    return {"closing": part["closing"],
            "polygon": {layer: np.asarray(part[layer]["polygon"], dtype=np.int64) for layer in _LAYERS},
            "kind": {"faces": None, "polygons": None, "dangles": np.asarray(part["dangle_origins"]),
                     "errors": np.asarray(part["errors"]["flag"]) == _COLLAPSED_FLAG}}


_LAYERS = ("faces", "polygons", "dangles", "errors")


def renumbering(keys):
    """For each part: its polygons' numbers in the whole, and, by layer, the
    place of each of its rows in the whole's layer. A layer's rows go by
    their kind (where the layer lists kinds one after the other), then by
    their polygons' numbers, then as each part gave them."""
    numbers = polygon_numbers([k["closing"] for k in keys])
    places = [{} for _ in keys]
    for layer in _LAYERS:
        polygon = np.concatenate([n[k["polygon"][layer] - 1] for n, k in zip(numbers, keys)])
        kinds = [k["kind"][layer] for k in keys]
        order = (np.argsort(polygon, kind="stable") if kinds[0] is None
                 else np.lexsort((polygon, np.concatenate(kinds))))
        place = np.empty(len(order), dtype=np.int64)
        place[order] = np.arange(len(order))
        bounds = np.cumsum([0] + [len(k["polygon"][layer]) for k in keys])
        for i in range(len(keys)):
            places[i][layer] = place[bounds[i]:bounds[i + 1]]
    return numbers, places


def renumbered(part, numbers, places):
    """A part's layers with the whole's polygon numbers, and the place of
    each row in the whole's layer as the column "place"."""
    layers = {}
    for layer in _LAYERS:
        table = dict(part[layer])
        if layer == "errors":
            table["x"], table["y"] = table["xy"][:, 0], table["xy"][:, 1]
            del table["xy"]
        table["polygon"] = numbers[np.asarray(table["polygon"], dtype=np.int64) - 1].astype(np.int32)
        table["place"] = places[layer]
        layers[layer] = table
    return layers


def _placed(tables, layer):
    """One table of the parts' tables of a layer, its rows in their places."""
    place = np.concatenate([t["place"] for t in tables])
    order = np.empty_like(place)
    order[place] = np.arange(len(place))
    merged = {}
    for name in tables[0]:
        if name == "place":
            continue
        if isinstance(tables[0][name], list):
            column = [item for t in tables for item in t[name]]
            merged[name] = [column[i] for i in order]
        else:
            merged[name] = np.concatenate([np.asarray(t[name]) for t in tables])[order]
    if layer == "errors":
        merged["xy"] = np.column_stack([merged.pop("x"), merged.pop("y")])
    return merged


def merged_columns(parts):
    """One set of pipeline columns from those of the parts, as a run on the
    whole drawing gives them; the parts were given the whole drawing's scale."""
    numbers, places = renumbering([order_keys(p) for p in parts])
    layers = [renumbered(p, n, pl) for p, n, pl in zip(parts, numbers, places)]
    columns = {layer: _placed([l[layer] for l in layers], layer) for layer in _LAYERS}
    columns["scale"] = parts[0]["scale"]
    columns["account"] = summed_account([p["account"] for p in parts])
    return columns


def summed_account(accounts):
    return {name: sum(a[name] for a in accounts) for name in accounts[0]}
