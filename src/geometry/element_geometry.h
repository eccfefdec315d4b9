#ifndef LOOPWEAVE_GEOMETRY_ELEMENT_GEOMETRY_H
#define LOOPWEAVE_GEOMETRY_ELEMENT_GEOMETRY_H

#include <cmath>

#include "geometry/point.h"
#include "geometry/segment.h"
#include "loopweave.h"

namespace loopweave {

// An element as the kernel sees it: its two ends as points, and the directed
// segment from its start to its end.
inline Point StartOf(CLoopweaveElement& element) { return {element.Sx(), element.Sy()}; }
inline Point EndOf(CLoopweaveElement& element) { return {element.Ex(), element.Ey()}; }
inline Segment SegmentOf(CLoopweaveElement& element) {
    return Segment(element.Sx(), element.Sy(), element.Ex(), element.Ey());
}

// A point handed out as a CCoord, as the kernel sees it; the flag plays no part.
inline Point PointOf(CCoord& coord) { return {coord.X(), coord.Y()}; }

// Every coordinate finite. The tests of the kernel give no meaningful answer
// for infinities and not-a-number, so such an element takes part in nothing.
inline bool IsFinite(CLoopweaveElement& element) {
    return std::isfinite(element.Sx()) && std::isfinite(element.Sy()) && std::isfinite(element.Ex()) &&
           std::isfinite(element.Ey());
}

}  // namespace loopweave

#endif  // LOOPWEAVE_GEOMETRY_ELEMENT_GEOMETRY_H
