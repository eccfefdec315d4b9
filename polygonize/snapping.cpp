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
// by column, then row.
class CellNumbers {
public:
    // Room below the first column and row, for the neighbours two cells away.
    static constexpr std::uint64_t kMargin = 2;
    // The most cells across the drawing a side may make: columns and rows
    // keep to 32 bits, and their rounding to a millionth of a cell.
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
            if (!std::isfinite(s.sx) || !std::isfinite(s.sy) || !std::isfinite(s.ex) || !std::isfinite(s.ey)) continue;
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
// The distinct end points by cell: sorted by cell number, then by point;
// the other ends at each point are joined to the one kept.
struct EndsByCell {
    std::vector<std::pair<std::uint64_t, std::uint32_t>> ends;  // cell number, end
    std::vector<std::size_t> cellStart;  // where each occupied cell's ends start, then the end

    std::size_t Occupied() const { return cellStart.size() - 1; }
    std::uint64_t Number(std::size_t cell) const { return ends[cellStart[cell]].first; }
    std::uint32_t First(std::size_t cell) const { return ends[cellStart[cell]].second; }
};

EndsByCell SortIntoCells(const Ends& ends, const CellNumbers& cells, DisjointSets& sets) {
    EndsByCell byCell;
    auto& sorted = byCell.ends;
    sorted.reserve(2 * ends.live.size());
    for (const std::uint32_t segment : ends.live)
        for (const std::uint32_t e : {2 * segment, 2 * segment + 1}) sorted.emplace_back(cells.Of(ends.At(e)), e);
    std::sort(sorted.begin(), sorted.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        const Point p = ends.At(a.second), q = ends.At(b.second);
        if (p.x != q.x) return p.x < q.x;
        if (p.y != q.y) return p.y < q.y;
        return a.second < b.second;
    });
    std::size_t distinct = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (distinct > 0 && ends.At(sorted[i].second) == ends.At(sorted[distinct - 1].second))
            sets.Join(sorted[distinct - 1].second, sorted[i].second);
        else
            sorted[distinct++] = sorted[i];
    }
    sorted.resize(distinct);
    for (std::size_t i = 0; i < sorted.size(); ++i)
        if (i == 0 || sorted[i].first != sorted[i - 1].first) byCell.cellStart.push_back(i);
    byCell.cellStart.push_back(sorted.size());
    return byCell;
}

