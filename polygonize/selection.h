// Which of the formed polygons become areas: the faces with the groups
// inside them as holes (a coverage, as a GIS polygonizer gives), or the
// library's polygons as formed: the enclosed faces, the outer boundaries, or
// all of them.
#ifndef LOOPWEAVE_POLYGONIZE_SELECTION_H
#define LOOPWEAVE_POLYGONIZE_SELECTION_H

namespace lwpolygonize {

enum class Selection { kCoverage, kFaces, kBoundaries, kChains };

}  // namespace lwpolygonize

#endif  // LOOPWEAVE_POLYGONIZE_SELECTION_H
