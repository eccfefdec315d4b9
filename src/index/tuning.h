#ifndef LOOPWEAVE_INDEX_TUNING_H
#define LOOPWEAVE_INDEX_TUNING_H

// Every number the indexes that find candidate pairs are tuned by
// (candidate_index.h). None of them changes a result, only time and memory:
// where a limit is reached, an index declines and its caller walks every
// pair.

#include <cstddef>

namespace loopweave::tuning {

// Cells over a grid's extent: never more than this many.
inline constexpr std::size_t kMostCells = std::size_t{1} << 24;

// A band wider than this share of its extent's spread would meet much of the
// extent: its segment is paired with every other instead.
inline constexpr double kWidestBandOfSpread = 1.0 / 8;

// PackedBoxTree: entries to a leaf, and nodes to a node of the next level.
inline constexpr std::size_t kTreeFanOut = 16;

// BoxGrid, the grids of cutting's walk over nearby pairs. Each coarser level,
// here and in SparseBoxGrid, has cells this many times as wide as the last's.
inline constexpr std::size_t kCoarserBy = 8;
// Cells on the coarse grid for each piece, and on a fine grid for each item.
inline constexpr std::size_t kCellsPerItem = 2;
// More cells than this on the coarse grid, or on a coarser one, and an item
// goes on the next coarser grid, or into the tree when it is loaded.
inline constexpr long kMostCoarseCells = 64;
// A long line at a slant loaded into the tree is held by stretches of about a
// coarse cell, each grown by this share of a cell; the stretches are made
// longer where the lines would have more than this many each on average.
inline constexpr double kHeldMarginOfCell = 1.0 / 64;
inline constexpr double kStretchesPerLine = 16;
// Live items per coarse cell beyond which the short ones move to a fine grid.
inline constexpr std::size_t kMostItemsPerCoarseCell = 16;
// More fine cells than this and an item stays on the coarse grid.
inline constexpr long kMostFineCells = 4;
// Items per fine cell beyond which the fine grid is made finer.
inline constexpr std::size_t kMostItemsPerFineCell = 4;

// The walk over nearby pairs near the origin: a piece whose box is wider and
// higher than this many reaches is filtered by its strip, and one whose box
// is wider and higher than this many of the grid's cells is sought along it.
inline constexpr double kStripInReaches = 4;
inline constexpr double kSlantInCells = 8;

// SparseBoxGrid: this many levels; a hash table of cells this long at first,
// and never longer than the most.
inline constexpr int kSparseLevels = 40;
inline constexpr std::size_t kSparseFewestSlots = std::size_t{1} << 10;
inline constexpr std::size_t kSparseMostSlots = std::size_t{1} << 30;

// The walk over nearby pairs: pieces are kept in runs of this many, long
// enough that passing over runs costs little next to reading pieces, short
// enough that a run holds few pieces out of a shrunk pass's reach.
inline constexpr std::size_t kInnerRunLength = 32;
// A piece out of bounds is paired with the later pieces across much of the
// drawing, each pair costing the walk over nearby pairs a few times what it
// costs the walk over every pair. While such pairs are at most one in this
// many of all, the walk over nearby pairs is still several times the faster;
// with many more, the walk over every pair is.
inline constexpr double kMostUnboundShare = 64;

// ContactCandidates, the cells of the self-crossing check.
// Below this many elements, testing every pair costs less than the grid.
inline constexpr std::size_t kFewestForGrid = 32;
// The grid's cells are made large enough that the elements cover at most
// this many of them on average.
inline constexpr double kMostEntriesPerElement = 8;
// Where the listing would not fit in cells this many times the median size,
// an element whose box covers more of them than this is compared with every
// other instead, if there are at most so many such elements, and one more
// for each so many elements of the chain.
inline constexpr double kMostGrowth = 8;
inline constexpr double kMostEntriesOfOne = 64;
inline constexpr std::size_t kMostWidened = 16;
inline constexpr std::size_t kElementsPerWidened = 4096;
// Near the origin, where the elements' reaches are mostly more than this many
// times their lengths, their pairs are found along strips rather than in the
// grid.
inline constexpr double kMostReachInLengthsForGrid = 8;
// The pairs found along strips are stored: a chain with more than this many
// is listed in the grid instead.
inline constexpr std::size_t kMostPairsPerElement = 64;
inline constexpr std::size_t kMostPairs = std::size_t{1} << 20;

}  // namespace loopweave::tuning

#endif  // LOOPWEAVE_INDEX_TUNING_H
