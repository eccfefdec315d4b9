#include "index/box_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "index/tuning.h"

namespace loopweave {

BoxGrid::BoxGrid(const Box& extent, std::size_t cellsWanted, BoxTable boxes) : boxes_(boxes) {
    grids_.emplace_back(extent, cellsWanted);
    // Coarser ones while a box can reach into too many cells of the last:
    // the last then takes any box.
    while (grids_.back().cells.size() > static_cast<std::size_t>(tuning::kMostCoarseCells)) {
        grids_.emplace_back(extent, grids_.back().cells.size() / (tuning::kCoarserBy * tuning::kCoarserBy));
    }
    liveOn_.assign(static_cast<std::size_t>(Layers()), 0);
}

std::vector<int>& BoxGrid::FineGrid::Cell(int x, int y) {
    int& block = BlockOf(x >> splitBits, y >> splitBits);
    if (block == kNoBlock) {
        block = static_cast<int>(cells.size());
        cells.resize(cells.size() + (std::size_t{1} << (2 * splitBits)));
    }
    return cells[InBlock(block, x, y)];
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
    // Retired and inserted again: listed afresh, as its old entries go.
    if (where.slot >= 0 && slots_[static_cast<std::size_t>(where.slot)].retired) where.slot = -1;
    const std::size_t slot = SlotOf(item);
    if (slots_[slot].level == Slot::kNowhere) ++liveItems_;
    List(slot);
    if (Crowded()) Refine(fine_ ? fine_->splitBits + 1 : 1);
}

// Splitting pays while most items on the fine grid lie within one of its
// cells each, and so stay on it, within two by two cells, once it is split;
// lines piled on one another, as copies or overlaps along one line, crowd
// every split alike, and the longer ones would only move to the coarse grid.
// Split more finely, the fine cells that blocks hold would be four times as
// many: no more than a few for each item, and each row's cells still
// numbered by an int.
bool BoxGrid::Crowded() const {
    if (!fine_) return liveOn_[kCoarse] > tuning::kMostItemsPerCoarseCell * grids_.front().occupied;
    return liveOn_[kFine] > tuning::kMostItemsPerFineCell * fine_->occupied && 2 * inOneFineCell_ > liveOn_[kFine] &&
           4 * fine_->cells.size() <= tuning::kCellsPerItem * liveItems_ &&
           std::max(fine_->columns, fine_->rows) <= std::numeric_limits<int>::max() / 2;
}

void BoxGrid::Retire(int item) {
    Where& where = WhereOf(item);
    if (LeaveTree(where) || where.slot < 0) return;
    Slot& slot = slots_[static_cast<std::size_t>(where.slot)];
    if (slot.Live()) {
        --liveItems_;
        --liveOn_[static_cast<std::size_t>(slot.level)];
        if (slot.level == kFine && slot.range.Count() == 1) --inOneFineCell_;
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
    CellRange range = fine_ ? fine_->RangeOf(box) : CellRange{};
    if (!fine_ || range.Count() > tuning::kMostFineCells) {
        layer = kCoarse;
        range = GridOf(kCoarse).RangeOf(box);
        while (range.Count() > tuning::kMostCoarseCells && layer + 1 < Layers()) {
            ++layer;
            range = GridOf(layer).RangeOf(box);
        }
    }
    if (listed.level != Slot::kNowhere) --liveOn_[static_cast<std::size_t>(listed.level)];
    ++liveOn_[static_cast<std::size_t>(layer)];
    if (listed.level == kFine && listed.range.Count() == 1) --inOneFineCell_;
    if (layer == kFine && range.Count() == 1) ++inOneFineCell_;
    const auto link = [&](std::vector<int>& cell, std::size_t& occupied) {
        if (cell.empty()) ++occupied;
        cell.push_back(static_cast<int>(slot));
    };
    if (layer == kFine) {
        listed.Relist(layer, range, [&](int x, int y) { link(fine_->Cell(x, y), fine_->occupied); });
    } else {
        Grid& grid = GridOf(layer);
        listed.Relist(layer, range, [&](int x, int y) { link(grid.Cell(x, y), grid.occupied); });
    }
}

void BoxGrid::Refine(int splitBits) {
    fine_.emplace(GridOf(kCoarse), splitBits);
    inOneFineCell_ = 0;
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

void BoxGrid::QueryCell(std::vector<int>& cell, std::size_t& occupied, Layer layer, int x, int y,
                        std::vector<int>& found) {
    if (cell.empty()) return;
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
    if (cell.empty()) --occupied;
}

// The fine cells a query reaches lie under the coarse cells it reaches, and
// with the cells' edges exact multiples (CellFrame), a fine cell's coarse
// one is found by a shift.
void BoxGrid::QueryCoarseCell(int x, int y, const CellRange& fine, std::vector<int>& found) {
    Grid& coarse = GridOf(kCoarse);
    QueryCell(coarse.Cell(x, y), coarse.occupied, kCoarse, x, y, found);
    if (fine.x1 < fine.x0) return;
    const int block = fine_->BlockOf(x, y);
    if (block == FineGrid::kNoBlock) return;
    const int bits = fine_->splitBits;
    const int x0 = std::max(fine.x0, x << bits);
    const int x1 = std::min(fine.x1, ((x + 1) << bits) - 1);
    const int y0 = std::max(fine.y0, y << bits);
    const int y1 = std::min(fine.y1, ((y + 1) << bits) - 1);
    for (int fy = y0; fy <= y1; ++fy) {
        for (int fx = x0; fx <= x1; ++fx) {
            QueryCell(fine_->cells[fine_->InBlock(block, fx, fy)], fine_->occupied, kFine, fx, fy, found);
        }
    }
}

// Each grid is read along the band cell by cell, each of its cells once,
// the fine cells under the coarse ones read within the band's bounds, and
// the tree descends only into the nodes the band meets.
void BoxGrid::QueryAlong(const Strip& band, std::vector<int>& found) {
    stamps_.NextQuery();
    const CellRange fine = liveOn_[kFine] > 0 ? fine_->RangeOf(band.Bounds()) : CellRange{0, 0, -1, -1};
    for (Layer layer = kCoarse; layer < Layers(); ++layer) {
        Grid& grid = GridOf(layer);
        if (layer == kCoarse && (liveOn_[kCoarse] > 0 || liveOn_[kFine] > 0)) {
            grid.ForEachCellAlong(band, [&](int x, int y) { QueryCoarseCell(x, y, fine, found); });
        } else if (liveOn_[static_cast<std::size_t>(layer)] > 0) {
            grid.ForEachCellAlong(band, [&](int x, int y) { QueryCell(grid.Cell(x, y), grid.occupied, layer, x, y, found); });
        }
    }
    treeFound_.clear();
    tree_.QueryAlong(band, treeFound_);
    ReportHeld(treeFound_, found);
}

void BoxGrid::Query(const Box& box, std::vector<int>& found) {
    stamps_.NextQuery();
    for (Layer layer = kCoarse; layer < Layers(); ++layer) QueryGrid(layer, box, found);
    treeFound_.clear();
    tree_.Query(box, treeFound_);
    ReportHeld(treeFound_, found);
}

void BoxGrid::QueryGrid(Layer layer, const Box& box, std::vector<int>& found) {
    Grid& grid = GridOf(layer);
    if (layer == kCoarse && liveOn_[kFine] > 0) {
        const CellRange range = grid.RangeOf(box);
        const CellRange fine = fine_->RangeOf(box);
        for (int y = range.y0; y <= range.y1; ++y) {
            for (int x = range.x0; x <= range.x1; ++x) QueryCoarseCell(x, y, fine, found);
        }
        return;
    }
    if (liveOn_[static_cast<std::size_t>(layer)] == 0) return;
    const CellRange range = grid.RangeOf(box);
    for (int y = range.y0; y <= range.y1; ++y) {
        for (int x = range.x0; x <= range.x1; ++x) QueryCell(grid.Cell(x, y), grid.occupied, layer, x, y, found);
    }
}

}  // namespace loopweave
