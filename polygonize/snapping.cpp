#include "polygonize/snapping.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <stdexcept>
#include <utility>

#include "polygonize/extent.h"

namespace lwpolygonize {
namespace {

struct Point {
    double x, y;
};

bool operator==(Point a, Point b) { return a.x == b.x && a.y == b.y; }

// The squared distance of a and b in units of the tolerance: near 1 for the
// distances that matter, whatever the tolerance's magnitude.
double SquaredInTolerances(Point a, Point b, double tolerance) {
    const double u = (a.x - b.x) / tolerance;
    const double v = (a.y - b.y) / tolerance;
    return u * u + v * v;
}

bool Closer(Point a, Point b, double tolerance) { return SquaredInTolerances(a, b, tolerance) < 1; }

// Square cells over the drawing, counted from its lower left corner. A cell's
// number packs its column above its row, so that sorting numbers sorts cells
// by column, then row. Column and row are monotonic in the coordinate (every
// step rounds monotonically and the clamp is monotonic), so a box's cells
// always include the cell of any point inside the box.
class CellNumbers {
public:
    // Room below the first column and row, for the neighbours two cells away.
    static constexpr std::uint64_t kMargin = 2;
    // Cells per axis the side must keep below: columns and rows fit 32 bits.
    static constexpr double kMaxCells = 1073741824.0;  // 2^30

    CellNumbers(const Extent& extent, double side) : minX_(extent.minX), minY_(extent.minY), side_(side) {}

    std::uint64_t Column(double x) const { return Index((x - minX_) / side_); }
    std::uint64_t Row(double y) const { return Index((y - minY_) / side_); }
    std::uint64_t Of(Point p) const { return Pack(Column(p.x), Row(p.y)); }

    static std::uint64_t Pack(std::uint64_t column, std::uint64_t row) { return column << 32 | row; }
    static std::uint64_t ColumnOf(std::uint64_t cell) { return cell >> 32; }
    static std::uint64_t RowOf(std::uint64_t cell) { return cell & 0xffffffffu; }

private:
    // The floor of a cell coordinate, clamped (NaN counts as below).
    static std::uint64_t Index(double cells) {
        if (!(cells >= 0)) return kMargin;
        if (cells >= 2 * kMaxCells) return static_cast<std::uint64_t>(2 * kMaxCells) + kMargin;
        return static_cast<std::uint64_t>(cells) + kMargin;
    }

    double minX_, minY_, side_;
};

// The largest extent of the drawing along either axis, and the largest
// coordinate magnitude in it.
double Span(const Extent& extent) { return std::max(extent.maxX - extent.minX, extent.maxY - extent.minY); }
double Reach(const Extent& extent) {
    return std::max({std::abs(extent.minX), std::abs(extent.maxX), std::abs(extent.minY), std::abs(extent.maxY)});
}

class DisjointSets {
public:
    explicit DisjointSets(std::size_t count) : parent_(count) {
        for (std::size_t i = 0; i < count; ++i) parent_[i] = static_cast<std::uint32_t>(i);
    }
    std::uint32_t Find(std::uint32_t i) {
        while (parent_[i] != i) {
            parent_[i] = parent_[parent_[i]];
            i = parent_[i];
        }
        return i;
    }
    // The lower root stays the root: the sets do not depend on the order of
    // the joins.
    void Join(std::uint32_t a, std::uint32_t b) {
        a = Find(a);
        b = Find(b);
        if (a < b) parent_[b] = a;
        if (b < a) parent_[a] = b;
    }

private:
    std::vector<std::uint32_t> parent_;
};

// The drawing's ends, numbered 2i (start of segment i) and 2i + 1 (its end),
// read where they are: on drawings of millions of segments, memory touched
// costs more than arithmetic.
struct Ends {
    explicit Ends(const std::vector<InputSegment>& drawing) : segments(drawing) {
        for (std::size_t i = 0; i < drawing.size(); ++i) {
            const InputSegment& s = drawing[i];
            if (!std::isfinite(s.sx) || !std::isfinite(s.sy) || !std::isfinite(s.ex) || !std::isfinite(s.ey))
                continue;
            live.push_back(static_cast<std::uint32_t>(i));
            extent.Add(s.sx, s.sy);
            extent.Add(s.ex, s.ey);
        }
    }
    std::size_t Count() const { return 2 * segments.size(); }
    Point At(std::uint32_t end) const {
        const InputSegment& s = segments[end / 2];
        return end % 2 == 0 ? Point{s.sx, s.sy} : Point{s.ex, s.ey};
    }

