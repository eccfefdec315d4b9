#ifndef LOOPWEAVE_INDEX_CANDIDATE_INDEX_H
#define LOOPWEAVE_INDEX_CANDIDATE_INDEX_H

// Finding the pairs that might touch: what every index in this folder
// guarantees, what it requires, and the two questions it answers.
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
// The questions, with one name and one convention wherever they are asked:
//     Query(box, found)        the items whose stored shapes may meet the box;
//     QueryAlong(band, found)  the items whose stored shapes may meet the band.
// Each appends item numbers to `found`, in no particular order, each once
// unless the index says otherwise. An index grows nothing: the caller asks by
// the box or band it means, grown by the reach and padded for rounding, and
// stores shapes as wide as they must be found.
//
// The indexes, and who asks them:
//  - BoxGrid, by box and along a band: the walk over nearby pairs (cut/),
//    over pieces whose boxes change as they are cut, asked along the strip
//    of a piece at a slant; the long ones loaded at the start go into a
//    PackedBoxTree, those at a slant by stretches of their segments.
//  - SparseBoxGrid, by box: the same walk far from the origin, over the
//    places of the pieces' lines (geometry/line_reach.h), crowded at a few
//    angles, as they change.
//  - PackedBoxTree, by box and along a band: boxes packed once; BoxGrid's
//    long pieces, and the ends of a chain's elements for EndsNearLines.
//  - ContactCandidates: the self-crossing check's pairs, element by element,
//    from cells listing each element's box grown by its reach and, far from
//    the origin, from EndsNearLines, which asks along each element's band.
// CellFrame is the geometry of cells the grids share; tuning.h holds every
// number the indexes are tuned by, none of which changes a result.
// (LineIndex finds no pairs in contact: it files end points for the frame's
// test of repeated elements.)

#include <type_traits>
#include <utility>
#include <vector>

#include "geometry/box.h"
#include "geometry/strip.h"

namespace loopweave {

// The two questions, as they are asked everywhere, and whether an index
// answers one: Answers<ByBox, Index>, Answers<AlongBand, Index>.
template <typename Index>
using ByBox = decltype(std::declval<Index&>().Query(std::declval<const Box&>(), std::declval<std::vector<int>&>()));
template <typename Index>
using AlongBand =
    decltype(std::declval<Index&>().QueryAlong(std::declval<const Strip&>(), std::declval<std::vector<int>&>()));

template <template <typename> class Question, typename Index, typename = void>
struct Answers : std::false_type {};
template <template <typename> class Question, typename Index>
struct Answers<Question, Index, std::void_t<Question<Index>>> : std::true_type {};

}  // namespace loopweave

#endif  // LOOPWEAVE_INDEX_CANDIDATE_INDEX_H
