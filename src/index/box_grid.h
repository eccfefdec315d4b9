#ifndef LOOPWEAVE_INDEX_BOX_GRID_H
#define LOOPWEAVE_INDEX_BOX_GRID_H

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "geometry/box.h"
#include "geometry/point.h"
#include "geometry/strip.h"
#include "index/box_table.h"
#include "index/cell_frame.h"
#include "index/cell_listing.h"
#include "index/packed_box_tree.h"
#include "store/growing_table.h"

namespace loopweave {

// Grids of cells over a fixed extent, each cell listing the items whose
// boxes reach into it: the candidates for meeting a box are the items listed
// in the cells the box reaches into. An item whose box changes is listed in
// the cells it newly reaches and dropped lazily from those it left, so
// candidates are a superset that the caller narrows with the items' own
// boxes. Boxes beyond the extent are clamped to its border cells.
//
// Items live on one of several grids, their layers. The coarse grid has
// cells sized for the drawing as it came. An item that would reach into many
// of its cells goes instead on the first of a row of ever coarser grids,
// each with cells eight times as wide, where it reaches into few; the last
// has so few cells that any box fits. Listed cell by cell on the coarse grid
// such an item would cost every query that meets those cells, and a drawing
// of many copies of one long line would cost each query the whole grid. (A
// single list of such items, reported to every query, made a drawing of
// many long lines that never meet, like nested squares, quadratic.) Once the
// items crowd the cells they occupy, as when cutting turns each of many
// crossing lines into hundreds of short pieces, or when a long outline of
// short segments passes through few of the cells, the short ones move to a
// fine grid: the coarse cells they reach split into equal cells, made only
// there, and split twice as finely each time their items crowd them again.
// A grid sized for the whole extent would stay crowded on an outline, whose
// items fill a share of the cells that falls as they multiply. The fine
// cells are read through the coarse cells a query reaches, so the fine grid
// waits until the crowding pays for reading them.
//
// Items present from the start can be loaded together (Load), and those of
// them too large for the coarse grid go instead into a tree packed for them
// once (PackedBoxTree), where they stay while their boxes lie within the
// boxes they were loaded with. Cells that many long lines pass through are
// crowded on every grid, coarse or coarser, and a query along one of them
// read every entry there: nested squares took time quadratic in their
// number. The tree gives such a query the few boxes it meets.
//
// A long line at a slant has a box that covers most of the drawing, and the
// boxes of many such lines, as in a turned grid, overlap in every node of
// the tree, so that each query read every line. Where the owner gives an
// item's band (its segment and how far from it the item is sought), the
// tree holds it instead by the boxes of short stretches of the band, each
// about a coarse cell long and grown by a margin, and it stays there while
// its segment lies within the margin of the one it was loaded with, its
// band no wider. A query then meets the stretches near it, not the whole
// line: it finds every item whose band meets what is asked, and the owner
// must ask for no more than that of such an item.
//
// Items are numbered from 0. Their boxes are read from the owner's table,
// which the owner keeps current and reports changes of (Insert). Cells list
// slots, each holding one item's entries: a piece cut off an item can take
// over the item's slot (HandOver), so that the remaining piece of a long
// line, cut again and again, is not listed afresh along the rest of the line
// each time, nor are the line's old entries met as stale ones by every query
// along it.
class BoxGrid {
public:
    // About `cellsWanted` square cells on the coarse grid.
    BoxGrid(const Box& extent, std::size_t cellsWanted, BoxTable boxes);

    // The band of an item, from the owner's table as it stands: true, with
    // the band, for an item that may be held by stretches of it.
    using BandOf = std::function<bool(int item, Strip& band)>;

    // Lists items not listed yet, as Insert does, except that those too
    // large for the coarse grid go into the tree, by stretches of their
    // bands where `bandOf` gives them. Once, before anything else is
    // listed: the tree is packed here and takes no items later.
    void Load(const std::vector<int>& items, BandOf bandOf = nullptr);

    // Lists the item, new or with a new box, in every cell its box reaches
    // that does not list it yet; an item in the tree stays there while its box
    // lies within the one it was loaded with, or its segment within the
    // margin of the one it was loaded with and its band no wider.
    void Insert(int item);

    // Takes the item off the grid; its entries go as queries meet them.
    // Inserted again, it is listed afresh.
    void Retire(int item);

    // Gives the entries of `from`, or its place in the tree, to `to`, an item
    // not listed yet, and lists `from` nowhere. Both are to be inserted with
    // their boxes next.
    void HandOver(int from, int to);

    // Appends to `found` every item listed in a cell that the box reaches,
    // and every item in the tree whose loaded box, or a stretch of it, it
    // meets, each once, in no particular order.
    void Query(const Box& box, std::vector<int>& found);

    // Appends, as Query does, the items listed in the cells that the band
    // reaches on each grid (CellFrame::ForEachCellAlong), and the items in the
    // tree whose loaded boxes, or stretches, it meets, each once.
    void QueryAlong(const Strip& band, std::vector<int>& found);

private:
    using CellRange = CellFrame::Range;
    // A uniform grid of square cells over the extent.
    struct Grid : CellFrame {
        Grid(const Box& extent, std::size_t cellsWanted) : CellFrame(extent, cellsWanted), cells(Cells()) {}
        std::vector<int>& Cell(int x, int y) { return cells[Index(x, y)]; }

