#ifndef LOOPWEAVE_GEOMETRY_BOX_H
#define LOOPWEAVE_GEOMETRY_BOX_H

#include <algorithm>
#include <cmath>

#include "geometry/point.h"

namespace loopweave {

// An axis-aligned box, closed on every side.
struct Box {
    double minX;
    double minY;
    double maxX;
    double maxY;

    // The box around two points.
    static Box Around(const Point& p, const Point& q) {
        return {std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
    }

    // The box grown by `margin` on every side.
    Box Grown(double margin) const { return {minX - margin, minY - margin, maxX + margin, maxY + margin}; }
    bool Meets(const Box& other) const {
        return minX <= other.maxX && other.minX <= maxX && minY <= other.maxY && other.minY <= maxY;
    }
    bool Contains(const Box& other) const {
        return minX <= other.minX && other.maxX <= maxX && minY <= other.minY && other.maxY <= maxY;
    }
    bool IsFinite() const {
        return std::isfinite(minX) && std::isfinite(minY) && std::isfinite(maxX) && std::isfinite(maxY);
    }
    // The smallest box around both.
    Box Joined(const Box& other) const {
        return {std::min(minX, other.minX), std::min(minY, other.minY), std::max(maxX, other.maxX), std::max(maxY, other.maxY)};
    }
};

}  // namespace loopweave

#endif  // LOOPWEAVE_GEOMETRY_BOX_H
