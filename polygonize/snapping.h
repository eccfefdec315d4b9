// Snapping: the user's tolerance D, a distance in the drawing's own units,
// honoured before the library sees the drawing.
//
// Why a pass of its own: the library has one fixed tolerance, which bounds
// both the distance at which ends meet and the doubled areas of triangles, so
// it cannot stand for an arbitrary distance the user names. This pass moves
// the ends that are meant to meet onto one point, and makes the T where an
// end stops just short of (or just past) a line, the way GIS tools clean a
// digitised drawing. What it hands on is a drawing whose intended contacts
// are exact, for the library to cut and form at its own tight tolerance.
//
// The rules, in the order they are applied, each once (no iteration):
//
// 1. Ends meet. Two ends closer than D (Euclidean distance < D) are joined;
//    ends joined through chains of such pairs form one cluster (single
//    linkage), and every end of a cluster goes to one point: the point where
//    most of the cluster's ends already lie (equal coordinates), ties going
//    to the lowest x, then the lowest y. So a vertex shared cleanly never
//    moves, and an end that misses it narrowly goes onto it. An end already
//    at that point keeps its coordinates bit for bit. Single linkage means a
//    chain of ends, each just under D from the next, can carry an end
//    farther than D.
//
// 2. Ends land on lines. Each point P that rule 1 left (one per cluster) is
//    then compared with the segments as rule 1 left them. P lands on a
//    segment S when S does not end at P, P is closer than D to S, and P is
//    at least D from both of S's ends (nearer an end, rule 1 has had its
//    say; the two clusters stay apart). The nearest such segment wins, ties
//    going to the lowest segment index. P, with every end at P, moves to Q,
//    its orthogonal projection onto S, computed as A + t (B - A) from S's
//    ends A and B; and S is split at Q. A segment that several points land
//    on is split at all of them, in the order of t. The pieces and the moved
//    ends share Q bit for bit, so the T is made explicitly whether or not the
//    library cuts crossings afterwards. Landings are all decided against the
//    drawing of rule 1: when an end of S itself lands elsewhere, S's pieces
//    run from its new end through the split points found on the old S, a
//    slight bend rather than a second round. Nor is rule 1 run again: a
//    landing that brings a point within D of another end leaves the two
//    apart. Two points landing on one place of S give a piece of zero length
//    between them. An end already lying on S (a T drawn exactly) moves to the
//    computed projection, which may differ from it in the last bits.
//
// 3. Nothing else moves. An end farther than D from every other end and
//    every other segment keeps its coordinates bit for bit, and segments are
//    only ever split at landing points, never shifted. Clean data (shared
//    ends bit-equal, nothing else within D) comes back unchanged bit for bit.
//
// 4. Nothing is dropped. A segment whose two ends fall into one cluster
//    comes back with zero length, and exact duplicates come back as they
//    were: deciding what to drop, and counting it, is the caller's. Segments
//    with a coordinate that is not finite come back untouched and take no
//    part: they neither move nor attract.
//
// The output lists the pieces of input segment 0 from its start to its end,
// then those of segment 1, and so on. The result depends on the input alone:
// every order is fixed by full comparisons, with no hash or pointer order, so
// the same input gives the same bits on every run, build and processor.
// (Reordering the input may change tie-breaks, and so the result.)
//
// Distances are measured in units of D, so that the test "closer than D"
// neither underflows for tiny tolerances nor overflows for large ones. A D
// larger than the drawing joins every end into one cluster: every segment
// comes back with zero length at one point.
//
// Cost: close to linear. Close ends are found through a grid of cells of side
// about D/2 (two ends in one cell are always closer than D); the points near
// a segment through a tree of boxes over the points, which each segment
// searches along its band, so that a line across the whole drawing costs the
// boxes it passes near, not the drawing.
#ifndef LOOPWEAVE_POLYGONIZE_SNAPPING_H
#define LOOPWEAVE_POLYGONIZE_SNAPPING_H

#include <cstddef>
#include <vector>

#include "polygonize/segments.h"

namespace lwpolygonize {

// The drawing snapped with tolerance D = `tolerance` (rules above). Throws
// std::invalid_argument unless the tolerance is finite and greater than zero.
std::vector<DrawingSegment> SnapDrawing(const std::vector<InputSegment>& segments, double tolerance);

}  // namespace lwpolygonize

#endif  // LOOPWEAVE_POLYGONIZE_SNAPPING_H