        std::vector<std::vector<int>> cells;
        std::size_t occupied = 0;  // cells with entries, stale ones included
    };
    // The fine grid: coarse cells split into 2^splitBits by 2^splitBits
    // cells, in blocks made only for the coarse cells items are listed under.
    struct FineGrid : CellFrame {
        FineGrid(const Grid& coarse, int splitBits)
            : CellFrame(coarse, 1 << splitBits), splitBits(splitBits), blockOf(coarse.Cells(), kNoBlock) {}
        // Where in `cells` fine cell (x, y) is, within a block starting at `block`.
        std::size_t InBlock(int block, int x, int y) const {
            const int mask = (1 << splitBits) - 1;
            return static_cast<std::size_t>(block) + static_cast<std::size_t>(((y & mask) << splitBits) + (x & mask));
        }
        // The block of coarse cell (x, y), or kNoBlock.
        int& BlockOf(int x, int y) {
            return blockOf[static_cast<std::size_t>(y) * static_cast<std::size_t>(columns >> splitBits) +
                           static_cast<std::size_t>(x)];
        }
        // The cell, its block made if need be.
        std::vector<int>& Cell(int x, int y);

        static constexpr int kNoBlock = -1;
        int splitBits;              // each coarse cell is split 2^splitBits by 2^splitBits
        std::vector<int> blockOf;  // by coarse cell: where its block starts in `cells`
        std::vector<std::vector<int>> cells;
        std::size_t occupied = 0;  // cells with entries, stale ones included
    };
    // Which grid lists a slot: the fine one, grids_[layer - kCoarse], or none.
    using Layer = CellListing<int>::Level;
    static constexpr Layer kFine = 0;
    static constexpr Layer kCoarse = 1;
    // One item's entries: on a grid, in every cell of its range. Kept
    // together, as a query reads all of it for every entry it meets.
    using Slot = CellListing<int>;

    Grid& GridOf(Layer layer) { return grids_[static_cast<std::size_t>(layer - kCoarse)]; }
    Layer Layers() const { return static_cast<Layer>(grids_.size() + kCoarse); }
    // Where an item is listed: its slot, and its place in held_, each or -1.
    struct Where {
        int slot;
        int held;
    };
    // Made, as nowhere, for an item not seen yet. Inline: every change asks it.
    Where& WhereOf(int item) {
        const auto index = static_cast<std::size_t>(item);
        if (where_.size() <= index) where_.resize(index + 1, Where{-1, -1});
        return where_[index];
    }
    // The item's slot, made when it has none.
    std::size_t SlotOf(int item);
    void List(std::size_t slot);
    // Whether the items on the coarse grid, or on the fine one, crowd the
    // cells they occupy, and the fine grid may be split more finely.
    bool Crowded() const;
    // Builds the fine grid afresh, the coarse cells split 2^splitBits by
    // 2^splitBits, and lists the short items there.
    void Refine(int splitBits);
    void QueryGrid(Layer layer, const Box& box, std::vector<int>& found);
    // Reads coarse cell (x, y) and, where the fine grid is in use, those of
    // its fine cells within `fine`: the fine cells a query reaches.
    inline void QueryCoarseCell(int x, int y, const CellRange& fine, std::vector<int>& found);
    // Inline: a query's inner loop, which a call per cell slows by a tenth.
    // Drops the stale entries, and counts the cell as unoccupied once empty.
    inline void QueryCell(std::vector<int>& cell, std::size_t& occupied, Layer layer, int x, int y,
                          std::vector<int>& found);
    // An item held by the tree: by one box, or by the stretches of its band
    // as it was loaded, each grown by the margin. The tree's entries name
    // these.
    struct Held {
        int item;
        bool alongSegment;
        Strip band;
    };
    // Loads the tree with the large items.
    void LoadTree(const std::vector<int>& large);
    // Whether the item held at `place` still lies where the tree holds it.
    bool StillHeld(std::size_t place) const;
    // Appends the items held by the entries the tree gave, each once.
    void ReportHeld(const std::vector<int>& entries, std::vector<int>& found);
    // Takes the item out of the tree, if it is there; false if it was not.
    bool LeaveTree(Where& item);

    BoxTable boxes_;
    // The coarse grid, then the ever coarser ones.
    std::vector<Grid> grids_;
    std::optional<FineGrid> fine_;
    std::size_t liveItems_ = 0;
    std::vector<std::size_t> liveOn_;  // live items by layer: a grid without any is not asked
    std::size_t inOneFineCell_ = 0;    // live items listed in one fine cell
    BandOf bandOf_;
    PackedBoxTree tree_;  // whose entries name places in held_
    std::vector<Held> held_;
    double heldMargin_ = 0;
    std::vector<std::size_t> entriesFrom_;  // held h has tree entries entries_[entriesFrom_[h]] on to the next's
    std::vector<std::size_t> entries_;
    std::vector<int> treeFound_;
    GrowingTable<Slot> slots_;
    GrowingTable<Where> where_;  // by item
    QueryStamps stamps_;        // of slots, in them, and of the held, by place
};

}  // namespace loopweave

#endif  // LOOPWEAVE_INDEX_BOX_GRID_H
