#ifndef LOOPWEAVE_STORE_POLYGON_EDITOR_H
#define LOOPWEAVE_STORE_POLYGON_EDITOR_H

#include "loopweave.h"

namespace loopweave {

// The library's own access to a polygon beyond what hosts see: only the
// library decides when a chain is diagnosed.
class PolygonEditor {
public:
    // Replaces the polygon's flags and error points by a diagnosis of its
    // chain as it stands now.
    static void Diagnose(COutputLoopweave& polygon) { polygon.Diagnose(); }
};

}  // namespace loopweave

#endif  // LOOPWEAVE_STORE_POLYGON_EDITOR_H
