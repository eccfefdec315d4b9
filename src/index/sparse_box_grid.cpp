#include "index/sparse_box_grid.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "index/tuning.h"

namespace loopweave {
namespace {

// Columns and rows are clamped within this bound, far past any plane asked
// about, as a grid clamps to its border cells: two boxes that meet still
// reach a common cell.
constexpr double kMostCell = 0x1p27;

// A key holds a column or row in 29 bits: the 27 high ones in a field of
// their own, the 2 low ones in the key's lowest four bits.
constexpr std::uint64_t kHighBits = (std::uint64_t{1} << 27) - 1;

}  // namespace

SparseBoxGrid::SparseBoxGrid(double cellSize, std::size_t items, BoxTable boxes)
    : boxes_(boxes),
      live_(tuning::kSparseLevels + 1, 0),
      reached_(tuning::kSparseLevels, Box{HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL}),
      cells_(std::clamp(4 * items, tuning::kSparseFewestSlots, tuning::kSparseMostSlots)) {
    entries_.reserve(4 * items);
    listings_.reserve(2 * items);
    double size = cellSize > 0 && std::isfinite(cellSize) ? cellSize : 1.0;
    for (int level = 0; level < tuning::kSparseLevels; ++level) {
        cellSizes_.push_back(size);
        cellScales_.push_back(std::max(1 / size, DBL_MIN));  // never 0, which would turn infinities into NaN
        size *= tuning::kCoarserBy;
    }
}

// Scaled by the inverse of the cell size, which keeps the order of
// coordinates, so that boxes that meet still reach a common cell; rounded
// down by hand, a call to floor costing as much as the rest.
SparseBoxGrid::Range SparseBoxGrid::RangeOf(int level, const Box& box) const {
    const double scale = cellScales_[static_cast<std::size_t>(level)];
    const auto cell = [scale](double at) {
        const double scaled = std::clamp(at * scale, -kMostCell, kMostCell);
        const auto truncated = static_cast<std::int64_t>(scaled);
        return static_cast<double>(truncated) > scaled ? truncated - 1 : truncated;
    };
    return {cell(box.minX), cell(box.minY), cell(box.maxX), cell(box.maxY)};
}

// Six bits of level, and the column and row in 29 bits each: their two
// lowest bits make the key's lowest four, so that a block of 4 x 4
// neighbouring cells shares a run of the table's slots.
static_assert(CellTable::kBlockBits == 4, "a block holds 2 bits of column and 2 of row");
std::uint64_t SparseBoxGrid::Key(int level, std::int64_t x, std::int64_t y) {
    const auto column = static_cast<std::uint64_t>(x), row = static_cast<std::uint64_t>(y);
    return (static_cast<std::uint64_t>(level) << 58) | ((column >> 2 & kHighBits) << 31) | ((row >> 2 & kHighBits) << 4) |
           (column & 3) << 2 | (row & 3);
}

int SparseBoxGrid::LevelOf(std::uint64_t key) { return static_cast<int>(key >> 58); }

// The column and row back from their 29 bits, in two's complement.
std::pair<std::int64_t, std::int64_t> SparseBoxGrid::CellOf(std::uint64_t key) {
    const auto signedOf = [](std::uint64_t bits) {
        const auto value = static_cast<std::int64_t>(bits);
        return value >= (std::int64_t{1} << 28) ? value - (std::int64_t{1} << 29) : value;
    };
    return {signedOf((key >> 31 & kHighBits) << 2 | (key >> 2 & 3)), signedOf((key >> 4 & kHighBits) << 2 | (key & 3))};
}

void SparseBoxGrid::Link(int level, std::int64_t x, std::int64_t y, int item) {
    int& first = cells_.Insert(Key(level, x, y), kNone).value;
    int entry = freeEntry_;
    if (entry != kNone) {
        freeEntry_ = entries_[static_cast<std::size_t>(entry)].next;
        entries_[static_cast<std::size_t>(entry)] = Entry{item, first};
    } else {
        entry = static_cast<int>(entries_.size());
        entries_.push_back(Entry{item, first});
    }
    first = entry;
}

SparseBoxGrid::Listing& SparseBoxGrid::ListingOf(int item) {
    const auto index = static_cast<std::size_t>(item);
    while (listings_.size() <= index)
        listings_.push_back(Listing{Range{0, 0, -1, -1}, 0, static_cast<int>(listings_.size()), kNone, false});
    return listings_[index];
}

// A box as wide as a level's cells reaches into two of them at most each way.
void SparseBoxGrid::Insert(int item) {
    Listing& listing = ListingOf(item);
    if (listing.retired) {  // inserted again: listed afresh
        listing.retired = false;
        listing.level = Listing::kNowhere;
    }
    const Box& box = boxes_[static_cast<std::size_t>(item)];
    int level = kNone;
    if (box.minX <= box.maxX && box.minY <= box.maxY) {
        const double size = std::max(box.maxX - box.minX, box.maxY - box.minY);
        level = 0;
        while (level < kWide && cellSizes_[static_cast<std::size_t>(level)] < size) ++level;
    }
    const Range range = level == kNone || level == kWide ? Range{0, 0, -1, -1} : RangeOf(level, box);
    if (level != kNone && level != kWide) {
        Box& reached = reached_[static_cast<std::size_t>(level)];
        reached = reached.Joined(box);
    }
    if (listing.level == level && listing.range == range) return;
    if (listing.level != level) {
        if (listing.level != kNone) --live_[static_cast<std::size_t>(listing.level)];
        if (level != kNone) ++live_[static_cast<std::size_t>(level)];
        if (level == kWide) wide_.push_back(item);
    }
    listing.Relist(static_cast<Listing::Level>(level), range,
                   [&](std::int64_t x, std::int64_t y) { Link(level, x, y, item); });
}

void SparseBoxGrid::Retire(int item) {
    Listing& listing = ListingOf(item);
    if (listing.Live()) --live_[static_cast<std::size_t>(listing.level)];
    listing.retired = true;
}

// A box that reaches into more cells of a level than the table holds reads
// the table's cells of that level instead.
void SparseBoxGrid::Query(const Box& box, std::vector<int>& found) {
    stamps_.NextQuery();
    if (!(box.minX <= box.maxX && box.minY <= box.maxY)) return;  // an empty box meets nothing
    for (int level = 0; level < kWide; ++level) {
        if (live_[static_cast<std::size_t>(level)] == 0 || !reached_[static_cast<std::size_t>(level)].Meets(box)) continue;
        const Range range = RangeOf(level, box);
        if (range.Count() > static_cast<double>(cells_.Count())) {
            for (CellTable::Slot& cell : cells_.Slots()) {
                if (!cell.used || LevelOf(cell.key) != level) continue;
                const auto [x, y] = CellOf(cell.key);
                if (range.Contains(x, y)) ReadCell(level, x, y, cell.value, found);
            }
            continue;
        }
        for (std::int64_t y = range.y0; y <= range.y1; ++y) {
            for (std::int64_t x = range.x0; x <= range.x1; ++x) {
                CellTable::Slot* cell = cells_.Find(Key(level, x, y));
                if (cell != nullptr) ReadCell(level, x, y, cell->value, found);
            }
        }
    }
    if (live_[kWide] == 0) return;
    wide_.erase(std::remove_if(wide_.begin(), wide_.end(),
                               [this](int item) {
                                   const Listing& listing = listings_[static_cast<std::size_t>(item)];
                                   return listing.retired || listing.level != kWide;
                               }),
                wide_.end());
    for (int item : wide_) {
        if (stamps_.First(listings_[static_cast<std::size_t>(item)].seenAt)) found.push_back(item);
    }
}

// Entries of retired items, and of items listed elsewhere now, are unlinked
// as they are met, and their places reused. A cell left without entries
// stays in the table, to be listed in again.
void SparseBoxGrid::ReadCell(int level, std::int64_t x, std::int64_t y, int& first, std::vector<int>& found) {
    int* link = &first;
    while (*link != kNone) {
        const int entry = *link;
        Entry& read = entries_[static_cast<std::size_t>(entry)];
        Listing& listing = listings_[static_cast<std::size_t>(read.item)];
        if (listing.StaleAt(static_cast<Listing::Level>(level), x, y)) {
            *link = read.next;
            read.next = freeEntry_;
            freeEntry_ = entry;
            continue;
        }
        if (stamps_.First(listing.seenAt)) found.push_back(read.item);
        link = &read.next;
    }
}

}  // namespace loopweave
