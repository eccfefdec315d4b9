// Reads the lines of a vector source into the builder: every LineString,
// MultiLineString and polygon ring, one element per consecutive pair of
// points. Curves are first approximated by lines; points are skipped.
#ifndef LOOPWEAVE_TOOL_OGR_INPUT_H
#define LOOPWEAVE_TOOL_OGR_INPUT_H

#include <string>

#include "extent.h"
#include "loopweave.h"
#include "options.h"

namespace lwtool {

struct InputSummary {
    std::string layer;
    std::string spatialReference;  // WKT; empty when the layer has none
    long long features = 0;
    int elements = 0;
    Extent extent;
};

// Throws ToolError when the source cannot be opened or read, the layer does
// not exist, or a key field is missing, not an integer or has no value.
InputSummary ReadSource(const Options& options, CLoopweave& builder);

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_OGR_INPUT_H
