#include "index/contact_candidates.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <iterator>

#include "geometry/contact_reach.h"
#include "geometry/line_reach.h"
#include "index/cell_table.h"
#include "index/tuning.h"

namespace loopweave {
namespace {

// The median of the values above 0 and finite, or 0 if there are none.
double PositiveMedian(std::vector<double>& values) {
    values.erase(std::remove_if(values.begin(), values.end(), [](double value) { return !(value > 0 && value < HUGE_VAL); }),
                 values.end());
    if (values.empty()) return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

}  // namespace

ContactCandidates::ContactCandidates(const std::vector<Segment>& segments) : count_(static_cast<int>(segments.size())) {
    // Most polygons are short, and formation makes one for every face.
    if (segments.size() <= tuning::kFewestForGrid) {
        everyPair_ = true;
        return;
    }
    wide_.assign(segments.size(), true);
    std::vector<Box> boxes;
    boxes.reserve(segments.size());
    // The chain's box, over the finite elements: the bounds on the relation
    // test concern the coordinates of the pairs they skip, and non-finite
    // elements are never skipped.
    Box chain{HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (const Segment& s : segments) {
        boxes.push_back(Box::Around(s.start, s.end));
        if (IsFinite(s.start) && IsFinite(s.end)) chain = chain.Joined(boxes.back());
    }
    const RoundingModel rounding(chain.IsFinite() ? chain : Box{0, 0, 0, 0});
    const double magnitude = rounding.Magnitude();
    const double extent = rounding.Spread();
    // Beyond this the doubled areas themselves can overflow.
    if (!(magnitude * extent <= DBL_MAX / 8)) {
        everyPair_ = true;
        return;
    }
    const bool reachesHold = ReachesHold(magnitude, extent);
    if (!reachesHold) {
        plane_.emplace(chain);
        apart_ = FarApart(segments);
    }
    narrow_.resize(segments.size());
    const std::vector<Box> grown = GrownBoxes(segments, boxes, rounding);
    if (!reachesHold) {
        ListInCells(grown);
        ListPlaces(segments, rounding);
    } else if (!PairAlongStrips(segments, rounding)) {
        ListInCells(grown);
    }
    for (int i = 0; i < count_; ++i) {
        if (wide_[static_cast<std::size_t>(i)]) wideList_.push_back(i);
    }
}

// The grid's cells are about as wide as the boxes grown by the reach, and a
// chain crosses a cell past about (2 reach + length) / length elements: where
// the reach is many lengths, an element meets far more of them in its cells
// than its strips meet in the tree, and where it is not, fewer. An element
// whose reach spans the whole chain has its strips too, however narrow the
// chain: in a small face of very short elements, every one of them reached
// across it, and all were compared with every other. Only an element without
// strips (no length, or not finite) is compared with every other then.
bool ContactCandidates::PairAlongStrips(const std::vector<Segment>& segments, const RoundingModel& rounding) {
    std::vector<bool> stripless(segments.size());
    std::vector<double> reachInLengths;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const Segment& s = segments[i];
        const double length = std::hypot(s.end.x - s.start.x, s.end.y - s.start.y);
        stripless[i] = !(IsFinite(s.start) && IsFinite(s.end) && length > 0 && length < HUGE_VAL);
        if (!stripless[i]) reachInLengths.push_back(RelationReach(length, rounding.AreaRounding()) / length);
    }
    if (reachInLengths.empty()) return false;
    const auto middle = reachInLengths.begin() + static_cast<std::ptrdiff_t>(reachInLengths.size() / 2);
    std::nth_element(reachInLengths.begin(), middle, reachInLengths.end());
    if (!(*middle > tuning::kMostReachInLengthsForGrid)) return false;

    const auto stripsOf = [&](int i, std::vector<Strip>& strips) {
        return NearStrips(segments[static_cast<std::size_t>(i)], rounding, strips);
    };
    pairs_.emplace(segments, stripless, stripsOf, tuning::kMostPairsPerElement * segments.size() + tuning::kMostPairs);
    if (!pairs_->Complete()) {
        pairs_.reset();
        return false;
    }
    wide_ = std::move(stripless);
    return true;
}

// Along the element within its reach from the segment, and across its span
// within its reach from the line, each with the pad for the rounding of the
// strips' ends and tests. The strip across runs through the middle of the
// element along the normal, and is half the element's length wide.
bool ContactCandidates::NearStrips(const Segment& s, const RoundingModel& rounding, std::vector<Strip>& strips) {
    const double dx = s.end.x - s.start.x;
    const double dy = s.end.y - s.start.y;
    const double length = std::hypot(dx, dy);
    const double pad = rounding.Pad();
    const double across = LineContactReach(length) + pad;
    const Point middle{s.start.x + dx / 2, s.start.y + dy / 2};
    const Point normal{-dy / length, dx / length};
    strips.push_back({s.start, s.end, SegmentContactReach(length, rounding.AreaRounding()) + pad});
    strips.push_back({{middle.x - across * normal.x, middle.y - across * normal.y},
                      {middle.x + across * normal.x, middle.y + across * normal.y},
                      length / 2 + pad});
    return IsFinite(strips.back().from) && IsFinite(strips.back().to);
}

// Far from the origin pairs are sought by their boxes within a distance
// apart, and by their places beyond it: the plane's least (LinePlane::Apart),
// or the median element's larger side if that is more, so that the grid
// brings each element together with its neighbours while the places, whose
// widths shrink as the distance grows, meet few others.
double ContactCandidates::FarApart(const std::vector<Segment>& segments) const {
    std::vector<double> sides;
    for (const Segment& s : segments) sides.push_back(std::max(std::fabs(s.end.x - s.start.x), std::fabs(s.end.y - s.start.y)));
    return std::max(plane_->Apart(), PositiveMedian(sides));
}

// Each place takes the share of the sine's bound that the header gives, and
// is sought about the plane's reach for the distance apart. The grid's finest
// cells are twice as wide as the median place asked about, so that most
// places lie on that level and a query reads a few of its cells. Cells as
// fine as the reach were far finer than most places, which the tolerance's
// share makes wider as the elements grow shorter: the places then straddled
// two levels, and the widest read thousands of cells on the finest (a map of
// countries in metres looked up 550 cells per query, a ring of 320,000 elements
// 2.6 times the cells per query of one of 80,000).
void ContactCandidates::ListPlaces(const std::vector<Segment>& segments, const RoundingModel& rounding) {
    const double sineTimesSide =
        kTolerance / apart_ + 2 * rounding.AreaRoundingPerUnit() + 1.1 * rounding.AreaBound() / apart_;
    places_.assign(segments.size(), LinePlane::Nowhere());
    placeReach_ = plane_->Reach(apart_);
    std::vector<double> widths;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (wide_[i]) continue;
        const Box& place = places_[i] = plane_->PlaceOf(segments[i].start, segments[i].end, sineTimesSide);
        widths.push_back(std::max(place.maxX - place.minX, place.maxY - place.minY));
    }
    const double cellSize = std::max(4 * placeReach_, 2 * (PositiveMedian(widths) + placeReach_));
    placeGrid_.emplace(cellSize, segments.size(), places_);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (!wide_[i]) placeGrid_->Insert(static_cast<int>(i));
    }
}

