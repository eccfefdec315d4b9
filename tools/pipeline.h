// The library's stages, in the order a host runs them: enter the segments,
// frame, cut, form, strip the back-and-forth runs.
#ifndef LOOPWEAVE_TOOL_PIPELINE_H
#define LOOPWEAVE_TOOL_PIPELINE_H

#include <vector>

#include "polygonize_pieces.h"
#include "loopweave.h"
#include "options.h"
#include "stage_log.h"

namespace lwtool {

// Keys of the frame's pieces: no feature has a negative FID, so a host can
// tell the frame from its own lines.
constexpr int kFrameKey1 = -1;
constexpr int kFrameKey2 = -1;

struct PipelineCounts {
    int afterFrame = -1;  // elements stored after each stage; -1 where it did not run
    int afterCut = -1;
    int formed = 0;
    int stripped = 0;  // polygons whose back-and-forth runs were removed
    std::vector<std::vector<Path>> strippedRuns;  // the runs removed from each polygon, in the order formed
};

// Enters the segments in the library's frame, then runs the stages the
// options ask for. The back-and-forth runs are stripped where asked and
// always for a coverage, whose faces must be valid polygons. Throws ToolError if there are more segments than the
// library counts.
PipelineCounts RunPipeline(const Options& options, const std::vector<InputSegment>& segments,
                           const Extent& inputExtent, const CoordinateFrame& frame, CLoopweave& builder,
                           StageLog& log);

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_PIPELINE_H
