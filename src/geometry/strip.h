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

    Box Bounds() const {
        return Box::Around(from, to).Grown(halfWidth);
    }

    // Whether the band meets the box. The band is the segment swept by a
    // square of side 2 halfWidth, a hexagon whose sides face along the axes
    // and across the segment, so the two are apart exactly when they are
    // apart along an axis or across the segment. Across it, with n the
    // segment's direction turned a right angle, the band reaches
    // halfWidth (|n.x| + |n.y|) from the line, and the box |n.x| and |n.y|
    // times its half sides from its centre.
    bool Meets(const Box& box) const {
        if (!Bounds().Meets(box)) return false;
        const double nx = from.y - to.y;
        const double ny = to.x - from.x;
        const double halfX = (box.maxX - box.minX) / 2;
        const double halfY = (box.maxY - box.minY) / 2;
        const double across = nx * (box.minX + halfX - from.x) + ny * (box.minY + halfY - from.y);
        return std::fabs(across) <= (halfWidth + halfX) * std::fabs(nx) + (halfWidth + halfY) * std::fabs(ny);
    }
};

}  // namespace loopweave

#endif  // LOOPWEAVE_GEOMETRY_STRIP_H
