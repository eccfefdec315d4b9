#ifndef LOOPWEAVE_PREPARE_LIST_ORDER_H
#define LOOPWEAVE_PREPARE_LIST_ORDER_H

#include <cstdint>
#include <vector>

#include "loopweave.h"

namespace loopweave {

// Labels that compare like the places of elements in a list into which new
// elements are inserted, so that two elements' order is read in constant time
// instead of by walking the list. Elements are known by their serial, which
// the owner sets to a number of its choosing below Size() before labelling.
//
// A new element takes the middle of the gap between its neighbours. When no
// gap is left, a stretch of the list around it is spread out evenly: the
// stretch doubles until its span of labels leaves at least a gap of its
// length per element, which keeps the relabelling cheap on average.
class ListOrder {
public:
    // Labels every element of the list as it stands, in order, numbering their
    // serials from 0.
    explicit ListOrder(CPtrList& list);

    // Gives the elements from `first` up to, not including, `end` (null for
    // the end of the list), just inserted, the next serials and labels between
    // their neighbours'.
    void InsertRun(CPtrList::Node* first, CPtrList::Node* end);

    std::uint64_t Label(int serial) const { return labels_[static_cast<std::size_t>(serial)]; }
    int Size() const { return static_cast<int>(labels_.size()); }

private:
    std::uint64_t LabelAt(CPtrList::Node* node, std::uint64_t beyond) const;
    // Relabels a stretch of `count` elements from `first` to `last`, and as
    // much of the list around it as needed to leave room between labels.
    void Spread(CPtrList::Node* first, CPtrList::Node* last, std::uint64_t count);
    void SpaceEvenly(CPtrList::Node* first, CPtrList::Node* last, std::uint64_t count, std::uint64_t low,
                     std::uint64_t high);

    CPtrList& list_;
    std::vector<std::uint64_t> labels_;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_PREPARE_LIST_ORDER_H
