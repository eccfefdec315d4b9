// Draws the selected polygons as an SVG picture, y up and scaled to their
// extent: enclosed faces filled in distinct light colours, outer boundaries
// dark, back-and-forth runs and open chains highlighted, error points as
// markers coloured by flag, and a legend with the counts.
#ifndef LOOPWEAVE_TOOL_SVG_MAP_H
#define LOOPWEAVE_TOOL_SVG_MAP_H

#include <string>
#include <vector>

#include "polygon_access.h"

namespace lwtool {

// Writes the picture to `writePath`; throws ToolError, naming `path`, when
// it cannot be written.
void WriteSvg(const std::string& path, const std::string& writePath, const std::vector<SelectedPolygon>& polygons);

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_SVG_MAP_H