// Each box is grown by its reach and by a pad for the rounding of the
// growing. Two elements within the reach of the pair (the larger of the two
// reaches) along an axis then have grown intervals that overlap: from the
// rounding of the gap, of the grown ends and of the pad, each at most 2^-53
// of values below magnitude + extent (reaches are at most the extent), the
// pad of 2^-50 (magnitude + extent) leaves room to spare. And overlapping
// intervals cover a common cell, since the cell of a coordinate never
// decreases as the coordinate grows. Far from the origin the reach is the
// distance apart (FarApart), and the pad the plane's.
std::vector<Box> ContactCandidates::GrownBoxes(const std::vector<Segment>& segments, const std::vector<Box>& boxes,
                                               const RoundingModel& rounding) {
    const double magnitude = rounding.Magnitude();
    const double extent = rounding.Spread();
    const double roundingBound = rounding.AreaRounding();
    const bool reachesHold = ReachesHold(magnitude, extent);
    const double pad = reachesHold ? 4 * DBL_EPSILON * (magnitude + extent) : rounding.Pad();
    std::vector<Box> grown(segments.size());
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const Segment& s = segments[i];
        if (!IsFinite(s.start) || !IsFinite(s.end)) continue;
        const double dx = s.end.x - s.start.x;
        const double dy = s.end.y - s.start.y;
        // Far out, an element whose band would cover much of the chain, or
        // reach beyond a quarter of the distance apart, is paired with every
        // other, as is one of no length.
        const double reach = reachesHold ? RelationReach(std::hypot(dx, dy), roundingBound) : apart_;
        const double bandWidth = reachesHold ? 0 : rounding.BandHalfWidth(s.start, s.end);
        if (!(reach <= extent) || rounding.TooWide(bandWidth, tuning::kWidestBandOfSpread)) continue;
        if (!reachesHold && !(bandWidth < apart_ / 4)) continue;
        wide_[i] = false;
        narrow_[i].box = boxes[i];
        narrow_[i].reach = reach;
        grown[i] = boxes[i].Grown(reach + pad);
    }
    return grown;
}

