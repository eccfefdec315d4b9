// Typed access to what the library hands out in untyped lists, and the
// polygons numbered in the order formed.
#ifndef LOOPWEAVE_POLYGONIZE_POLYGON_ACCESS_H
#define LOOPWEAVE_POLYGONIZE_POLYGON_ACCESS_H

#include <string>
#include <vector>

#include "loopweave.h"
#include "polygonize/segments.h"

namespace lwpolygonize {

template <class T>
std::vector<T*> Items(CPtrList& list) {
    std::vector<T*> items;
    items.reserve(static_cast<std::size_t>(list.Count()));
    for (CPtrList::Node* node = list.Head(); node; node = list.Next(node))
        items.push_back(static_cast<T*>(list.Data(node)));
    return items;
}

inline std::vector<CLoopweaveElement*> ChainOf(COutputLoopweave& polygon) {
    return Items<CLoopweaveElement>(polygon.Element());
}
inline std::vector<CCoord*> ErrorPointsOf(COutputLoopweave& polygon) { return Items<CCoord>(polygon.Error()); }

// An enclosed face runs counter-clockwise; everything else is an outer
// boundary, including that of a group of lines without area.
inline bool IsEnclosedFace(COutputLoopweave& polygon) { return polygon.Round() > 0; }

struct SelectedPolygon {
    int index;  // 1 for the first polygon formed, whatever is left out of an output
    COutputLoopweave* polygon;
};

// Every polygon formed, numbered from 1.
std::vector<SelectedPolygon> NumberedPolygons(CLoopweave& builder);

// An element's ends and keys, kept after the element itself is gone. Key1
// is the place of the input segment it comes from (segments.h), negative
// for the frame's pieces.
struct ElementCopy {
    double sx, sy, ex, ey;
    int key1, key2;
};

// Elements each starting where the one before ends.
using Path = std::vector<ElementCopy>;

Path PathOf(COutputLoopweave& polygon);

// The host's "key1,key2" of each element along the path, separated by spaces.
std::string KeysAlong(const Path& path, const InputKeys& inputKeys);

// The area a closed path encloses: positive counter-clockwise.
double SignedAreaOf(const Path& path);

}  // namespace lwpolygonize

#endif  // LOOPWEAVE_POLYGONIZE_POLYGON_ACCESS_H
