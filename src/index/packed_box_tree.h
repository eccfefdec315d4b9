#ifndef LOOPWEAVE_INDEX_PACKED_BOX_TREE_H
#define LOOPWEAVE_INDEX_PACKED_BOX_TREE_H

#include <cstddef>
#include <vector>

#include "geometry/box.h"
#include "geometry/strip.h"

namespace loopweave {

// A tree of boxes packed once, from a set of items known in advance: the
// entries are sorted along a Hilbert curve by their centres, sixteen to a
// leaf, and the nodes of each level are grouped sixteen to a node of the
// next, in that order, so that each node holds a compact patch. A query descends only into nodes whose boxes meet the query box.
// Unlike a grid's cells, a node holds boxes that lie together, however long
// and thin they are, so a query along a line among many parallel ones meets
// a few nodes per level rather than every line that crosses its cells.
//
// Entries can only leave (Drop); each node counts
// its live entries, and a query passes over nodes without any, so a tree
// most of whose entries have left costs queries little.
class PackedBoxTree {
public:
    struct Entry {
        Box box;
        int item;
    };

    // An empty tree.
    PackedBoxTree() = default;
    explicit PackedBoxTree(std::vector<Entry> entries);

    // The entries, in the tree's order: entry i is at position i.
    std::size_t Size() const { return entries_.size(); }
    const Entry& At(std::size_t entry) const { return entries_[entry]; }

    // Takes a live entry out of every answer from now on.
    void Drop(std::size_t entry);

    // Appends to `found` the item of every live entry whose box meets `box`.
    void Query(const Box& box, std::vector<int>& found) const;
    // Appends to `found` the item of every live entry whose box meets the
    // band: a band at a slant meets few of the nodes that its box would.
    void QueryAlong(const Strip& band, std::vector<int>& found) const;
    // Appends, each once, the item of every live entry whose box meets one of
    // the bands: bands that lie together share the descent through the nodes
    // above them.
    void QueryAlong(const std::vector<Strip::BoxTest>& bands, std::vector<int>& found) const;

private:
    struct Node {
        Box box;
        std::size_t live;  // live entries below it
    };
    // Reports the live entries below the node whose boxes `meets` accepts,
    // descending only into nodes whose boxes it accepts.
    template <typename Meets>
    void Descend(std::size_t level, std::size_t node, const Meets& meets, std::vector<int>& found) const;

    std::vector<Entry> entries_;
    std::vector<bool> live_;  // by entry
    // Nodes of level 0 are the leaves, each over up to tuning::kTreeFanOut
    // entries; a node of level l + 1 is over up to that many nodes of level l.
    std::vector<std::vector<Node>> levels_;  // leaves first; the last holds the root alone
};

}  // namespace loopweave

#endif  // LOOPWEAVE_INDEX_PACKED_BOX_TREE_H
