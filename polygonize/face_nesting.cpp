#include "polygonize/face_nesting.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "polygonize/coordinate_frame.h"
#include "polygonize/extent.h"
#include "polygonize/polygon_access.h"

namespace lwpolygonize {

namespace {

struct Point {
    double x, y;
};

struct Ring {
    std::vector<Point> points;  // the start of every element, in order
    Extent box;
};

Ring RingOf(COutputLoopweave& polygon) {
    Ring ring;
    ring.points.reserve(static_cast<std::size_t>(polygon.Count()));
    for (CLoopweaveElement* element : ChainOf(polygon)) {
        ring.points.push_back({element->Sx(), element->Sy()});
        ring.box.Add(element->Sx(), element->Sy());
    }
    return ring;
}

double AreaOf(const Ring& ring) {
    double twiceArea = 0;
    for (std::size_t i = 0, j = ring.points.size() - 1; i < ring.points.size(); j = i++) {
        twiceArea += ring.points[j].x * ring.points[i].y - ring.points[i].x * ring.points[j].y;
    }
    return std::fabs(twiceArea) / 2;
}

bool BoxHolds(const Extent& box, Point p) {
    return !box.empty && box.minX <= p.x && p.x <= box.maxX && box.minY <= p.y && p.y <= box.maxY;
}

// Crossing number, with the side of each edge the ray crosses taken from the
// sign of a cross product rather than from a division.
bool RingHolds(const Ring& ring, Point p) {
    bool inside = false;
    const std::size_t n = ring.points.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const Point a = ring.points[j], b = ring.points[i];
        if ((a.y > p.y) == (b.y > p.y)) continue;
        const double side = (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y);
        if ((side > 0) == (b.y > a.y)) inside = !inside;
    }
    return inside;
}

// Where a group is looked up: a quarter of the tolerance to the left of the
// leftmost point of its outer boundary. Every line of the group lies at or
// right of that point, so the point is outside each of the group's own faces,
// by a margin the test resolves (the side test at an edge from the leftmost
// point is exact: one product, one rounding); and any other group keeps more
// than the tolerance away, so the point is inside the same faces of it as the
// whole group is.
Point LookUpPoint(const Ring& boundary) {
    const Point leftmost = *std::min_element(boundary.points.begin(), boundary.points.end(), [](Point a, Point b) {
        return a.x < b.x || (a.x == b.x && a.y < b.y);
    });
    return {leftmost.x - CoordinateFrame::kLibraryTolerance / 4, leftmost.y};
}

// A grid of about one cell per item over an extent, at most 1024 a side;
// places outside the extent fall in its border cells.
class GridCells {
public:
    GridCells(const Extent& extent, std::size_t items)
        : extent_(extent), side_(std::clamp(static_cast<int>(std::sqrt(static_cast<double>(items))), 1, 1024)) {}

    std::size_t Count() const { return static_cast<std::size_t>(side_) * static_cast<std::size_t>(side_); }
    bool Covers(Point p) const { return BoxHolds(extent_, p); }
    bool Meets(const Extent& box) const {
        return !box.empty && !extent_.empty && box.minX <= extent_.maxX && extent_.minX <= box.maxX &&
               box.minY <= extent_.maxY && extent_.minY <= box.maxY;
    }
    std::size_t CellOf(Point p) const { return Index(Column(p.x), Row(p.y)); }

    // Calls visit(cell) for every cell the box covers, until it returns true.
    template <typename Visit>
    bool AnyCell(const Extent& box, Visit visit) const {
        for (int cx = Column(box.minX); cx <= Column(box.maxX); ++cx) {
            for (int cy = Row(box.minY); cy <= Row(box.maxY); ++cy) {
                if (visit(Index(cx, cy))) return true;
            }
        }
        return false;
    }

private:
    int Column(double x) const { return Place(x, extent_.minX, extent_.maxX); }
    int Row(double y) const { return Place(y, extent_.minY, extent_.maxY); }
    int Place(double value, double low, double high) const {
        if (!(high > low)) return 0;
        return std::clamp(static_cast<int>((value - low) / (high - low) * side_), 0, side_ - 1);
    }
    std::size_t Index(int column, int row) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(side_) + static_cast<std::size_t>(column);
    }

    Extent extent_;
    int side_;
};

Extent ExtentOf(const std::vector<Ring>& rings) {
    Extent extent;
    for (const Ring& ring : rings) {
        if (ring.box.empty) continue;
        extent.Add(ring.box.minX, ring.box.minY);
        extent.Add(ring.box.maxX, ring.box.maxY);
    }
    return extent;
}

Extent ExtentOf(const std::vector<Point>& points) {
    Extent extent;
    for (Point p : points) extent.Add(p.x, p.y);
    return extent;
}