    const std::vector<InputSegment>& segments;
    std::vector<std::uint32_t> live;  // the segments that take part: all coordinates finite
    Extent extent;                    // of the live ends
};

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

// Rule 1's result: the cluster of every live end (kNone for the others) and
// the point every cluster goes to.
struct Clusters {
    std::vector<std::uint32_t> ofEnd;
    std::vector<Point> point;
};

// Single-linkage sets of the ends closer than the tolerance, through a grid
// of cells of side just over D/2. Ends two cells apart can still be closer
// than D, so each cell meets the cells up to two columns and rows away; in
// return, the diagonal of a cell is under D, so the ends of one cell are
// joined without measuring. (When the drawing is so wide that D/2 would need
// more cells than the numbers hold, the cells grow and each pair within a
// cell is measured.) Ends at one point are joined first and then stand for
// one another, so that piles of ends on shared vertices cost no pairs.
DisjointSets JoinCloseEnds(const Ends& ends, double tolerance) {
    // 1 + 2^-6 keeps ends closer than D within two cells of each other
    // despite the rounding of cell coordinates, which is below 2^-20 cells.
    const double halfTolerance = tolerance / 2 * (1 + 1.0 / 64);
    const double side = std::max({halfTolerance, Span(ends.extent) / CellNumbers::kMaxCells,
                                  std::numeric_limits<double>::min()});
    const bool cellsAreClose = side == halfTolerance;
    const CellNumbers cells(ends.extent, side);

    std::vector<std::pair<std::uint64_t, std::uint32_t>> byCell;
    byCell.reserve(2 * ends.live.size());
    for (const std::uint32_t segment : ends.live)
        for (const std::uint32_t e : {2 * segment, 2 * segment + 1}) byCell.emplace_back(cells.Of(ends.At(e)), e);
    std::sort(byCell.begin(), byCell.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        const Point p = ends.At(a.second), q = ends.At(b.second);
        if (p.x != q.x) return p.x < q.x;
        if (p.y != q.y) return p.y < q.y;
        return a.second < b.second;
    });
    DisjointSets sets(ends.Count());
    std::size_t distinct = 0;  // byCell keeps one end of each point
    for (std::size_t i = 0; i < byCell.size(); ++i) {
        if (distinct > 0 && ends.At(byCell[i].second) == ends.At(byCell[distinct - 1].second))
            sets.Join(byCell[distinct - 1].second, byCell[i].second);
        else
            byCell[distinct++] = byCell[i];
    }
    byCell.resize(distinct);
    std::vector<std::size_t> cellStart;  // where each occupied cell's ends start in byCell, then the end
    for (std::size_t i = 0; i < byCell.size(); ++i)
        if (i == 0 || byCell[i].first != byCell[i - 1].first) cellStart.push_back(i);
    const std::size_t occupied = cellStart.size();
    cellStart.push_back(byCell.size());

