// Writes the selected polygons through OGR: layer "polygons", one feature
// per polygon, a closed chain as a Polygon and an open one as a LineString,
// with its diagnosis and the keys along its chain; layer "errors", one point
// per error point. A format that holds one layer per file (GeoJSON,
// Shapefile) gets the errors in a second file beside the first, named
// NAME_errors.EXT.
#ifndef LOOPWEAVE_TOOL_OGR_OUTPUT_H
#define LOOPWEAVE_TOOL_OGR_OUTPUT_H

#include <string>
#include <vector>

#include "pending_outputs.h"
#include "polygon_access.h"

namespace lwtool {

struct OgrTarget {
    std::string path;
    std::string format;            // an OGR driver name; empty: from the path's extension
    std::string spatialReference;  // WKT of the source's, or empty
};

// Throws ToolError for an unknown format or one that cannot write vector
// data, and for anything that cannot be written.
void WriteOgr(const OgrTarget& target, const std::vector<SelectedPolygon>& polygons, PendingOutputs& pending);

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_OGR_OUTPUT_H