// The faces by the cells of a grid over their boxes, each cell's list
// smallest face first, so that the first face found to hold a point is the
// smallest that does.
class FaceGrid {
public:
    FaceGrid(const std::vector<Ring>& rings, const std::vector<double>& areas)
        : grid_(ExtentOf(rings), rings.size()), cells_(grid_.Count()) {
        std::vector<std::size_t> bySize(rings.size());
        std::iota(bySize.begin(), bySize.end(), std::size_t{0});
        std::stable_sort(bySize.begin(), bySize.end(), [&](std::size_t a, std::size_t b) { return areas[a] < areas[b]; });
        for (std::size_t face : bySize) {
            if (rings[face].box.empty) continue;
            grid_.AnyCell(rings[face].box, [&](std::size_t cell) {
                cells_[cell].push_back(face);
                return false;
            });
        }
    }

    // The faces whose boxes may hold p, smallest first.
    const std::vector<std::size_t>& At(Point p) const {
        static const std::vector<std::size_t> none;
        return grid_.Covers(p) ? cells_[grid_.CellOf(p)] : none;
    }

private:
    GridCells grid_;
    std::vector<std::vector<std::size_t>> cells_;
};

// Which boxes may hold one of a set of points: the cells of a grid over
// the points that hold one.
class PointCells {
public:
    explicit PointCells(const std::vector<Point>& points) : grid_(ExtentOf(points), points.size()), held_(grid_.Count()) {
        for (Point p : points) held_[grid_.CellOf(p)] = 1;
    }

    bool MayHoldOne(const Extent& box) const {
        return grid_.Meets(box) && grid_.AnyCell(box, [&](std::size_t cell) { return held_[cell] != 0; });
    }

private:
    GridCells grid_;
    std::vector<char> held_;
};

Extent BoxOf(COutputLoopweave& polygon) {
    Extent box;
    for (CLoopweaveElement* element : ChainOf(polygon)) box.Add(element->Sx(), element->Sy());
    return box;
}

}  // namespace

struct FaceLocator::Index {
    std::vector<Ring> rings;
    std::unique_ptr<FaceGrid> grid;
};

FaceLocator::FaceLocator(const std::vector<COutputLoopweave*>& faces) : index_(std::make_unique<Index>()) {
    std::vector<double> areas;
    for (COutputLoopweave* face : faces) {
        index_->rings.push_back(RingOf(*face));
        areas.push_back(AreaOf(index_->rings.back()));
    }
    index_->grid = std::make_unique<FaceGrid>(index_->rings, areas);
}

FaceLocator::~FaceLocator() = default;

long FaceLocator::Locate(double x, double y, const std::function<bool(std::size_t)>& skip) const {
    const Point p{x, y};
    for (std::size_t face : index_->grid->At(p)) {
        const Ring& ring = index_->rings[face];
        if (!skip(face) && BoxHolds(ring.box, p) && RingHolds(ring, p)) return static_cast<long>(face);
    }
    return -1;
}

std::vector<std::vector<std::size_t>> HolesOfFaces(const std::vector<COutputLoopweave*>& polygons) {
    std::vector<COutputLoopweave*> faces;
    std::vector<std::size_t> faceIndex, boundaries;  // by place among the polygons
    for (std::size_t i = 0; i < polygons.size(); ++i) {
        COutputLoopweave& polygon = *polygons[i];
        if (polygon.Critical() || polygon.Count() == 0) continue;
        if (polygon.Round() > 0) {
            faces.push_back(&polygon);
            faceIndex.push_back(i);
        } else if (polygon.Round() < 0) {
            boundaries.push_back(i);
        }
    }
    std::vector<std::vector<std::size_t>> holes(polygons.size());
    if (boundaries.empty() || faces.empty()) return holes;
    std::vector<Point> lookUps;
    for (std::size_t boundary : boundaries) lookUps.push_back(LookUpPoint(RingOf(*polygons[boundary])));
    // Only a face whose box holds a look-up point can take a hole. In one
    // large group (a street map, a tile of a larger one) that is a handful of
    // its faces, and copying every face into the locator cost as much as
    // forming them.
    const PointCells lookUpCells(lookUps);
    std::vector<COutputLoopweave*> candidates;
    std::vector<std::size_t> candidateIndex;
    for (std::size_t i = 0; i < faces.size(); ++i) {
        if (!lookUpCells.MayHoldOne(BoxOf(*faces[i]))) continue;
        candidates.push_back(faces[i]);
        candidateIndex.push_back(faceIndex[i]);
    }
    const FaceLocator locator(candidates);
    for (std::size_t i = 0; i < boundaries.size(); ++i) {
        const long face = locator.Locate(lookUps[i].x, lookUps[i].y, [](std::size_t) { return false; });
        if (face >= 0) holes[candidateIndex[static_cast<std::size_t>(face)]].push_back(boundaries[i]);
    }
    return holes;
}

}  // namespace lwpolygonize