    const auto joinPairs = [&](std::size_t cellA, std::size_t cellB) {
        const std::uint32_t firstA = byCell[cellStart[cellA]].second, firstB = byCell[cellStart[cellB]].second;
        if (cellsAreClose && sets.Find(firstA) == sets.Find(firstB)) return;
        for (std::size_t i = cellStart[cellA]; i < cellStart[cellA + 1]; ++i) {
            const std::uint32_t a = byCell[i].second;
            for (std::size_t j = cellA == cellB ? i + 1 : cellStart[cellB]; j < cellStart[cellB + 1]; ++j) {
                const std::uint32_t b = byCell[j].second;
                if (!Closer(ends.At(a), ends.At(b), tolerance)) continue;
                sets.Join(a, b);
                if (cellsAreClose) return;  // each cell is one set: the two are now one
            }
        }
    };
    for (std::size_t c = 0; c < occupied; ++c) {
        if (cellsAreClose) {
            for (std::size_t i = cellStart[c] + 1; i < cellStart[c + 1]; ++i)
                sets.Join(byCell[cellStart[c]].second, byCell[i].second);
        } else {
            joinPairs(c, c);
        }
    }

    // The neighbours after each cell in sorted order; the other half meet it
    // from their side. A neighbour's number grows with the cell's, so one
    // cursor per direction walks the cells once.
    static constexpr std::array<std::pair<int, int>, 12> kForward = {
        {{0, 1}, {0, 2}, {1, -2}, {1, -1}, {1, 0}, {1, 1}, {1, 2}, {2, -2}, {2, -1}, {2, 0}, {2, 1}, {2, 2}}};
    std::array<std::size_t, kForward.size()> cursor{};
    for (std::size_t c = 0; c < occupied; ++c) {
        const std::uint64_t number = byCell[cellStart[c]].first;
        for (std::size_t k = 0; k < kForward.size(); ++k) {
            const std::uint64_t target = CellNumbers::Pack(CellNumbers::ColumnOf(number) + kForward[k].first,
                                                           CellNumbers::RowOf(number) + kForward[k].second);
            std::size_t& n = cursor[k];
            while (n < occupied && byCell[cellStart[n]].first < target) ++n;
            if (n < occupied && byCell[cellStart[n]].first == target) joinPairs(c, n);
        }
    }
    return sets;
}

// The point where most of the ends lie, ties to the lowest x, then y; its
// bits are those of the lowest of those ends.
Point MostCommonPoint(const Ends& ends, const std::uint32_t* first, const std::uint32_t* last,
                      std::vector<std::uint32_t>& scratch) {
    const Point p = ends.At(*first);
    if (std::all_of(first + 1, last, [&](std::uint32_t e) { return ends.At(e) == p; })) return p;
    scratch.assign(first, last);
    std::sort(scratch.begin(), scratch.end(), [&](std::uint32_t a, std::uint32_t b) {
        const Point p = ends.At(a), q = ends.At(b);
        if (p.x != q.x) return p.x < q.x;
        if (p.y != q.y) return p.y < q.y;
        return a < b;
    });
    std::size_t best = 0, bestCount = 0;
    for (std::size_t run = 0; run < scratch.size();) {
        std::size_t runEnd = run;
        while (runEnd < scratch.size() && ends.At(scratch[runEnd]) == ends.At(scratch[run])) ++runEnd;
        if (runEnd - run > bestCount) {
            best = run;
            bestCount = runEnd - run;
        }
        run = runEnd;
    }
    return ends.At(scratch[best]);
}

// Rule 1. Clusters are numbered in the order of their lowest ends.
Clusters ClusterEnds(const Ends& ends, double tolerance) {
    Clusters clusters;
    clusters.ofEnd.assign(ends.Count(), kNone);
    std::uint32_t count = 0;
    {
        DisjointSets sets = JoinCloseEnds(ends, tolerance);
        // A set's root is its lowest end, met before the set's other ends.
        for (const std::uint32_t segment : ends.live)
            for (const std::uint32_t e : {2 * segment, 2 * segment + 1}) {
                const std::uint32_t root = sets.Find(e);
                clusters.ofEnd[e] = root == e ? count++ : clusters.ofEnd[root];
            }
    }
    // The ends of each cluster side by side, in increasing order: a counting
    // sort, after which start[c] is where cluster c + 1 starts.
    std::vector<std::uint32_t> start(count + 1, 0);
    for (const std::uint32_t segment : ends.live)
        for (const std::uint32_t e : {2 * segment, 2 * segment + 1}) ++start[clusters.ofEnd[e] + 1];
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<std::uint32_t> members(start.back());
    for (const std::uint32_t segment : ends.live)
        for (const std::uint32_t e : {2 * segment, 2 * segment + 1}) members[start[clusters.ofEnd[e]]++] = e;

    clusters.point.reserve(count);
    std::vector<std::uint32_t> scratch;
    for (std::uint32_t c = 0, begin = 0; c < count; begin = start[c++])
        clusters.point.push_back(MostCommonPoint(ends, &members[begin], &members[0] + start[c], scratch));
    return clusters;
}

// Rule 2: where a cluster's point lands, if it does.
struct Landing {
    std::uint32_t segment;
    double t;  // along the segment, 0 at its start
    std::uint32_t cluster;
    Point at;
};

// The segments of rule 1's drawing that points can land on (those of nonzero
// length), in a grid of cells at least as large as the mean segment, so that
// the whole drawing fills about as many cells as it has segments. A segment
// is cut into stretches no longer than a cell, and each stretch's box, grown
// by D, names the cells the segment is listed in: a long segment costs cells
// in proportion to its length, not to the area of its box.
class SegmentGrid {
public:
    SegmentGrid(const Ends& ends, const Clusters& clusters, double tolerance)
        : clusters_(clusters),
          tolerance_(tolerance),
          side_(CellSide(ends, clusters, tolerance)),
          cells_(ends.extent, side_) {
        // Rounding of the stretches and of the projections stays far below
        // D / 64 plus the coordinates' own spacing, scaled up.
        const double grow = tolerance * (1 + 1.0 / 64) + Reach(ends.extent) * 0x1p-40;
        listed_.reserve(4 * ends.live.size());  // most segments take one to four cells
        for (const std::uint32_t segment : ends.live) {
            const Point a = Start(clusters, segment), b = End(clusters, segment);
            if (a == b) continue;
            const double length = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
            const double stretches = std::max(1.0, std::ceil(length / side_));
            std::uint64_t lastColumns[2] = {1, 0}, lastRows[2] = {1, 0};  // the previous stretch's cells
            for (double k = 0; k < stretches; ++k) {
                const Point p = Along(a, b, k / stretches), q = Along(a, b, (k + 1) / stretches);
                const std::uint64_t columns[2] = {cells_.Column(std::min(p.x, q.x) - grow),
                                                  cells_.Column(std::max(p.x, q.x) + grow)};
                const std::uint64_t rows[2] = {cells_.Row(std::min(p.y, q.y) - grow),
                                               cells_.Row(std::max(p.y, q.y) + grow)};
                for (std::uint64_t column = columns[0]; column <= columns[1]; ++column)
                    for (std::uint64_t row = rows[0]; row <= rows[1]; ++row) {
                        const bool listed = column >= lastColumns[0] && column <= lastColumns[1] &&
                                            row >= lastRows[0] && row <= lastRows[1];
                        if (!listed) listed_.emplace_back(CellNumbers::Pack(column, row), segment);
                    }
                std::copy(columns, columns + 2, lastColumns);
                std::copy(rows, rows + 2, lastRows);
            }
        }
        std::sort(listed_.begin(), listed_.end());
    }

