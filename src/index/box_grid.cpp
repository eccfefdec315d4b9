#include "index/box_grid.h"

#include <cmath>

#include "index/tuning.h"

namespace loopweave {

BoxGrid::BoxGrid(const Box& extent, std::size_t cellsWanted, BoxTable boxes) : boxes_(boxes) {
    grids_.emplace_back(extent, 1);
    grids_.emplace_back(extent, cellsWanted);
    // Coarser ones while a box can reach into too many cells of the last:
    // the last then takes any box.
    while (grids_.back().cells.size() > static_cast<std::size_t>(tuning::kMostCoarseCells)) {
        grids_.emplace_back(extent, grids_.back().cells.size() / tuning::kCoarserBy);
    }
    liveOn_.assign(grids_.size() + 1, 0);
}

std::size_t BoxGrid::SlotOf(int item) {
    const auto index = static_cast<std::size_t>(item);
    if (slotOf_.size() <= index) slotOf_.resize(index + 1, -1);
    if (slotOf_[index] < 0) {
        slotOf_[index] = static_cast<int>(slots_.size());
        slots_.push_back(Slot{CellRange{0, 0, -1, -1}, 0, item, kNowhere, false});
    }
    return static_cast<std::size_t>(slotOf_[index]);
}

void BoxGrid::Load(const std::vector<int>& items) {
    std::vector<PackedBoxTree::Entry> large;
    for (int item : items) {
        const Box& box = boxes_[static_cast<std::size_t>(item)];
        if (GridOf(kCoarse).RangeOf(box).Count() > tuning::kMostCoarseCells) {
            large.push_back({box, item});
        } else {
            Insert(item);
        }
    }
    tree_ = PackedBoxTree(std::move(large));
    for (std::size_t entry = 0; entry < tree_.Size(); ++entry) SetEntry(tree_.At(entry).item, static_cast<int>(entry));
}

int BoxGrid::EntryOf(int item) const {
    const auto index = static_cast<std::size_t>(item);
    return index < entryOf_.size() ? entryOf_[index] : -1;
}

void BoxGrid::SetEntry(int item, int entry) {
    const auto index = static_cast<std::size_t>(item);
    if (entryOf_.size() <= index) entryOf_.resize(index + 1, -1);
    entryOf_[index] = entry;
}

bool BoxGrid::LeaveTree(int item) {
    const int entry = EntryOf(item);
    if (entry < 0) return false;
    tree_.Drop(static_cast<std::size_t>(entry));
    SetEntry(item, -1);
    return true;
}

void BoxGrid::Insert(int item) {
    const int entry = EntryOf(item);
    if (entry >= 0) {
        if (tree_.At(static_cast<std::size_t>(entry)).box.Contains(boxes_[static_cast<std::size_t>(item)])) return;
        LeaveTree(item);
    }
    const std::size_t slot = SlotOf(item);
    if (slots_[slot].layer == kNowhere) ++liveItems_;
    List(slot);
    const bool crowded = !fineInUse_ ? liveItems_ > tuning::kMostItemsPerCoarseCell * GridOf(kCoarse).cells.size()
                                     : liveOn_[kFine] > tuning::kMostItemsPerFineCell * GridOf(kFine).cells.size();
    if (crowded && GridOf(kFine).cells.size() < tuning::kMostCells) Refine();
}

void BoxGrid::Retire(int item) {
    if (LeaveTree(item)) return;
    const auto index = static_cast<std::size_t>(item);
    if (index >= slotOf_.size() || slotOf_[index] < 0) return;
    const auto slot = static_cast<std::size_t>(slotOf_[index]);
    if (Live(slot)) {
        --liveItems_;
        --liveOn_[slots_[slot].layer];
    }
    slots_[slot].retired = true;
}

void BoxGrid::HandOver(int from, int to) {
    const int entry = EntryOf(from);
    if (entry >= 0) {
        SetEntry(from, -1);
        SetEntry(to, entry);
        tree_.Reassign(static_cast<std::size_t>(entry), to);
        return;
    }
    const std::size_t slot = SlotOf(from);
    slotOf_[static_cast<std::size_t>(from)] = -1;
    if (slotOf_.size() <= static_cast<std::size_t>(to)) slotOf_.resize(static_cast<std::size_t>(to) + 1, -1);
    slotOf_[static_cast<std::size_t>(to)] = static_cast<int>(slot);
    slots_[slot].item = to;
}

// Cells that listed the slot before on the same grid list it still. Its
// entries elsewhere are stale and go as queries meet them; should the slot
// come back to such a cell first, the cell lists it twice, and queries report
// it once.
void BoxGrid::List(std::size_t slot) {
    Slot& listed = slots_[slot];
    const Box& box = boxes_[static_cast<std::size_t>(listed.item)];
    Layer layer = kFine;
    CellRange range = GridOf(kFine).RangeOf(box);
    if (!fineInUse_ || range.Count() > tuning::kMostFineCells) {
        layer = kCoarse;
        range = GridOf(kCoarse).RangeOf(box);
        while (range.Count() > tuning::kMostCoarseCells && layer < grids_.size()) {
            ++layer;
            range = GridOf(layer).RangeOf(box);
        }
    }
    if (listed.layer != kNowhere) --liveOn_[listed.layer];
    ++liveOn_[layer];
    Grid& grid = GridOf(layer);
    for (int y = range.y0; y <= range.y1; ++y) {
        for (int x = range.x0; x <= range.x1; ++x) {
            if (listed.layer != layer || !listed.range.Contains(x, y)) grid.Cell(x, y).push_back(static_cast<int>(slot));
        }
    }
    listed.layer = layer;
    listed.range = range;
}

void BoxGrid::Refine() {
    GridOf(kFine) = Grid(GridOf(kFine).extent, 2 * liveItems_);
    fineInUse_ = true;
    for (std::size_t slot = 0; slot < slots_.size(); ++slot) {
        if (!Live(slot)) continue;
        // Entries on the old fine grid are gone: list such slots anew.
        if (slots_[slot].layer == kFine) {
            slots_[slot].layer = kNowhere;
            --liveOn_[kFine];
        }
        List(slot);
    }
}

void BoxGrid::Query(const Box& box, std::vector<int>& found) {
    ++query_;
    QueryBox(box, found);
}

// Appends the slot's item unless this query has reported it already.
void BoxGrid::Report(std::size_t slot, std::vector<int>& found) {
    Slot& reported = slots_[slot];
    if (reported.seenAt == query_) return;
    reported.seenAt = query_;
    found.push_back(reported.item);
}

void BoxGrid::QueryCell(Layer layer, int x, int y, std::vector<int>& found) {
    std::vector<int>& cell = GridOf(layer).Cell(x, y);
    for (std::size_t i = 0; i < cell.size();) {
        const auto slot = static_cast<std::size_t>(cell[i]);
        const Slot& listed = slots_[slot];
        // Entries of retired slots, and of slots listed elsewhere now, are
        // dropped as they are met.
        if (listed.retired || listed.layer != layer || !listed.range.Contains(x, y)) {
            cell[i] = cell.back();
            cell.pop_back();
            continue;
        }
        ++i;
        Report(slot, found);
    }
}

void BoxGrid::QueryBox(const Box& box, std::vector<int>& found) {
    for (Layer layer = kFine; layer <= grids_.size(); ++layer) {
        if (liveOn_[layer] > 0) QueryGrid(layer, box, found);
    }
    tree_.Query(box, found);
}

void BoxGrid::QueryGrid(Layer layer, const Box& box, std::vector<int>& found) {
    const CellRange range = GridOf(layer).RangeOf(box);
    for (int y = range.y0; y <= range.y1; ++y) {
        for (int x = range.x0; x <= range.x1; ++x) QueryCell(layer, x, y, found);
    }
}


}  // namespace loopweave
