// The axis-parallel box around a set of points; what the frame and the
// picture are fitted to. Points with a coordinate that is not finite stay out.
#ifndef LOOPWEAVE_POLYGONIZE_EXTENT_H
#define LOOPWEAVE_POLYGONIZE_EXTENT_H

#include <algorithm>
#include <cmath>

namespace lwpolygonize {

struct Extent {
    bool empty = true;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;

    void Add(double x, double y) {
        if (!std::isfinite(x) || !std::isfinite(y)) return;
        if (empty) {
            minX = maxX = x;
            minY = maxY = y;
            empty = false;
            return;
        }
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
};

}  // namespace lwpolygonize

#endif  // LOOPWEAVE_POLYGONIZE_EXTENT_H
