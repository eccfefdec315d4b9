#ifndef LOOPWEAVE_BENCH_INPUTS_GENERATED_INPUTS_H
#define LOOPWEAVE_BENCH_INPUTS_GENERATED_INPUTS_H

// Drawings of about n segments made from the size alone, the same on every
// run. All but the ring lie within a square of side 1000 around the origin
// (random segments reach a little beyond it): coordinates for which the
// library's absolute tolerance of 1e-6 is meant. Where a shape is built of units (two
// lines of a grid, four sides of a square) n is rounded down to whole units.

#include "inputs/segment.h"

namespace loopweave::bench {

// n segments of length 4000 / sqrt(n), centres and directions uniformly
// random: each crosses about ten others at every size, so the cut drawing
// grows linearly with n.
Segments RandomSegments(int n);

// n/2 horizontal and n/2 vertical lines across the square, each ending on
// the outermost lines of the other direction: (n/2)^2 crossings, so the size
// of the cut drawing grows with the square of n.
Segments Grid(int n);

// n diameters of one circle of radius 500, all through the origin exactly
// (each runs from a point to its mirror image): one vertex of degree 2n.
Segments Star(int n);

// A closed chain of n/2 segments around a circle of radius 400 with a spike
// of length 20 at each of its corners, alternately inwards and outwards: two
// faces with long chains that run out and back at every other corner.
Segments ChainWithSpikes(int n);

// n/4 concentric squares, each drawn counter-clockwise side by side, the
// largest of side 1000: many groups of lines, one inside the other.
Segments NestedSquares(int n);

// n copies of one slanted segment across the square, keys 0 to n - 1: every
// pair overlaps end to end.
Segments CopiesOfOneSegment(int n);

// n segments on one slanted line, of random lengths from 20 to 200 at random
// places along it: each overlaps many others partly, and every end cuts every
// segment that passes over it.
Segments CollinearOverlapping(int n);

// One closed ring of n segments around the origin, like a coastline: the
// vertices at evenly increasing angles, the radius wandering near 1 by up
// to half an angular step at each (pulled back towards 1), so that the ring
// never crosses itself. At radius 1 its segments are 2e-5 to 3e-4 long for n
// from 20,000 to 320,000, as a detailed outline in degrees; `*S` gives it
// the radius S and `@D` moves it far out, as a coast in a state plane.
Segments Ring(int n);

}  // namespace loopweave::bench

#endif  // LOOPWEAVE_BENCH_INPUTS_GENERATED_INPUTS_H
