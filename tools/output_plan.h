// Which files an output becomes and which layers each holds:
//   polygons  the faces (or the polygons as formed), Polygon;
//   dangles   the lines that bound no area, LineString;
//   errors    the diagnosis's points, Point.
// A format that holds several layers per file gets all three in one; one
// that holds one gets the polygons in the file named and the others beside
// it, NAME_dangles.EXT and NAME_errors.EXT; --errors FILE takes the dangles
// and the errors instead, as a stream (/vsistdout/) needs.
#ifndef LOOPWEAVE_TOOL_OUTPUT_PLAN_H
#define LOOPWEAVE_TOOL_OUTPUT_PLAN_H

#include <string>
#include <vector>

#include "options.h"
#include "output_format.h"

namespace lwtool {

enum class LayerKind { kPolygons, kDangles, kErrors };

// One file the writer creates and the layers it holds.
struct DatasetPlan {
    std::string path;  // its final name
    OutputFormat format;
    std::vector<LayerKind> layers;
};

// Throws ToolError for an unknown or ambiguous format, a virtual path other
// than a stream, and a stream asked to take more than one layer.
std::vector<DatasetPlan> PlanOgrOutputs(const Options& options);

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_OUTPUT_PLAN_H
