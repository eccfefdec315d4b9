"""Contact groups: the parts of a drawing that cannot affect each other.

Two segments can change each other only where the library finds them in
contact: cutting changes a pair only when their boxes lie within the cut
reach of each other, sqrt(2e-6) + 2e-6 in the library's units (the bound
worked out in the library's geometry/contact_reach.h; ends meet within 1e-6,
which it covers), and a traced face holds only segments joined through
vertices. One more relation reaches farther: a group inside a face of another
is a hole of that face. The face lies within the other group's box, and the
inner group's box holds the point it is placed by, so their boxes overlap.

So the segments' boxes, grown by the reach, are put in sets whose union
boxes are disjoint, and no two boxes that overlap (boundaries included) in
different sets: each set shares nothing with the rest. Merging more than
needed is harmless (groups run together give what the whole drawing gives
them).
"""

import numpy as np

# The cut reach in the library's units, doubled: a piece can leave its
# segment's box by the distance of an end cut into it, within the reach,
# and the boxes are grown in input units, where rounding the conversion
# costs far less than the margin this leaves.
LIBRARY_REACH = 2 * (np.sqrt(2e-6) + 2e-6)


def grown_boxes(lines, reach):
    """The (n, 4) boxes (min x, min y, max x, max y) of the segments, grown by `reach`."""
    return np.column_stack([np.minimum(lines[:, 0], lines[:, 2]) - reach,
                            np.minimum(lines[:, 1], lines[:, 3]) - reach,
                            np.maximum(lines[:, 0], lines[:, 2]) + reach,
                            np.maximum(lines[:, 1], lines[:, 3]) + reach])


def merged(boxes):
    """(labels, merged boxes): the boxes in sets whose union boxes are
    disjoint, no two overlapping boxes apart; labels[i] is the set of box i.
    Sets are numbered in the order of their first box.

    Found by cuts along the axes in turn: the boxes of a set, sorted along
    an axis, part where one begins beyond the end of all before it. A cut
    never parts two boxes that overlap, and the union boxes of two sets a
    cut parts are disjoint; cutting stops when neither axis parts a set.
    (A set can keep boxes that merely surround one another, as the arms of
    a pinwheel do: merging more than needed costs only parallelism.)"""
    import pandas

    labels = np.zeros(len(boxes), dtype=np.int64)
    if not len(boxes):
        return labels, boxes
    count, unchanged, axis = 1, 0, 0
    while unchanged < 2:
        order = np.lexsort((boxes[:, axis], labels))
        low, high, label = boxes[order, axis], boxes[order, axis + 2], labels[order]
        reach = pandas.Series(high).groupby(label).cummax().to_numpy()
        starts = np.ones(len(order), dtype=bool)
        starts[1:] = (label[1:] != label[:-1]) | (low[1:] > reach[:-1])
        labels[order] = np.cumsum(starts) - 1
        new_count = int(labels.max()) + 1
        unchanged = unchanged + 1 if new_count == count else 1
        count, axis = new_count, 1 - axis
    labels = _numbered_by_first(labels)
    return labels, union_boxes(boxes, labels, count)


def _numbered_by_first(labels):
    first = np.full(labels.max() + 1, len(labels))
    np.minimum.at(first, labels, np.arange(len(labels)))
    renumber = np.empty_like(first)
    renumber[np.argsort(first, kind="stable")] = np.arange(len(first))
    return renumber[labels]


def union_boxes(boxes, labels, count):
    """The box around the boxes of each label, 0 to count - 1."""
    union = np.empty((count, 4))
    union[:, :2] = np.inf
    union[:, 2:] = -np.inf
    for axis in (0, 1):
        np.minimum.at(union[:, axis], labels, boxes[:, axis])
        np.maximum.at(union[:, axis + 2], labels, boxes[:, axis + 2])
    return union


def balanced_bins(sizes, bins):
    """The bin of each group: runs of consecutive groups of about equal total
    size (within the largest group), so that neighbouring groups, numbered
    in the order the partitions hold them, share a bin."""
    sizes = np.asarray(sizes, dtype=np.int64)
    before = np.cumsum(sizes) - sizes
    bin_of = np.minimum(bins - 1, before * bins // max(1, int(sizes.sum())))
    return np.unique(bin_of, return_inverse=True)[1]  # a large group leaves no bin empty
