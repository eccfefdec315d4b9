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
// no ring. In a coverage it also holds whatever the faces do not carry, so
// that every line the library formed is written: the bridges that a group's
// boundary walks out and back along (between two islands, or a tree of lines
// with no face), and the faces that collapsed, whose area the library
// measures as none (Round() 0); each collapsed face leaves an error point
// of its own, flag kCollapsedFlag, at its first point.
//
// The errors layer holds the diagnosis's points of the polygons selected,
// and those the host adds.
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

// Why a line is in the dangles layer. The layer lists the lines of each kind
// together, in this order, and each kind in the order of the polygons.
enum class LineOrigin : unsigned char {
    kStrippedRun,  // a run out and back, stripped from a closed chain
    kWholeChain,   // an open chain, or a chain that is no simple ring
    kUncarried,    // edges of an outer boundary that no face carries
};

struct LineFeature {
    int polygon;  // the index of the polygon it came from
    Path path;
    LineOrigin origin;
};

// The error point of a face that collapsed; the library's own flags are 0
// (an open chain's points), 1 (crossing or touching) and 2 (turning back).
constexpr int kCollapsedFlag = 3;

struct ErrorPoint {
    double x, y;  // in the library's coordinates
    int flag;
    int polygon;  // the index of the polygon it belongs to
};

struct LayerContent {
    std::vector<AreaFeature> areas;
    std::vector<LineFeature> lines;
    std::vector<SelectedPolygon> selected;  // the polygons whose flags are reported
    std::vector<ErrorPoint> errors;
};

// `strippedRuns` holds, by polygon index from 1, the runs stripped from
// each polygon; `polygons` are all formed, in order.
LayerContent ContentOf(const std::vector<SelectedPolygon>& polygons, const std::vector<std::vector<Path>>& strippedRuns,
                       Selection selection);

}  // namespace lwpolygonize

#endif  // LOOPWEAVE_POLYGONIZE_LAYER_CONTENT_H
