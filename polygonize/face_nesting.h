// Faces with their holes.
//
// The library traces each connected group of lines on its own: a group's
// enclosed faces know nothing of the groups that lie inside them, and each
// group has one outer boundary, clockwise, around all of it. A GIS wants a
// coverage instead, every face with the groups inside it cut out, as QGIS's
// Polygonize and PostGIS's ST_Polygonize give. So each group's outer
// boundary becomes a hole of the smallest face of another group that
// contains it. Nesting works at any depth: an island's own faces are smaller
// than the face around the island, so an island inside the island finds them
// first.
//
// Assumes the groups do not come within the tolerance of each other, as after
// cutting: a group is placed by a point just left of the leftmost point of its
// outer boundary (see LookUpPoint), which then lies off every line by more
// than the rounding of the point-in-ring test. (Without cutting, a group that
// crosses another is placed where that point happens to lie.)
#ifndef LOOPWEAVE_POLYGONIZE_FACE_NESTING_H
#define LOOPWEAVE_POLYGONIZE_FACE_NESTING_H

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "loopweave.h"

namespace lwpolygonize {

// Finds the smallest of a set of faces whose ring holds a point, through a
// grid over the faces' boxes. The point must lie off the rings by more than
// the rounding of the test (see above). Works in the library's coordinates.
class FaceLocator {
public:
    explicit FaceLocator(const std::vector<COutputLoopweave*>& faces);
    ~FaceLocator();
    FaceLocator(const FaceLocator&) = delete;
    FaceLocator& operator=(const FaceLocator&) = delete;

    // The index of the face among `faces`; -1 where none holds the point.
    // `skip` passes over faces (by index) that are not to count.
    long Locate(double x, double y, const std::function<bool(std::size_t)>& skip) const;

private:
    struct Index;
    std::unique_ptr<Index> index_;
};

// For each polygon, the polygons that are holes in it: outer boundaries
// (Round() < 0) in the smallest enclosing face (Round() > 0), listed by
// their index; empty for all others. The chains are read in the library's
// coordinates, whose tolerance groups the lines.
std::vector<std::vector<std::size_t>> HolesOfFaces(const std::vector<COutputLoopweave*>& polygons);

}  // namespace lwpolygonize

#endif  // LOOPWEAVE_POLYGONIZE_FACE_NESTING_H
