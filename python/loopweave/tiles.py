"""Tiles: a contact group larger than one task, run in parts.

A grid of tiles is laid over the group. A tile runs the ordinary pipeline,
with the whole drawing's scale, on the segments whose boxes meet its core
grown by a margin of at least the cut reach: within the core it cuts exactly
as the whole drawing does, and every segment through a vertex there is in
it. A chain (a face's ring, a group's outer boundary, the walk around a
tree, with the runs it walks out and back) whose box lies inside the core
is then the whole drawing's, and so are its holes, dangles and error points:
the tile keeps them. The segments of every other chain, with the segments
in contact with them, go to one second run on the group, which traces each
chain whose segments lie inside no single core as the whole drawing does; it keeps
those, and drops its chains inside a core, which their tiles keep. The
outer boundary of a group that no kept face of its tile holds goes to the
second run too, so that it becomes a hole of its face there.
(docs/design.md, "Tiles", gives the argument.) Cores are half-open, so a
box lies inside at most one.

The result holds the whole drawing's faces, dangles and error points, each
within the library's rounding of the single process's; the account counts a
segment in every run that holds it.
"""

import math

import numpy as np

from . import contact_groups


class Grid:
    """The tiles over a group's box: about `count` equal cells."""

    def __init__(self, box, count):
        width, height = max(box[2] - box[0], 1e-300), max(box[3] - box[1], 1e-300)
        columns = max(1, min(count, round(math.sqrt(count * width / height))))
        rows = max(1, math.ceil(count / columns))
        self.x_edges = np.linspace(box[0], box[2], columns + 1)[1:-1]
        self.y_edges = np.linspace(box[1], box[3], rows + 1)[1:-1]
        self.rows = rows
        self.count = columns * rows

    def _cells(self, xs, ys):
        return np.searchsorted(self.x_edges, xs, side="right"), np.searchsorted(self.y_edges, ys, side="right")

    def core_of(self, boxes):
        """The tile whose core holds each box (min x, min y, max x, max y); -1 for none."""
        low_x, low_y = self._cells(boxes[:, 0], boxes[:, 1])
        high_x, high_y = self._cells(boxes[:, 2], boxes[:, 3])
        return np.where((low_x == high_x) & (low_y == high_y), low_x * self.rows + low_y, -1)

    def tiles_of(self, lines, margin):
        """(row, tile) of every tile whose core, grown by `margin`, a segment's box meets."""
        boxes = contact_groups.grown_boxes(lines, margin)
        low_x, low_y = self._cells(boxes[:, 0], boxes[:, 1])
        high_x, high_y = self._cells(boxes[:, 2], boxes[:, 3])
        spans = high_y - low_y + 1
        counts = (high_x - low_x + 1) * spans
        rows = np.repeat(np.arange(len(lines)), counts)
        offset = np.arange(counts.sum()) - np.repeat(np.cumsum(counts) - counts, counts)
        tiles = (np.repeat(low_x, counts) + offset // np.repeat(spans, counts)) * self.rows \
            + np.repeat(low_y, counts) + offset % np.repeat(spans, counts)
        return rows, tiles


def kept(columns, keep):
    """The columns of the chains (polygons) in `keep` only, numbered from 1 again."""
    numbers = np.cumsum(keep)
    result = {"scale": columns["scale"], "account": columns["account"], "closing": columns["closing"][keep]}
    for layer in ("faces", "polygons", "dangles", "errors"):
        table = columns[layer]
        chosen = keep[np.asarray(table["polygon"]) - 1]
        result[layer] = {name: ([value for value, c in zip(column, chosen) if c] if isinstance(column, list)
                                else np.asarray(column)[chosen]) for name, column in table.items()}
        result[layer]["polygon"] = numbers[result[layer]["polygon"] - 1].astype(np.int32)
        if layer == "dangles":
            result["dangle_origins"] = np.asarray(columns["dangle_origins"])[chosen]
    return result


def chain_boxes(columns, lines):
    """The box of each chain's segments (of its ring or line and of the runs
    stripped from it), as entered: a run finds it with the same bits as any
    other, where the chain's own vertices can differ in their last bits."""
    chain, row = _chains_along(columns)
    return contact_groups.union_boxes(contact_groups.grown_boxes(lines[row], 0.0), chain,
                                      len(columns["polygons"]["polygon"]))


def second_rows(columns, lines, final, margin):
    """The rows (of the run's input) the second run needs: those of its
    chains that are not final, of its final outer boundaries that no final
    face holds, and the rows in contact with them."""
    polygons = columns["polygons"]
    faces = columns["faces"]
    held = {_lowest_point(ring) for i in np.flatnonzero(np.asarray(faces["holes"]) > 0)
            if final[faces["polygon"][i] - 1] for ring in _polygon_rings(faces["wkb"][i])[1:]}
    loose = (np.asarray(polygons["round"]) < 0) & final
    for i in np.flatnonzero(loose):
        points = np.frombuffer(polygons["wkb"][i], "<f8", offset=9).reshape(-1, 2)
        loose[i] = _lowest_point(points) not in held
    chain, row = _chains_along(columns)
    sent = np.unique(row[(~final | loose)[chain]])
    return _in_contact(contact_groups.grown_boxes(lines, margin), sent)


def _chains_along(columns):
    """(chain, row) of every element along the chains as formed and the runs
    stripped from them: its polygon, from 0, and its row in the run's input."""
    layers = ("polygons", "dangles")
    chain = np.concatenate([np.repeat(np.asarray(columns[layer]["polygon"], dtype=np.int64) - 1,
                                      columns[layer]["elements"]) for layer in layers])
    return chain, np.concatenate([columns["along"][layer] for layer in layers]).astype(np.int64)


def _lowest_point(points):
    """A ring's lowest point in (x, y) order: one no other group's ring passes."""
    return tuple(points[np.lexsort((points[:, 1], points[:, 0]))[0]].tolist())


def _polygon_rings(wkb):
    """The rings of a little-endian WKB polygon, as (n, 2) arrays."""
    rings, offset = [], 9
    for _ in range(int(np.frombuffer(wkb, "<u4", 1, 5)[0])):
        count = int(np.frombuffer(wkb, "<u4", 1, offset)[0])
        rings.append(np.frombuffer(wkb, "<f8", 2 * count, offset + 4).reshape(-1, 2))
        offset += 4 + 16 * count
    return rings


def _in_contact(boxes, chosen):
    """The boxes chosen and every box that overlaps one of them, by index:
    pairs found through cells of a grid about as fine as the boxes."""
    import pandas

    if not len(chosen):
        return chosen
    size = max(float(np.median(np.maximum(boxes[:, 2] - boxes[:, 0], boxes[:, 3] - boxes[:, 1]))), 1e-300)
    low = np.floor((boxes[:, :2] - boxes[:, :2].min(axis=0)) / size).astype(np.int64)
    high = np.floor((boxes[:, 2:] - boxes[:, :2].min(axis=0)) / size).astype(np.int64)

    def cells(indices):
        spans = high[indices, 1] - low[indices, 1] + 1
        counts = (high[indices, 0] - low[indices, 0] + 1) * spans
        which = np.repeat(indices, counts)
        offset = np.arange(counts.sum()) - np.repeat(np.cumsum(counts) - counts, counts)
        x = low[which, 0] + offset // np.repeat(spans, counts)
        y = low[which, 1] + offset % np.repeat(spans, counts)
        return pandas.DataFrame({"box": which, "cell": x * (int(high[:, 1].max()) + 1) + y})

    pairs = cells(chosen).merge(cells(np.arange(len(boxes))), on="cell", suffixes=("", "_other"))
    a, b = boxes[pairs["box"].to_numpy()], boxes[pairs["box_other"].to_numpy()]
    touch = (a[:, 0] <= b[:, 2]) & (b[:, 0] <= a[:, 2]) & (a[:, 1] <= b[:, 3]) & (b[:, 1] <= a[:, 3])
    return np.union1d(chosen, pairs["box_other"].to_numpy()[touch])
