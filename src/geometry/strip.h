#ifndef LOOPWEAVE_GEOMETRY_STRIP_H
#define LOOPWEAVE_GEOMETRY_STRIP_H

#include <algorithm>
#include <cmath>

#include "geometry/box.h"
#include "geometry/point.h"

namespace loopweave {

// A band along a stretch of a line: the points within `halfWidth`, along
// each axis, of the segment from `from` to `to`. A long line at a slant has a
// box that covers a whole drawing, while its band, however long, meets only
// the few boxes it passes, and an index asked along it
// (index/candidate_index.h) reads only the cells or nodes it passes.
struct Strip {
    Point from;
    Point to;
    double halfWidth;

    // The band within `reach` of the whole line through `start` and `end`,
    // as far as it runs through `box`, with `pad` more for the rounding of
    // its clipped ends. Every point of the box within `reach` of the line
    // lies within `reach` of a point of the line inside the box grown by
    // `reach`, so the line is clipped to that. False where the clipped ends
    // do not come out finite.
    static bool AcrossBox(const Point& start, const Point& end, double reach, double pad, const Box& box,
                          Strip& strip) {
        const double dx = end.x - start.x;
        const double dy = end.y - start.y;
        const Box region = box.Grown(reach);
        // The line is start + t (dx, dy); t0 to t1 lies within the region. A
        // line along an axis keeps the coordinate of its start there, within it.
        double t0 = -HUGE_VAL;
        double t1 = HUGE_VAL;
        const auto clip = [&](double from, double step, double low, double high) {
            if (step == 0) return;
            const double a = (low - from) / step;
            const double b = (high - from) / step;
            t0 = std::max(t0, std::min(a, b));
            t1 = std::min(t1, std::max(a, b));
        };
        clip(start.x, dx, region.minX, region.maxX);
        clip(start.y, dy, region.minY, region.maxY);
        strip = Strip{{start.x + t0 * dx, start.y + t0 * dy}, {start.x + t1 * dx, start.y + t1 * dy}, reach + pad};
        return IsFinite(strip.from) && IsFinite(strip.to);
    }

    // The band `by` wider on each side: the same line, the same stretch.
    Strip Grown(double by) const { return {from, to, halfWidth + by}; }

    Box Bounds() const { return Box::Around(from, to).Grown(halfWidth); }

    // Whether the band meets the box. The band is the segment swept by a
    // square of side 2 halfWidth, a hexagon whose sides face along the axes
    // and across the segment, so the two are apart exactly when they are
    // apart along an axis or across the segment. Across it, with n the
    // segment's direction turned a right angle, the band reaches
    // halfWidth (|n.x| + |n.y|) from the line, and the box |n.x| and |n.y|
    // times its half sides from its centre.
    bool Meets(const Box& box) const { return BoxTest(*this).Meets(box); }

    // The test of Meets with what depends on the band alone worked out once,
    // for an index that asks it of many boxes.
    class BoxTest {
    public:
        explicit BoxTest(const Strip& band)
            : bounds_(band.Bounds()),
              from_(band.from),
              nx_(band.from.y - band.to.y),
              ny_(band.to.x - band.from.x),
              absNx_(std::fabs(nx_)),
              absNy_(std::fabs(ny_)),
              halfWidth_(band.halfWidth) {}

        bool Meets(const Box& box) const {
            if (!bounds_.Meets(box)) return false;
            const double halfX = (box.maxX - box.minX) / 2;
            const double halfY = (box.maxY - box.minY) / 2;
            const double across = nx_ * (box.minX + halfX - from_.x) + ny_ * (box.minY + halfY - from_.y);
            return std::fabs(across) <= (halfWidth_ + halfX) * absNx_ + (halfWidth_ + halfY) * absNy_;
        }

    private:
        Box bounds_;
        Point from_;
        double nx_, ny_, absNx_, absNy_, halfWidth_;
    };

    // How far a point lies from a band: from its segment, or from its whole
    // line, for a band that runs across an extent and a point within it.
    enum Measure { kFromSegment, kFromLine };

    // Whether the band holds `inner`: whether both of inner's ends lie within
    // this band's half-width, less inner's and `pad` for the rounding, of
    // this band's segment or line. The band is convex, so then so does the
    // whole of inner's segment, and every point within inner's half-width of
    // that, along each axis, lies within this band's half-width of a point of
    // its segment or line.
    bool Holds(const Strip& inner, double pad, Measure measure) const {
        const double room = halfWidth - inner.halfWidth - pad;
        if (!(room >= 0)) return false;
        if (measure == kFromLine) return DistanceToLine(inner.from) <= room && DistanceToLine(inner.to) <= room;
        return DistanceTo(inner.from) <= room && DistanceTo(inner.to) <= room;
    }

    // The distance of a point from the band's segment.
    double DistanceTo(const Point& p) const {
        const double dx = to.x - from.x;
        const double dy = to.y - from.y;
        const double squared = dx * dx + dy * dy;
        const double along = squared > 0 ? ((p.x - from.x) * dx + (p.y - from.y) * dy) / squared : 0;
        const double t = std::min(std::max(along, 0.0), 1.0);
        return std::hypot(p.x - (from.x + t * dx), p.y - (from.y + t * dy));
    }

    // The distance of a point from the band's line: the cross product of the
    // point's offset with the line's direction over the direction's length.
    // Not a number for a band of no length, which has no line.
    double DistanceToLine(const Point& p) const {
        const double dx = to.x - from.x;
        const double dy = to.y - from.y;
        const double length = std::hypot(dx, dy);
        if (!(length > 0)) return std::nan("");
        return std::fabs(dx * (p.y - from.y) - dy * (p.x - from.x)) / length;
    }

    // Whether the band meets the segment from p to q: whether they are apart
    // neither along an axis, nor across the band, nor across the segment.
    bool MeetsSegment(const Point& p, const Point& q) const {
        if (!Bounds().Meets(Box::Around(p, q))) return false;
        const auto overlap = [](double nx, double ny, const Point& origin, const Point& a, const Point& b,
                                double reach) {
            const double offsetA = nx * (a.x - origin.x) + ny * (a.y - origin.y);
            const double offsetB = nx * (b.x - origin.x) + ny * (b.y - origin.y);
            return std::min(offsetA, offsetB) <= reach && -reach <= std::max(offsetA, offsetB);
        };
        const double nx = from.y - to.y;
        const double ny = to.x - from.x;
        const double mx = p.y - q.y;
        const double my = q.x - p.x;
        return overlap(nx, ny, from, p, q, halfWidth * (std::fabs(nx) + std::fabs(ny))) &&
               overlap(mx, my, p, from, to, halfWidth * (std::fabs(mx) + std::fabs(my)));
    }
};

}  // namespace loopweave

#endif  // LOOPWEAVE_GEOMETRY_STRIP_H
