// Well-known binary for the geometries the package hands to Shapely: bytes
// carry every coordinate bit for bit, and Shapely and GeoPandas read them in
// one call for a whole column.
#ifndef LOOPWEAVE_PYTHON_WKB_H
#define LOOPWEAVE_PYTHON_WKB_H

#include <string>
#include <vector>

#include "loopweave.h"
#include "polygonize/coordinate_frame.h"
#include "polygonize/polygon_access.h"

namespace lwpython {

// The start of every element, then the end of the last, in input coordinates.
std::string LineStringWkb(const lwpolygonize::Path& path, const lwpolygonize::CoordinateFrame& frame);

// A polygon with the outer ring `outer` and the holes' rings, in input
// coordinates. A chain closes within the tolerance; a ring must close
// exactly, so a ring whose last point is not its first gets the first again.
std::string PolygonWkb(const lwpolygonize::Path& outer, const std::vector<COutputLoopweave*>& holes,
                       const lwpolygonize::CoordinateFrame& frame);

}  // namespace lwpython

#endif  // LOOPWEAVE_PYTHON_WKB_H