bool ContactCandidates::ChooseCells(const std::vector<Box>& grown) {
    // Cells as small as a typical grown box, so that a cell lists few
    // elements, while the listing stays within a few entries per element. A
    // box k cells wide covers up to (k + 2)^2 of them, and a few long
    // elements among many short ones can cover thousands: where the listing
    // would not fit even in cells eight times the median size, those are
    // compared with every other instead, as long as they are few. Beyond
    // that the cells are made larger, doubling from the median size until
    // the listing fits. (Made larger for a single long element, the cells of
    // a crowd of short ones around it grew until the whole crowd shared one,
    // and every pair in it was a candidate.)
    const auto sizeOf = [&](std::size_t i) {
        return std::max(grown[i].maxX - grown[i].minX, grown[i].maxY - grown[i].minY);
    };
    const auto entriesOf = [](double size, double cellSize) {
        const double across = std::floor(size / cellSize) + 2;
        return across * across;
    };
    std::vector<double> sizes;
    for (std::size_t i = 0; i < grown.size(); ++i) {
        if (!wide_[i]) sizes.push_back(sizeOf(i));
    }
    if (sizes.empty()) return false;
    std::nth_element(sizes.begin(), sizes.begin() + static_cast<std::ptrdiff_t>(sizes.size() / 2), sizes.end());
    cellSize_ = sizes[sizes.size() / 2];
    if (!(cellSize_ > 0)) cellSize_ = 1;
    const auto fits = [&](double cellSize) {
        double entries = 0;
        for (double size : sizes) entries += entriesOf(size, cellSize);
        return entries <= tuning::kMostEntriesPerElement * static_cast<double>(sizes.size());
    };
    if (!fits(tuning::kMostGrowth * cellSize_)) {
        const auto oversized = [&](std::size_t i) { return entriesOf(sizeOf(i), cellSize_) > tuning::kMostEntriesOfOne; };
        std::size_t count = 0;
        for (std::size_t i = 0; i < grown.size(); ++i) count += !wide_[i] && oversized(i) ? 1 : 0;
        if (count <= tuning::kMostWidened + sizes.size() / tuning::kElementsPerWidened) {
            sizes.clear();
            for (std::size_t i = 0; i < grown.size(); ++i) {
                if (wide_[i]) continue;
                if (oversized(i)) {
                    wide_[i] = true;
                } else {
                    sizes.push_back(sizeOf(i));
                }
            }
        }
    }
    while (!fits(cellSize_)) cellSize_ *= 2;
    return true;
}

void ContactCandidates::ListInCells(const std::vector<Box>& grown) {
    firstCovered_.assign(grown.size() + 1, 0);
    if (!ChooseCells(grown)) return;
    origin_[0] = origin_[1] = HUGE_VAL;
    for (std::size_t i = 0; i < grown.size(); ++i) {
        if (wide_[i]) continue;
        origin_[0] = std::min(origin_[0], grown[i].minX);
        origin_[1] = std::min(origin_[1], grown[i].minY);
    }

    // Each element's cells, numbered as they are first met.
    for (std::size_t i = 0; i < grown.size(); ++i) {
        std::size_t covered = 0;
        if (!wide_[i]) {
            narrow_[i].cells = CellsOf(grown[i]);
            const CellRange& range = narrow_[i].cells;
            covered = (std::size_t{range.x1} - range.x0 + 1) * (std::size_t{range.y1} - range.y0 + 1);
        }
        firstCovered_[i + 1] = firstCovered_[i] + covered;
    }
    cellsCovered_.reserve(firstCovered_.back());
    // Numbered densely, in the order they are first met. Neighbouring boxes
    // share cells, so there are about as many cells as elements, and a few
    // times as many listings (room for every listing left a ring of 320,000
    // elements 94% of a 64 MB table empty, and filling it cost a tenth of
    // the check).
    CellTable numbers(2 * grown.size());
    for (std::size_t i = 0; i < grown.size(); ++i) {
        if (wide_[i]) continue;
        const CellRange& range = narrow_[i].cells;
        for (std::uint64_t column = range.x0; column <= range.x1; ++column) {
            for (std::uint64_t row = range.y0; row <= range.y1; ++row) {
                const int next = static_cast<int>(numbers.Count());
                cellsCovered_.push_back(numbers.Insert(column << 32 | row, next).value);
            }
        }
    }

    // Each cell's list, filled in element order so that it comes out
    // ascending.
    firstListed_.assign(numbers.Count() + 1, 0);
    for (int cell : cellsCovered_) ++firstListed_[static_cast<std::size_t>(cell) + 1];
    for (std::size_t c = 1; c < firstListed_.size(); ++c) firstListed_[c] += firstListed_[c - 1];
    std::vector<std::size_t> filled(firstListed_.begin(), firstListed_.end() - 1);
    listed_.resize(cellsCovered_.size());
    for (std::size_t i = 0; i < grown.size(); ++i) {
        for (std::size_t k = firstCovered_[i]; k < firstCovered_[i + 1]; ++k) {
            listed_[filled[static_cast<std::size_t>(cellsCovered_[k])]++] = static_cast<int>(i);
        }
    }
}

