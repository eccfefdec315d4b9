#ifndef LOOPWEAVE_CUT_LIST_ORDER_H
#define LOOPWEAVE_CUT_LIST_ORDER_H

#include <cstdint>
#include <vector>

#include "cut/piece_table.h"
#include "store/growing_table.h"

namespace loopweave {

// Labels that compare like the places of pieces in a list into which new
// pieces are inserted, so that two pieces' order is read in constant time
// instead of by walking the list.
//
// A new piece takes the middle of the gap between its neighbours. When no gap
// is left, a stretch of the list around it is spread out evenly: the stretch
// doubles until its span of labels leaves at least a gap of its length per
// piece, which keeps the relabelling cheap on average.
class ListOrder {
public:
    // Labels every piece of the table as it stands, in order.
    explicit ListOrder(const PieceTable& pieces);

    // Labels the pieces from `first` up to, not including, `end` (kNone for the
    // end of the list), just inserted, between their neighbours.
    void InsertRun(int first, int end);

    std::uint64_t Label(int piece) const { return labels_[static_cast<std::size_t>(piece)]; }

private:
    std::uint64_t LabelAt(int piece, std::uint64_t beyond) const;
    // Relabels a stretch of `count` pieces from `first` to `last`, and as much
    // of the list around it as needed to leave room between labels.
    void Spread(int first, int last, std::uint64_t count);
    void SpaceEvenly(int first, int last, std::uint64_t count, std::uint64_t low, std::uint64_t high);

    const PieceTable& pieces_;
    GrowingTable<std::uint64_t> labels_;  // by piece
};

}  // namespace loopweave

#endif  // LOOPWEAVE_CUT_LIST_ORDER_H
