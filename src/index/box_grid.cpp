#include "index/box_grid.h"

#include <algorithm>
#include <cmath>

#include "index/tuning.h"

namespace loopweave {

BoxGrid::BoxGrid(const Box& extent, std::size_t cellsWanted, BoxTable boxes) : boxes_(boxes) {
    grids_.emplace_back(extent, 1);
    grids_.emplace_back(extent, cellsWanted);
    // Coarser ones while a box can reach into too many cells of the last:
    // the last then takes any box.
    while (grids_.back().cells.size() > static_cast<std::size_t>(tuning::kMostCoarseCells)) {
        grids_.emplace_back(extent, grids_.back().cells.size() / (tuning::kCoarserBy * tuning::kCoarserBy));
    }
    liveOn_.assign(grids_.size(), 0);
}

std::size_t BoxGrid::SlotOf(int item) {
    int& slot = WhereOf(item).slot;
    if (slot < 0) {
        slot = static_cast<int>(slots_.size());
        slots_.push_back(Slot{CellRange{0, 0, -1, -1}, 0, item, Slot::kNowhere, false});
    }
    return static_cast<std::size_t>(slot);
}

void BoxGrid::Load(const std::vector<int>& items, BandOf bandOf) {
    bandOf_ = std::move(bandOf);
    std::vector<int> large;
    for (int item : items) {
        if (GridOf(kCoarse).RangeOf(boxes_[static_cast<std::size_t>(item)]).Count() > tuning::kMostCoarseCells) {
            large.push_back(item);
        } else {
            Insert(item);
        }
    }
    LoadTree(large);
}

// A stretch is about a coarse cell long, longer where the lines would make
// too many (many copies of one long line), and the margin a small share of a
// cell: far wider than the rounding of the stretches' ends and than the ends
// of Ts that pieces cut off the item may have, so that those stay held.
void BoxGrid::LoadTree(const std::vector<int>& large) {
    const double cell = GridOf(kCoarse).cellSize;
    heldMargin_ = cell * tuning::kHeldMarginOfCell;
    std::vector<Held> held(large.size(), Held{-1, false, {}});
    double totalLength = 0;
    for (std::size_t i = 0; i < large.size(); ++i) {
        held[i].item = large[i];
        held[i].alongSegment = bandOf_ && bandOf_(large[i], held[i].band);
        const Strip& band = held[i].band;
        if (held[i].alongSegment) totalLength += std::hypot(band.to.x - band.from.x, band.to.y - band.from.y);
    }
    const double most = tuning::kStretchesPerLine * static_cast<double>(large.size());
    const double stretch = totalLength > cell * most ? totalLength / most : cell;

    std::vector<PackedBoxTree::Entry> entries;
    for (Held& line : held) {
        const int place = static_cast<int>(held_.size());
        const Point start = line.band.from;
        const Point end = line.band.to;
        const double length = std::hypot(end.x - start.x, end.y - start.y);
        const double count = std::ceil(length / stretch);
        line.alongSegment = line.alongSegment && count > 1;
        if (line.alongSegment) {
            const auto stretches = static_cast<int>(count);
            const auto at = [&](int i) {
                const double t = static_cast<double>(i) / stretches;
                return i == stretches ? end : Point{start.x + t * (end.x - start.x), start.y + t * (end.y - start.y)};
            };
            for (int i = 0; i < stretches; ++i) {
                entries.push_back({Box::Around(at(i), at(i + 1)).Grown(line.band.halfWidth + heldMargin_), place});
            }
        } else {
            entries.push_back({boxes_[static_cast<std::size_t>(line.item)], place});
        }
        held_.push_back(line);
        WhereOf(line.item).held = place;
    }
    tree_ = PackedBoxTree(std::move(entries));
    // The entries of each held item, in the tree's order.
    entriesFrom_.assign(held_.size() + 1, 0);
    for (std::size_t entry = 0; entry < tree_.Size(); ++entry)
        ++entriesFrom_[static_cast<std::size_t>(tree_.At(entry).item) + 1];
    for (std::size_t h = 0; h < held_.size(); ++h) entriesFrom_[h + 1] += entriesFrom_[h];
    entries_.resize(tree_.Size());
    std::vector<std::size_t> next(entriesFrom_.begin(), entriesFrom_.end() - 1);
    for (std::size_t entry = 0; entry < tree_.Size(); ++entry)
        entries_[next[static_cast<std::size_t>(tree_.At(entry).item)]++] = entry;
}

bool BoxGrid::StillHeld(std::size_t place) const {
    const Held& held = held_[place];
    if (!held.alongSegment)
        return tree_.At(entries_[entriesFrom_[place]]).box.Contains(boxes_[static_cast<std::size_t>(held.item)]);
    Strip band{};
    return bandOf_(held.item, band) && band.halfWidth <= held.band.halfWidth &&
           Strip{held.band.from, held.band.to, heldMargin_}.Holds(Strip{band.from, band.to, 0}, heldMargin_ / 2,
                                                                  Strip::kFromSegment);
}

void BoxGrid::ReportHeld(const std::vector<int>& entries, std::vector<int>& found) {
    for (int place : entries) {
        if (stamps_.FirstOf(static_cast<std::size_t>(place)))
            found.push_back(held_[static_cast<std::size_t>(place)].item);
    }
}

bool BoxGrid::LeaveTree(Where& item) {
    if (item.held < 0) return false;
    const auto h = static_cast<std::size_t>(item.held);
    for (std::size_t i = entriesFrom_[h]; i < entriesFrom_[h + 1]; ++i) tree_.Drop(entries_[i]);
    item.held = -1;
    return true;
}

void BoxGrid::Insert(int item) {
    Where& where = WhereOf(item);
    if (where.held >= 0) {
        if (StillHeld(static_cast<std::size_t>(where.held))) return;
        LeaveTree(where);
    }
    const std::size_t slot = SlotOf(item);
    if (slots_[slot].level == Slot::kNowhere) ++liveItems_;
    List(slot);
    const bool crowded = !fineInUse_ ? liveItems_ > tuning::kMostItemsPerCoarseCell * GridOf(kCoarse).cells.size()
                                     : liveOn_[kFine] > tuning::kMostItemsPerFineCell * GridOf(kFine).cells.size();
    if (crowded && GridOf(kFine).cells.size() < tuning::kMostCells) Refine();
}

void BoxGrid::Retire(int item) {
    Where& where = WhereOf(item);
    if (LeaveTree(where) || where.slot < 0) return;
    Slot& slot = slots_[static_cast<std::size_t>(where.slot)];
    if (slot.Live()) {
        --liveItems_;
        --liveOn_[static_cast<std::size_t>(slot.level)];
    }
    slot.retired = true;
}

void BoxGrid::HandOver(int from, int to) {
    WhereOf(std::max(from, to));  // grown for both
    Where& given = where_[static_cast<std::size_t>(from)];
    Where& taker = where_[static_cast<std::size_t>(to)];
    if (given.held >= 0) {
        taker.held = given.held;
        given.held = -1;
        held_[static_cast<std::size_t>(taker.held)].item = to;
        return;
    }
    taker.slot = static_cast<int>(SlotOf(from));
    given.slot = -1;
    slots_[static_cast<std::size_t>(taker.slot)].item = to;
}

void BoxGrid::List(std::size_t slot) {
    Slot& listed = slots_[slot];
    const Box& box = boxes_[static_cast<std::size_t>(listed.item)];
    Layer layer = kFine;
    CellRange range = GridOf(kFine).RangeOf(box);
    if (!fineInUse_ || range.Count() > tuning::kMostFineCells) {
        layer = kCoarse;
        range = GridOf(kCoarse).RangeOf(box);
        while (range.Count() > tuning::kMostCoarseCells && static_cast<std::size_t>(layer) + 1 < grids_.size()) {
            ++layer;
            range = GridOf(layer).RangeOf(box);
        }
    }
    if (listed.level != Slot::kNowhere) --liveOn_[static_cast<std::size_t>(listed.level)];
    ++liveOn_[static_cast<std::size_t>(layer)];
    Grid& grid = GridOf(layer);
    listed.Relist(layer, range, [&](int x, int y) { grid.Cell(x, y).push_back(static_cast<int>(slot)); });
}

void BoxGrid::Refine() {
    GridOf(kFine) = Grid(GridOf(kFine).extent, tuning::kCellsPerItem * liveItems_);
    fineInUse_ = true;
    for (std::size_t slot = 0; slot < slots_.size(); ++slot) {
        if (!slots_[slot].Live()) continue;
        // Entries on the old fine grid are gone: list such slots anew.
        if (slots_[slot].level == kFine) {
            slots_[slot].level = Slot::kNowhere;
            --liveOn_[kFine];
        }
        List(slot);
    }
}

void BoxGrid::QueryCell(Grid& grid, Layer layer, int x, int y, std::vector<int>& found) {
    std::vector<int>& cell = grid.Cell(x, y);
    for (std::size_t i = 0; i < cell.size();) {
        const auto slot = static_cast<std::size_t>(cell[i]);
        Slot& listed = slots_[slot];
        if (listed.StaleAt(layer, x, y)) {
            cell[i] = cell.back();
            cell.pop_back();
            continue;
        }
        ++i;
        if (stamps_.First(listed.seenAt)) found.push_back(listed.item);
    }
}

// Each grid is read along the band cell by cell, each of its cells once,
// and the tree descends only into the nodes the band meets.
void BoxGrid::QueryAlong(const Strip& band, std::vector<int>& found) {
    stamps_.NextQuery();
    for (Layer layer = kFine; static_cast<std::size_t>(layer) < grids_.size(); ++layer) {
        if (liveOn_[static_cast<std::size_t>(layer)] == 0) continue;
        Grid& grid = GridOf(layer);
        grid.ForEachCellAlong(band, [&](int x, int y) { QueryCell(grid, layer, x, y, found); });
    }
    treeFound_.clear();
    tree_.QueryAlong(band, treeFound_);
    ReportHeld(treeFound_, found);
}

void BoxGrid::Query(const Box& box, std::vector<int>& found) {
    stamps_.NextQuery();
    for (Layer layer = kFine; static_cast<std::size_t>(layer) < grids_.size(); ++layer) {
        if (liveOn_[static_cast<std::size_t>(layer)] > 0) QueryGrid(layer, box, found);
    }
    treeFound_.clear();
    tree_.Query(box, treeFound_);
    ReportHeld(treeFound_, found);
}

void BoxGrid::QueryGrid(Layer layer, const Box& box, std::vector<int>& found) {
    Grid& grid = GridOf(layer);
    const CellRange range = grid.RangeOf(box);
    for (int y = range.y0; y <= range.y1; ++y) {
        for (int x = range.x0; x <= range.x1; ++x) QueryCell(grid, layer, x, y, found);
    }
}

}  // namespace loopweave