    // Where the cluster's point lands: on the nearest segment it may land on,
    // ties to the lowest index.
    bool Land(std::uint32_t cluster, Landing& landing) const {
        const Point p = clusters_.point[cluster];
        const std::uint64_t cell = cells_.Of(p);
        auto it = std::lower_bound(listed_.begin(), listed_.end(), std::make_pair(cell, std::uint32_t{0}));
        double nearest = 1;  // in squared tolerances: only closer than D lands
        bool found = false;
        for (; it != listed_.end() && it->first == cell; ++it) {
            const std::uint32_t segment = it->second;
            if (clusters_.ofEnd[2 * segment] == cluster || clusters_.ofEnd[2 * segment + 1] == cluster) continue;
            const Point a = Start(clusters_, segment), b = End(clusters_, segment);
            const double dx = b.x - a.x, dy = b.y - a.y;
            const double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy);
            if (!(t > 0 && t < 1)) continue;  // nearest at an end, which rule 1 has judged
            const Point q = Along(a, b, t);
            const double distance = SquaredInTolerances(p, q, tolerance_);
            if (distance > nearest || (distance == nearest && (!found || segment > landing.segment))) continue;
            if (Closer(p, a, tolerance_) || Closer(p, b, tolerance_)) continue;
            nearest = distance;
            found = true;
            landing = {segment, t, cluster, q};
        }
        return found;
    }

private:
    static double CellSide(const Ends& ends, const Clusters& clusters, double tolerance) {
        double total = 0;
        for (const std::uint32_t segment : ends.live) {
            const Point a = Start(clusters, segment), b = End(clusters, segment);
            total += std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
        }
        const double mean = ends.live.empty() ? 0 : total / static_cast<double>(ends.live.size());
        return std::max({2 * tolerance, mean, Span(ends.extent) / CellNumbers::kMaxCells,
                         std::numeric_limits<double>::min()});
    }
    static Point Start(const Clusters& clusters, std::uint32_t segment) {
        return clusters.point[clusters.ofEnd[2 * segment]];
    }
    static Point End(const Clusters& clusters, std::uint32_t segment) {
        return clusters.point[clusters.ofEnd[2 * segment + 1]];
    }
    static Point Along(Point a, Point b, double t) { return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)}; }

    const Clusters& clusters_;
    double tolerance_;
    double side_;
    CellNumbers cells_;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> listed_;  // (cell, segment), sorted
};

}  // namespace