DisjointSets JoinCloseEnds(const Ends& ends, double tolerance) {
    // 1 + 2^-6 keeps ends closer than D within two cells of each other
    // despite the rounding of cell coordinates, which is below 2^-20 cells.
    const double halfTolerance = tolerance / 2 * (1 + 1.0 / 64);
    const double side =
        std::max({halfTolerance, Span(ends.extent) / CellNumbers::kMaxCells, std::numeric_limits<double>::min()});
    const bool cellsAreClose = side == halfTolerance;
    DisjointSets sets(ends.Count());
    const EndsByCell byCell = SortIntoCells(ends, CellNumbers(ends.extent, side), sets);
    const std::size_t occupied = byCell.Occupied();

    const auto joinPairs = [&](std::size_t cellA, std::size_t cellB) {
        if (cellsAreClose && sets.Find(byCell.First(cellA)) == sets.Find(byCell.First(cellB))) return;
        for (std::size_t i = byCell.cellStart[cellA]; i < byCell.cellStart[cellA + 1]; ++i) {
            const std::uint32_t a = byCell.ends[i].second;
            for (std::size_t j = cellA == cellB ? i + 1 : byCell.cellStart[cellB]; j < byCell.cellStart[cellB + 1]; ++j) {
                const std::uint32_t b = byCell.ends[j].second;
                if (!Closer(ends.At(a), ends.At(b), tolerance)) continue;
                sets.Join(a, b);
                if (cellsAreClose) return;  // each cell is one set: the two are now one
            }
        }
    };
    for (std::size_t c = 0; c < occupied; ++c) {
        if (!cellsAreClose) {
            joinPairs(c, c);
            continue;
        }
        for (std::size_t i = byCell.cellStart[c] + 1; i < byCell.cellStart[c + 1]; ++i)
            sets.Join(byCell.First(c), byCell.ends[i].second);
    }

    // The neighbours after each cell in sorted order; the other half meet it
    // from their side. A neighbour's number grows with the cell's, so one
    // cursor per direction walks the cells once.
    static constexpr std::array<std::pair<int, int>, 12> kForward = {
        {{0, 1}, {0, 2}, {1, -2}, {1, -1}, {1, 0}, {1, 1}, {1, 2}, {2, -2}, {2, -1}, {2, 0}, {2, 1}, {2, 2}}};
    std::array<std::size_t, kForward.size()> cursor{};
    for (std::size_t c = 0; c < occupied; ++c) {
        const std::uint64_t number = byCell.Number(c);
        for (std::size_t k = 0; k < kForward.size(); ++k) {
            const std::uint64_t target = CellNumbers::Pack(CellNumbers::ColumnOf(number) + kForward[k].first,
                                                           CellNumbers::RowOf(number) + kForward[k].second);
            std::size_t& n = cursor[k];
            while (n < occupied && byCell.Number(n) < target) ++n;
            if (n < occupied && byCell.Number(n) == target) joinPairs(c, n);
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

// The points of rule 1 in a tree of boxes, each box halved at the median
// along its longer side, for rule 2's question: which points lie near a
// segment? The tree follows the points, so a segment costs the boxes it
// passes near: a long line is not cut into cells, and lines crowding through
// a place with no points (a star's spokes through its centre) cost nothing
// there.
class PointTree {
public:
    struct Box {
        double minX, minY, maxX, maxY;
    };

    explicit PointTree(const std::vector<Point>& points) {
        entries_.reserve(points.size());
        for (std::size_t i = 0; i < points.size(); ++i) entries_.push_back({points[i], static_cast<std::uint32_t>(i)});
        if (points.empty()) return;
        std::size_t depth = 0;
        for (std::size_t size = points.size(); size > kLeaf; size = size - size / 2) ++depth;
        boxes_.resize((std::size_t{2} << depth) - 1);
        Build(0, 0, points.size());
    }

    // The band around a segment of nonzero length where points can land: as
    // far as `reach` (D, plus a margin for the rounding of the tests) on
    // either side.
    class Band {
    public:
        Band(Point a, Point b, double reach)
            : a_(a),
              dx_(b.x - a.x),
              dy_(b.y - a.y),
              limit_(reach * std::sqrt(dx_ * dx_ + dy_ * dy_)),
              box_{std::min(a.x, b.x) - reach, std::min(a.y, b.y) - reach, std::max(a.x, b.x) + reach,
                   std::max(a.y, b.y) + reach} {}

        bool Holds(Point p) const {
            return p.x >= box_.minX && p.x <= box_.maxX && p.y >= box_.minY && p.y <= box_.maxY;
        }
        // False only when the box lies wholly outside the band: beyond its
        // segment's box grown by the reach, or wholly on one side (which a
        // box around the segment's start never is).
        bool Meets(const Box& box) const {
            if (box.minX > box_.maxX || box.maxX < box_.minX || box.minY > box_.maxY || box.maxY < box_.minY)
                return false;
            if (box.minX <= a_.x && a_.x <= box.maxX && box.minY <= a_.y && a_.y <= box.maxY) return true;
            const double corners[4] = {Side(box.minX, box.minY), Side(box.minX, box.maxY), Side(box.maxX, box.minY),
                                       Side(box.maxX, box.maxY)};
            return !(std::all_of(corners, corners + 4, [&](double c) { return c > limit_; }) ||
                     std::all_of(corners, corners + 4, [&](double c) { return c < -limit_; }));
        }

    private:
        // The distance of (x, y) from the segment's line, times its length.
        double Side(double x, double y) const { return dx_ * (y - a_.y) - dy_ * (x - a_.x); }

        Point a_;
        double dx_, dy_, limit_;
        Box box_;
    };

    // Calls visit(point) for every point in the band, each once (and for some
    // points near it).
    template <typename Visit>
    void Search(const Band& band, const Visit& visit) const {
        if (!entries_.empty()) Search(band, visit, 0, 0, entries_.size());
    }

private:
    static constexpr std::size_t kLeaf = 16;

    void Build(std::size_t node, std::size_t low, std::size_t high) {
        const Point first = entries_[low].point;
        Box box{first.x, first.y, first.x, first.y};
        for (std::size_t i = low + 1; i < high; ++i) {
            const Point p = entries_[i].point;
            box = {std::min(box.minX, p.x), std::min(box.minY, p.y), std::max(box.maxX, p.x), std::max(box.maxY, p.y)};
        }
        boxes_[node] = box;
        if (high - low <= kLeaf) return;
        const std::size_t middle = low + (high - low) / 2;
        const bool alongX = box.maxX - box.minX >= box.maxY - box.minY;
        std::nth_element(entries_.begin() + low, entries_.begin() + middle, entries_.begin() + high,
                         [&](const Entry& a, const Entry& b) {
                             const Point p = a.point, q = b.point;
                             const double pFirst = alongX ? p.x : p.y, qFirst = alongX ? q.x : q.y;
                             const double pSecond = alongX ? p.y : p.x, qSecond = alongX ? q.y : q.x;
                             if (pFirst != qFirst) return pFirst < qFirst;
                             if (pSecond != qSecond) return pSecond < qSecond;
                             return a.index < b.index;
                         });
        Build(2 * node + 1, low, middle);
        Build(2 * node + 2, middle, high);
    }

    template <typename Visit>
    void Search(const Band& band, const Visit& visit, std::size_t node, std::size_t low, std::size_t high) const {
        if (!band.Meets(boxes_[node])) return;
        if (high - low <= kLeaf) {
            for (std::size_t i = low; i < high; ++i)
                if (band.Holds(entries_[i].point)) visit(entries_[i].index);
            return;
        }
        const std::size_t middle = low + (high - low) / 2;
        Search(band, visit, 2 * node + 1, low, middle);
        Search(band, visit, 2 * node + 2, middle, high);
    }

    struct Entry {
        Point point;
        std::uint32_t index;
    };
    std::vector<Entry> entries_;  // the points with their indices, each box's in a run
    std::vector<Box> boxes_;      // node i's halves are nodes 2i + 1 and 2i + 2
};

// Rule 2: where a cluster's point lands, if it does.
struct Landing {
    std::uint32_t segment;
    double t;  // along the segment, 0 at its start
    std::uint32_t cluster;
    Point at;
};

Point Along(Point a, Point b, double t) { return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)}; }

// Where p falls on the segment from a to b, as a fraction of the way from a.
double Projection(Point p, Point a, Point b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    return ((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy);
}

// Every segment, in increasing order, offers itself to the points in its
// band; each point keeps the nearest offer (a later segment replaces an
// earlier one only when strictly nearer, so ties go to the lowest index).
std::vector<Landing> FindLandings(const Ends& ends, const Clusters& clusters, double tolerance) {
    const std::size_t count = clusters.point.size();
    std::vector<double> nearest(count, 1);  // in squared tolerances: only closer than D lands
    std::vector<std::uint32_t> landsOn(count, kNone);
    {
        const PointTree tree(clusters.point);
        // Rounding of the projections and of the band's own tests stays far
        // below D / 64 plus the coordinates' spacing, scaled up.
        const double reach = tolerance * (1 + 1.0 / 64) + Reach(ends.extent) * 0x1p-40;
        for (const std::uint32_t segment : ends.live) {
            const std::uint32_t startCluster = clusters.ofEnd[2 * segment],
                                endCluster = clusters.ofEnd[2 * segment + 1];
            if (startCluster == endCluster) continue;
            const Point a = clusters.point[startCluster], b = clusters.point[endCluster];
            tree.Search({a, b, reach}, [&](std::uint32_t cluster) {
                if (cluster == startCluster || cluster == endCluster) return;
                const Point p = clusters.point[cluster];
                const double t = Projection(p, a, b);
                if (!(t > 0 && t < 1)) return;  // nearest at an end, which rule 1 has judged
                const double distance = SquaredInTolerances(p, Along(a, b, t), tolerance);
                if (!(distance < nearest[cluster]) || Closer(p, a, tolerance) || Closer(p, b, tolerance)) return;
                nearest[cluster] = distance;
                landsOn[cluster] = segment;
            });
        }
    }
    std::vector<Landing> landings;
    for (std::uint32_t cluster = 0; cluster < count; ++cluster) {
        const std::uint32_t segment = landsOn[cluster];
        if (segment == kNone) continue;
        const Point a = clusters.point[clusters.ofEnd[2 * segment]],
                    b = clusters.point[clusters.ofEnd[2 * segment + 1]];
        const double t = Projection(clusters.point[cluster], a, b);
        landings.push_back({segment, t, cluster, Along(a, b, t)});
    }
    return landings;
}

}  // namespace

std::vector<DrawingSegment> SnapDrawing(const std::vector<InputSegment>& segments, double tolerance) {
    if (!(tolerance > 0) || !std::isfinite(tolerance))
        throw std::invalid_argument("the snapping tolerance must be a finite distance greater than zero");
    if (segments.size() >= kNone / 2) throw std::length_error("too many segments to snap");

    const Ends ends(segments);
    Clusters clusters = ClusterEnds(ends, tolerance);

    std::vector<Landing> landings = FindLandings(ends, clusters, tolerance);
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
    std::vector<DrawingSegment> snapped;
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
