// The library's stages, in the order a host runs them: enter the segments,
// frame, cut, form, strip the back-and-forth runs.
#ifndef LOOPWEAVE_POLYGONIZE_PIPELINE_H
#define LOOPWEAVE_POLYGONIZE_PIPELINE_H

#include <functional>
#include <vector>

#include "loopweave.h"
#include "polygonize/coordinate_frame.h"
#include "polygonize/extent.h"
#include "polygonize/return_runs.h"

namespace lwpolygonize {

// Keys of the frame's pieces: no feature has a negative FID, so a host can
// tell the frame from its own lines.
constexpr int kFrameKey1 = -1;
constexpr int kFrameKey2 = -1;

// A rectangle around the drawing, in input units.
struct FrameRequest {
    bool wanted = false;
    bool fromExtent = false;  // around the input's extent rather than at x1..y2
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double margin = 0;  // added on every side
};

struct PipelineRequest {
    FrameRequest frame;
    bool cross = false;
    bool stripReturns = false;  // always for a coverage, whose faces must be valid polygons
};

struct PipelineCounts {
    int afterFrame = -1;  // elements stored after each stage; -1 where it did not run
    int afterCut = -1;
    int formed = 0;
    int stripped = 0;  // polygons whose back-and-forth runs were removed
    std::vector<std::vector<Path>> strippedRuns;  // the runs removed from each polygon, in the order formed
};

// Runs one named stage: a host times it, reports it, or lets other threads
// run meanwhile. An exception it throws ends the pipeline.
using StageRunner = std::function<void(const char* name, const std::function<void()>& work)>;

// Enters the segments in the library's frame, then runs the stages asked
// for, each through `runStage`. Throws std::length_error if there are more
// segments than the library counts.
PipelineCounts RunPipeline(const PipelineRequest& request, const std::vector<InputSegment>& segments,
                           const Extent& inputExtent, const CoordinateFrame& frame, CLoopweave& builder,
                           const StageRunner& runStage);

}  // namespace lwpolygonize

#endif  // LOOPWEAVE_POLYGONIZE_PIPELINE_H
