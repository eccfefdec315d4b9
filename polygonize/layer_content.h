// What the output layers hold, drawn from the polygons as formed.
//
// Only valid geometry goes into the polygon layer. In a coverage (the default)
// every closed chain is stripped of its back-and-forth runs first, and
// each enclosed face takes the outer boundaries of the groups inside it as
// holes (face_nesting.h); a face that still crosses or touches itself is
// repaired when written. In the selections that keep the polygons as formed
// (chains, faces, boundaries), a chain is a Polygon only where the
// library's own diagnosis finds it a simple ring with an area; any other
// goes whole to the dangles.
//
// The dangles layer holds the lines that bound no area: open chains, the
// runs that were stripped, and in the selections as formed the chains that are
// no ring.
#ifndef LOOPWEAVE_POLYGONIZE_LAYER_CONTENT_H
#define LOOPWEAVE_POLYGONIZE_LAYER_CONTENT_H

#include <vector>

#include "loopweave.h"
#include "polygonize/polygon_access.h"
#include "polygonize/return_runs.h"
#include "polygonize/selection.h"

namespace lwpolygonize {

struct AreaFeature {
    SelectedPolygon outer;                  // a face, or any closed chain in the selections as formed
    std::vector<COutputLoopweave*> holes;   // outer boundaries of the groups inside it
    bool needsRepair = false;               // a ring of it crosses or touches itself
};

struct LineFeature {
    int polygon;  // the index of the polygon it came from
    Path path;
};

struct LayerContent {
    std::vector<AreaFeature> areas;
    std::vector<LineFeature> lines;
    std::vector<SelectedPolygon> selected;  // the polygons whose error points are written
};

// `strippedRuns` holds, by polygon index from 1, the runs stripped from
// each polygon; `polygons` are all formed, in order.
LayerContent ContentOf(const std::vector<SelectedPolygon>& polygons, const std::vector<std::vector<Path>>& strippedRuns,
                       Selection selection);

}  // namespace lwpolygonize

#endif  // LOOPWEAVE_POLYGONIZE_LAYER_CONTENT_H
