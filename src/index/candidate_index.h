#ifndef LOOPWEAVE_INDEX_CANDIDATE_INDEX_H
#define LOOPWEAVE_INDEX_CANDIDATE_INDEX_H

// Finding the pairs that might touch: what the indexes in this folder
// guarantee, what they require, and the questions they answer. A note to
// read first; it declares nothing.
//
// Guarantee. Asked about a piece or an element, an index returns every other
// one that the kernel's tests, as written, could find in contact with it:
// every pair it leaves out tests as no contact, so a walk over the pairs it
// returns, in the walk's own order, meets every contact that the walk over
// every pair meets, and changes no result. It may return more; the caller
// tests each pair as the walk over every pair would.
//
// Requirements. The argument is geometry/contact_reach.h: near the origin,
// two segments whose boxes lie farther apart than the larger of their
// reaches never touch; far from it, where the rounding of the side test
// outgrows the tolerance, only a pair with an end of one within a thin band
// along the other's line, or a pair that truly meets, can; and cutting,
// beyond a distance, only a pair on nearly the same line
// (geometry/line_reach.h). So the caller asks by a box grown by the reach,
// along the band of every segment long for its coordinates
// (geometry/strip.h), or, for cutting, by the place of its line grown by the
// reach in the plane of lines, each with a pad for the rounding of the
// growing; and an index that stores boxes reads them from its owner's table
// as the owner keeps it current (BoxTable).
//
// Cutting's question (CutCandidates::Find). Asked by a region (cut/region.h)
// with the box B, the band N that narrows it near the origin or none, and
// the place P far from the origin or none, and by the caller's test of a
// piece (the region's own, Region::MayMeet), the finder appends, each once
// and in no particular order, every live piece the test accepts of those
// whose own box meets B (and, near the origin, meets N or has a segment that
// does), and far from the origin of those whose place meets P in the plane
// of lines, modulo its half turn. The test is applied before the pieces
// found twice are dropped, as it drops most of them. Its parts (BoxGrid with
// its PackedBoxTree, SparseBoxGrid over the places) answer by box, and where
// they can along a band, appending item numbers; none grows what it is
// asked.
//
// The self-crossing check's question (ContactCandidates::ForEachAfter):
// element by element, the later elements from cells listing each element's
// box grown by its reach, or near the origin from StripPairs, which asks a
// PackedBoxTree of the segments along each element's strips, and far from it
// also from a SparseBoxGrid of the elements' places. (LineIndex
// finds no pairs in contact: it files end points for the frame's test of
// repeated elements.)

#endif  // LOOPWEAVE_INDEX_CANDIDATE_INDEX_H