std::vector<SnappedSegment> SnapDrawing(const std::vector<InputSegment>& segments, double tolerance) {
    if (!(tolerance > 0) || !std::isfinite(tolerance))
        throw std::invalid_argument("the snapping tolerance must be a finite distance greater than zero");
    if (segments.size() >= kNone / 2) throw std::length_error("too many segments to snap");

    const Ends ends(segments);
    Clusters clusters = ClusterEnds(ends, tolerance);

    std::vector<Landing> landings;
    {
        const SegmentGrid grid(ends, clusters, tolerance);
        Landing landing{};
        for (std::uint32_t c = 0; c < clusters.point.size(); ++c)
            if (grid.Land(c, landing)) landings.push_back(landing);
    }
    for (const Landing& landing : landings) clusters.point[landing.cluster] = landing.at;
    std::sort(landings.begin(), landings.end(), [](const Landing& a, const Landing& b) {
        if (a.segment != b.segment) return a.segment < b.segment;
        if (a.t != b.t) return a.t < b.t;
        return a.cluster < b.cluster;
    });

    // An end that did not move keeps its own bits (-0 stays -0).
    const auto endAt = [&](std::size_t e) {
        const Point from = ends.At(static_cast<std::uint32_t>(e)), to = clusters.point[clusters.ofEnd[e]];
        return to == from ? from : to;
    };
    std::vector<SnappedSegment> snapped;
    snapped.reserve(segments.size() + landings.size());
    auto nextLanding = landings.begin();
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const InputSegment& s = segments[i];
        if (clusters.ofEnd[2 * i] == kNone) {
            snapped.push_back({s.sx, s.sy, s.ex, s.ey, i});
            continue;
        }
        Point from = endAt(2 * i);
        for (; nextLanding != landings.end() && nextLanding->segment == i; ++nextLanding) {
            snapped.push_back({from.x, from.y, nextLanding->at.x, nextLanding->at.y, i});
            from = nextLanding->at;
        }
        const Point to = endAt(2 * i + 1);
        snapped.push_back({from.x, from.y, to.x, to.y, i});
    }
    return snapped;
}

}  // namespace lwpolygonize