ContactCandidates::CellRange ContactCandidates::CellsOf(const Box& grown) const {
    const auto cell = [&](double value, int axis) {
        const double index = std::floor((value - origin_[axis]) / cellSize_);
        return static_cast<std::uint32_t>(std::clamp(index, 0.0, static_cast<double>(UINT32_MAX)));
    };
    return {cell(grown.minX, 0), cell(grown.minY, 1), cell(grown.maxX, 0), cell(grown.maxY, 1)};
}

// Each cell lists its elements ascending, and a pair is found in one cell
// only, so the finds are ascending runs, one per cell, of distinct elements:
// merged pairwise, level by level, they come out ascending in a few passes,
// where sorting them took a fifth of the whole check of a crowded chain.
void ContactCandidates::FindNear(int a) {
    found_.clear();
    if (pairs_) {
        found_.assign(pairs_->begin(a), pairs_->end(a));
        return;
    }
    runStarts_.clear();
    const Narrow& p = narrow_[static_cast<std::size_t>(a)];
    const int* covered = cellsCovered_.data() + firstCovered_[static_cast<std::size_t>(a)];
    for (std::uint64_t column = p.cells.x0; column <= p.cells.x1; ++column) {
        for (std::uint64_t row = p.cells.y0; row <= p.cells.y1; ++row) {
            const auto cell = static_cast<std::size_t>(*covered++);
            if (runStarts_.empty() || runStarts_.back() != found_.size()) runStarts_.push_back(found_.size());
            const auto cellEnd = listed_.begin() + static_cast<std::ptrdiff_t>(firstListed_[cell + 1]);
            for (auto b = std::upper_bound(listed_.begin() + static_cast<std::ptrdiff_t>(firstListed_[cell]), cellEnd, a); b != cellEnd; ++b) {
                const Narrow& q = narrow_[static_cast<std::size_t>(*b)];
                // Only in the first cell the two share.
                if (column != std::max(p.cells.x0, q.cells.x0) || row != std::max(p.cells.y0, q.cells.y0)) {
                    continue;
                }
                // The boxes' gap along each axis, negative when they overlap,
                // rounded once: within a relative 2^-53 of the true gap, which
                // the reach's slack absorbs.
                const double pairReach = std::max(p.reach, q.reach);
                if (std::max(q.box.minX - p.box.maxX, p.box.minX - q.box.maxX) > pairReach ||
                    std::max(q.box.minY - p.box.maxY, p.box.minY - q.box.maxY) > pairReach) {
                    continue;
                }
                found_.push_back(*b);
            }
        }
    }
    if (!runStarts_.empty() && runStarts_.back() == found_.size()) runStarts_.pop_back();
    MergeRuns();
    if (placeGrid_) AddPlacedNear(a);
}

void ContactCandidates::MergeRuns() {
    while (runStarts_.size() > 1) {
        merged_.resize(found_.size());
        std::size_t kept = 0;
        for (std::size_t run = 0; run < runStarts_.size(); run += 2) {
            const std::size_t begin = runStarts_[run];
            const std::size_t middle = run + 1 < runStarts_.size() ? runStarts_[run + 1] : found_.size();
            const std::size_t end = run + 2 < runStarts_.size() ? runStarts_[run + 2] : found_.size();
            std::merge(found_.begin() + static_cast<std::ptrdiff_t>(begin), found_.begin() + static_cast<std::ptrdiff_t>(middle),
                       found_.begin() + static_cast<std::ptrdiff_t>(middle), found_.begin() + static_cast<std::ptrdiff_t>(end),
                       merged_.begin() + static_cast<std::ptrdiff_t>(begin));
            runStarts_[kept++] = begin;
        }
        runStarts_.resize(kept);
        found_.swap(merged_);
    }
}

// The places that meet a's grown by the plane's reach, as they are or a
// half turn on either way, of the elements after a.
void ContactCandidates::AddPlacedNear(int a) {
    placed_.clear();
    const Box asked = places_[static_cast<std::size_t>(a)].Grown(placeReach_);
    for (int turns = -1; turns <= 1; ++turns) placeGrid_->Query(plane_->Turned(asked, turns), placed_);
    placed_.erase(std::remove_if(placed_.begin(), placed_.end(), [a](int b) { return b <= a; }), placed_.end());
    if (placed_.empty()) return;
    std::sort(placed_.begin(), placed_.end());
    placed_.erase(std::unique(placed_.begin(), placed_.end()), placed_.end());
    merged_.clear();
    std::set_union(found_.begin(), found_.end(), placed_.begin(), placed_.end(), std::back_inserter(merged_));
    found_.swap(merged_);
}

}  // namespace loopweave
