// The library's stages, in the order a host runs them: snap the drawing to
// the user's tolerance, fit the coordinate frame, drop the segments that
// could only repeat what is there, enter the rest, frame, cut, form, strip
// the back-and-forth runs.
#ifndef LOOPWEAVE_POLYGONIZE_PIPELINE_H
#define LOOPWEAVE_POLYGONIZE_PIPELINE_H

#include <functional>
#include <optional>
#include <vector>

#include "loopweave.h"
#include "polygonize/coordinate_frame.h"
#include "polygonize/extent.h"
#include "polygonize/return_runs.h"
#include "polygonize/segment_account.h"
#include "polygonize/segments.h"

namespace lwpolygonize {

// Keys of the frame's pieces: no input segment has a negative place, so a
// host can tell the frame from its own lines.
constexpr int kFrameKey1 = -1;
constexpr int kFrameKey2 = -1;

// A rectangle around the drawing, in input units.
struct FrameRequest {
    bool wanted = false;
    bool fromExtent = false;  // around the input's extent rather than at x1..y2
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double margin = 0;  // added on every side
};

// The scale of a whole drawing, for a run on a part of it: a part alone would
// be fitted a frame of its own, and its coordinates would take other bits.
struct DrawingScale {
    CoordinateFrame frame;
    double medianLength = 0;  // of the whole drawing's segments, in input units
};

struct PipelineRequest {
    FrameRequest frame;
    bool cross = false;
    bool stripReturns = false;  // always for a coverage, whose faces must be valid polygons
    double tolerance = 0;       // > 0: ends this close meet, and land on lines, before the library (snapping.h)
    std::optional<DrawingScale> wholeDrawing;  // given: the segments are a part of that drawing
};

struct PipelineResult {
    CoordinateFrame frame;
    InputKeys keys;
    SegmentAccount account;  // the drops; the rest is counted from the layers (CountWritten)
    double medianLength = 0;  // of the segments entered, in input units
    int afterFrame = -1;      // elements stored after each stage; -1 where it did not run
    int afterCut = -1;
    int formed = 0;
    int stripped = 0;  // polygons whose back-and-forth runs were removed
    std::vector<std::vector<Path>> strippedRuns;  // the runs removed from each polygon, in the order formed
    // For a part of a drawing: the last element of each polygon as traced,
    // before any run is stripped. A walk around a face ends on the edge
    // whose link it started from, and the library starts its walks in the
    // order of their edges, so this element places the polygon among those
    // of the whole drawing.
    std::vector<ElementCopy> closingElements;
};

// Runs one named stage: a host times it, reports it, or lets other threads
// run meanwhile. An exception it throws ends the pipeline.
using StageRunner = std::function<void(const char* name, const std::function<void()>& work)>;

// Runs the stages asked for on `segments` (which it empties, to free their
// memory as soon as they are entered), each through `runStage`.
// `inputExtent` spans their finite ends. Throws std::length_error if there
// are more segments than the library counts, and std::invalid_argument for
// a tolerance that is not finite.
PipelineResult RunPipeline(const PipelineRequest& request, std::vector<InputSegment>& segments,
                           const Extent& inputExtent, CLoopweave& builder, const StageRunner& runStage);

}  // namespace lwpolygonize

#endif  // LOOPWEAVE_POLYGONIZE_PIPELINE_H
